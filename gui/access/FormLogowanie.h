#pragma once

// TFormLogowanie: asks for the access password at start-up. The right password grants access
// and closes the window; a wrong one is said and the window stays for another try, as many as
// the user likes. Cancel, Esc and the close box leave access refused.

#include <QDialog>

class QAction;
class QLineEdit;
class QPushButton;
class TDM;

class TFormLogowanie : public QDialog
{
    Q_OBJECT
public:
    explicit TFormLogowanie(TDM& dm, QWidget* parent = nullptr);

    // Whether entry equals the stored password exactly.
    bool CheckPassword(const QString& entry);

    // Enter (on any control, buttons included) or OK.
    void ZatwierdzExecute();
    // Esc, Cancel or the close box.
    void ZamknijExecute();

    QLineEdit* Haslo = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Anuluj = nullptr;
    QAction* Zatwierdz = nullptr;
    QAction* Zamknij = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TDM& dm_;
};

// The login gate of start-up with this window as its prompt: shows it modally when a password
// is set. Returns whether access was granted; false means the program is to end.
bool runLoginGate(TDM& dm);
