#pragma once

// TFormOProgramie: the About window. A legend of the note list's pictures (its running-alarm
// picture blinking at the list's pace), the product name with short terms of use, and a link
// to the product web site, reached with Tab and opened with Enter, Space or a click. OK, Esc,
// Enter (elsewhere than on the link) and the close box close it; closing destroys it.

#include <QDialog>
#include <QUrl>
#include <chrono>

class LinkButton;
class QAction;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

class TFormOProgramie : public QDialog
{
    Q_OBJECT
public:
    static constexpr QSize kClientSize{456, 196};
    // The blink pace of running alarms in the note list.
    static constexpr std::chrono::milliseconds kBlinkInterval{500};

    explicit TFormOProgramie(QUrl productSite, QWidget* parent = nullptr);

    // The 20 lines of MemoInfo.
    static QStringList memoLines(const QString& siteHost);

    void Label1Click();
    void Timer1Timer();
    void ZamknijExecute();

    LinkButton* Label1 = nullptr;
    QLabel* I1 = nullptr;
    QLabel* I2 = nullptr;
    QLabel* I3 = nullptr;
    QLabel* I33 = nullptr;
    QPlainTextEdit* MemoInfo = nullptr;
    QPushButton* OK = nullptr;
    QAction* Zamknij = nullptr;
    QTimer* Timer1 = nullptr;

private:
    QUrl productSite_;
};
