#pragma once

// TFormHaslo: sets, changes or removes the access password. It opens with the stored password
// in both fields (masked), and OK stores the first field once the two pass the password
// rules; the password then guards the next start.

#include <QDialog>

class QAction;
class QLineEdit;
class QPushButton;
class TDM;

class TFormHaslo : public QDialog
{
    Q_OBJECT
public:
    explicit TFormHaslo(TDM& dm, QWidget* parent = nullptr);

    // Fills both fields with the stored password; empty when none is set or it cannot be read.
    void LoadPassword();
    // True when the fields may be stored; otherwise shows the first failing rule's message and
    // focuses the field at fault.
    bool ValidatePassword();
    // Validates and stores. The window closes only once the password is stored: a refused write
    // is said in a message and everything typed stays.
    void SavePassword();

    // Enter or OK; Enter while Cancel has the focus cancels.
    void ZatwierdzExecute();
    // Esc, Cancel or the close box: closes without storing.
    void ZamknijExecute();

    QLineEdit* Haslo = nullptr;
    QLineEdit* Powtorka = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Anuluj = nullptr;
    QAction* Zatwierdz = nullptr;
    QAction* Zamknij = nullptr;

private:
    TDM& dm_;
};
