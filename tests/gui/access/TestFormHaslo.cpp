#include "gui/access/FormHaslo.h"
#include "gui/main/FormMain.h"
#include "support/LogCapture.h"
#include "support/ModalWatcher.h"
#include "support/NoteListDriver.h"
#include "support/TestDatabase.h"
#include "support/Typing.h"
#include "tests/gui/access/LoginDriver.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kNotSaved = QStringLiteral("The password could not be saved!");
const QString kLengthMessage = QStringLiteral("Password must be from 3 to 20 characters length!");

QString storedPassword(const TestDatabase& db)
{
    return db.scalar(QStringLiteral(
        "SELECT COALESCE(Wartosc, '<null>') FROM USTAWIENIA WHERE Ustawienie = 'HasloDostepu'"));
}

QString settingRows(const TestDatabase& db)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM USTAWIENIA"));
}

void storePassword(const TestDatabase& db, const QString& password)
{
    db.execute(QStringLiteral("INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES "
                              "('HasloDostepu', '%1')")
                   .arg(password));
}

std::unique_ptr<TFormHaslo> openWindow(TDM& dm)
{
    auto window = std::make_unique<TFormHaslo>(dm);
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        return nullptr;
    return window;
}

void typeInto(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->clear();
    typeText(field, text);
}

// Both fields typed, then Enter pressed in Powtorka.
void typeBothAndConfirm(TFormHaslo& window, const QString& haslo, const QString& powtorka)
{
    typeInto(window.Haslo, haslo);
    typeInto(window.Powtorka, powtorka);
    QTest::keyClick(window.Powtorka, Qt::Key_Return);
}

} // namespace

// The password window on real database files: what it shows, each rule of the check with its
// message and focus, storing, cancelling, a refused write, and what the next start asks.
class TestFormHaslo : public QObject
{
    Q_OBJECT
    // Answers every message box and records its text.
    std::unique_ptr<ModalWatcher> watcher_;

private Q_SLOTS:
    void init() { watcher_ = std::make_unique<ModalWatcher>(); }
    void cleanup() { watcher_.reset(); }

    void theWindow()
    {
        TestDatabase db;
        auto dm = db.open();
        auto window = openWindow(*dm);
        QVERIFY(window);
        QCOMPARE(window->objectName(), QStringLiteral("FormHaslo"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Quillbox - Password"));
        QCOMPARE(window->size(), QSize(237, 136));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(window->palette().color(QPalette::Window), QColor(255, 251, 240));
        QCOMPARE(window->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(window->font().pointSize(), 8);
        for (QLineEdit* field : {window->Haslo, window->Powtorka}) {
            QCOMPARE(field->maxLength(), 20);
            QCOMPARE(field->echoMode(), QLineEdit::Password);
            QCOMPARE(QChar(field->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                     field)),
                     QLatin1Char('*'));
        }
        QStringList labels;
        for (const QLabel* label : window->findChildren<QLabel*>()) {
            QVERIFY(label->font().bold());
            labels << label->text();
        }
        labels.sort();
        QCOMPARE(labels, QStringList({QStringLiteral("Password"), QStringLiteral("Repeat")}));
        QCOMPARE(window->OK->text(), QStringLiteral("&OK"));
        QCOMPARE(window->Anuluj->text(), QStringLiteral("&Cancel"));
        QVERIFY(!window->OK->icon().isNull());
        QVERIFY(!window->Anuluj->icon().isNull());
        QVERIFY(window->OK->isDefault());
        QVERIFY(window->OK->geometry().bottom() < window->height());
        QVERIFY(window->Anuluj->geometry().left() > window->OK->geometry().right());

        // Tab order: the two fields, OK, Cancel.
        QVERIFY(window->Haslo->hasFocus());
        const QList<QWidget*> order = {window->Powtorka, window->OK, window->Anuluj, window->Haslo};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QVERIFY(watcher_->messages.isEmpty());
    }

    void opensWithTheStoredPassword_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("none set") << QString() << QString();
        QTest::newRow("empty") << QStringLiteral("") << QString();
        QTest::newRow("set") << QStringLiteral(" Zażółć it''s ") << QStringLiteral(" Zażółć it's ");
    }
    void opensWithTheStoredPassword()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        TestDatabase db;
        if (!stored.isNull())
            storePassword(db, stored);
        auto dm = db.open();
        auto window = openWindow(*dm);
        QVERIFY(window);
        QCOMPARE(window->Haslo->text(), shown);
        QCOMPARE(window->Powtorka->text(), shown);

        // OK at once stores the same password again (the empty text when none was set).
        QTest::mouseClick(window->OK, Qt::LeftButton);
        QTRY_VERIFY(!window->isVisible());
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(storedPassword(db), shown);
        QCOMPARE(settingRows(db), QStringLiteral("1"));
    }

    void rules_data()
    {
        QTest::addColumn<QString>("haslo");
        QTest::addColumn<QString>("powtorka");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("stored");
        const QString first = QStringLiteral("Haslo");
        const QString second = QStringLiteral("Powtorka");
        const auto row = [](const char* name, const QString& haslo, const QString& powtorka,
                            const QString& message, const QString& focus, const QString& stored) {
            QTest::newRow(name) << haslo << powtorka << message << focus << stored;
        };
        row("both empty removes", u""_s, u""_s, u""_s, u""_s, u""_s);
        row("password empty", u""_s, u"abc"_s, u"Enter password!"_s, first, u""_s);
        row("two characters", u"ab"_s, u"ab"_s, kLengthMessage, first, u""_s);
        row("two characters, other repeat", u"ab"_s, u"xyz"_s, kLengthMessage, first, u""_s);
        row("two characters, no repeat", u"ab"_s, u""_s, kLengthMessage, first, u""_s);
        row("repeat empty", u"abc"_s, u""_s, u"Repeat password!"_s, second, u""_s);
        row("letter case differs", u"Secret"_s, u"secret"_s, u"Repeated password is wrong!"_s,
            second, u""_s);
        row("trailing space differs", u"abc "_s, u"abc"_s, u"Repeated password is wrong!"_s, second,
            u""_s);
        row("exactly three", u"a b"_s, u"a b"_s, u""_s, u""_s, u"a b"_s);
        row("exactly twenty", u"abcdefghij0123456789"_s, u"abcdefghij0123456789"_s, u""_s, u""_s,
            u"abcdefghij0123456789"_s);
        // The fields take no more than 20 characters, so 21 typed are 20 stored.
        row("twenty-one typed", u"abcdefghij0123456789X"_s, u"abcdefghij0123456789Y"_s, u""_s,
            u""_s, u"abcdefghij0123456789"_s);
        row("spaces and apostrophes", u"  it's  "_s, u"  it's  "_s, u""_s, u""_s, u"  it's  "_s);
        row("Polish letters", u"Źdźbło żółć"_s, u"Źdźbło żółć"_s, u""_s, u""_s, u"Źdźbło żółć"_s);
    }
    void rules()
    {
        QFETCH(QString, haslo);
        QFETCH(QString, powtorka);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QString, stored);
        TestDatabase db;
        storePassword(db, QStringLiteral("previous"));
        auto dm = db.open();
        auto window = openWindow(*dm);
        QVERIFY(window);
        typeInto(window->Haslo, haslo);
        typeInto(window->Powtorka, powtorka);
        // Enter on OK, so that a refusal visibly moves the focus into the field at fault.
        window->OK->setFocus();
        QTest::keyClick(window->OK, Qt::Key_Return);
        if (message.isEmpty()) {
            QTRY_VERIFY(!window->isVisible());
            QCOMPARE(window->result(), int(QDialog::Accepted));
            QVERIFY(watcher_->messages.isEmpty());
            QCOMPARE(storedPassword(db), stored);
            return;
        }
        QCOMPARE(watcher_->messages, QStringList{message});
        QVERIFY(window->isVisible());
        QCOMPARE(window->focusWidget()->objectName(), focus);
        QCOMPARE(window->Haslo->text(), haslo);
        QCOMPARE(window->Powtorka->text(), powtorka);
        QCOMPARE(storedPassword(db), QStringLiteral("previous"));
    }

    // Set, change and remove the password; after each, the next start's gate runs in-process
    // on the stored value and asks for exactly what was set.
    void setChangeRemoveAndTheNextStart()
    {
        // The gate's driver answers the login window and its messages itself.
        watcher_.reset();
        TestDatabase db;
        {
            auto dm = db.open();
            auto window = openWindow(*dm);
            QVERIFY(window);
            typeBothAndConfirm(*window, QStringLiteral(" Pierwsze "), QStringLiteral(" Pierwsze "));
            QTRY_VERIFY(!window->isVisible());
        }
        {
            auto dm = db.open();
            const GateRun run =
                runGateWith(*dm, {QStringLiteral("Pierwsze"), QStringLiteral(" pierwsze "),
                                  QStringLiteral(" Pierwsze ")});
            QVERIFY(run.asked);
            QVERIFY(run.granted);
            QCOMPARE(run.messages, QStringList(2, QStringLiteral("Wrong password!")));

            auto window = openWindow(*dm);
            QVERIFY(window);
            QCOMPARE(window->Haslo->text(), QStringLiteral(" Pierwsze "));
            typeBothAndConfirm(*window, QStringLiteral("drugie'"), QStringLiteral("drugie'"));
            QTRY_VERIFY(!window->isVisible());
        }
        {
            auto dm = db.open();
            const GateRun run =
                runGateWith(*dm, {QStringLiteral(" Pierwsze "), QStringLiteral("drugie'")});
            QVERIFY(run.granted);
            QCOMPARE(run.messages, QStringList{QStringLiteral("Wrong password!")});

            auto window = openWindow(*dm);
            QVERIFY(window);
            typeBothAndConfirm(*window, QString(), QString());
            QTRY_VERIFY(!window->isVisible());
        }
        auto dm = db.open();
        const GateRun run = runGateWith(*dm, {});
        QVERIFY(!run.asked);
        QVERIFY(run.granted);
        QCOMPARE(storedPassword(db), QString());
        QCOMPARE(settingRows(db), QStringLiteral("1"));
    }

    void closingStoresNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Enter on Cancel") << "enter on cancel";
        QTest::newRow("Cancel clicked") << "click cancel";
        QTest::newRow("Space on Cancel") << "space on cancel";
        QTest::newRow("Esc in a field") << "esc";
        QTest::newRow("close box") << "close box";
    }
    void closingStoresNothing()
    {
        QFETCH(QString, how);
        TestDatabase db;
        storePassword(db, QStringLiteral("previous"));
        auto dm = db.open();
        auto window = openWindow(*dm);
        QVERIFY(window);
        typeInto(window->Haslo, QStringLiteral("changed"));
        typeInto(window->Powtorka, QStringLiteral("changed"));
        if (how == QLatin1String("enter on cancel")) {
            QTest::keyClick(window->Powtorka, Qt::Key_Tab);
            QTest::keyClick(window->OK, Qt::Key_Tab);
            QVERIFY(window->Anuluj->hasFocus());
            QTest::keyClick(window->Anuluj, Qt::Key_Return);
        } else if (how == QLatin1String("click cancel")) {
            QTest::mouseClick(window->Anuluj, Qt::LeftButton);
        } else if (how == QLatin1String("space on cancel")) {
            window->Anuluj->setFocus();
            QTest::keyClick(window->Anuluj, Qt::Key_Space);
        } else if (how == QLatin1String("esc")) {
            QTest::keyClick(window->Powtorka, Qt::Key_Escape);
        } else {
            window->close();
        }
        QTRY_VERIFY(!window->isVisible());
        QCOMPARE(window->result(), int(QDialog::Rejected));
        QCOMPARE(storedPassword(db), QStringLiteral("previous"));
        QVERIFY(watcher_->messages.isEmpty());
    }

    // A refused write is said, and the window stays with what was typed, so the user knows the
    // program is not guarded by the new password; once the database takes it, OK stores it.
    void aRefusedSaveKeepsTheWindowOpen()
    {
        TestDatabase db;
        storePassword(db, QStringLiteral("previous"));
        db.execute(QStringLiteral("CREATE EXCEPTION SETTING_REFUSED 'setting refused'"));
        db.execute(QStringLiteral("CREATE TRIGGER USTAWIENIA_REFUSE FOR USTAWIENIA BEFORE "
                                  "INSERT OR UPDATE AS BEGIN EXCEPTION SETTING_REFUSED; END"));
        auto dm = db.open();
        LogCapture log;
        auto window = openWindow(*dm);
        QVERIFY(window);
        typeBothAndConfirm(*window, QStringLiteral("new one"), QStringLiteral("new one"));
        QCOMPARE(watcher_->messages, QStringList{kNotSaved});
        QVERIFY(window->isVisible());
        QCOMPARE(window->Haslo->text(), QStringLiteral("new one"));
        QCOMPARE(window->Powtorka->text(), QStringLiteral("new one"));
        QCOMPARE(storedPassword(db), QStringLiteral("previous"));
        QCOMPARE(log.reports.size(), 1);
        QVERIFY(!log.all().contains(QStringLiteral("new one")));

        db.execute(QStringLiteral("DROP TRIGGER USTAWIENIA_REFUSE"));
        QTest::mouseClick(window->OK, Qt::LeftButton);
        QTRY_VERIFY(!window->isVisible());
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(storedPassword(db), QStringLiteral("new one"));
        QCOMPARE(watcher_->messages, QStringList{kNotSaved});
    }

    void anUnreadablePasswordOpensEmpty()
    {
        TestDatabase db;
        db.execute(QStringLiteral("DROP TABLE USTAWIENIA"));
        auto dm = db.open();
        LogCapture log;
        auto window = openWindow(*dm);
        QVERIFY(window);
        QCOMPARE(window->Haslo->text(), QString());
        QCOMPARE(window->Powtorka->text(), QString());
        QCOMPARE(log.reports.size(), 1);
        QVERIFY(
            log.reports[0].startsWith(QStringLiteral("FormHaslo - Can't retrieve password! - ")));
        QVERIFY(watcher_->messages.isEmpty());
    }

    // "Configure password" opens the window modally on the main window; it frees itself when
    // it closes, and the stored password does not lock the running program.
    void openedFromTheMainWindow()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QCOMPARE(form.MMHaslo->text(), QStringLiteral("Configure password"));
        watcher_.reset();
        QPointer<TFormHaslo> opened;
        ModalWatcher watcher([&](QWidget* modal) {
            opened = qobject_cast<TFormHaslo*>(modal);
            QVERIFY(opened);
            QVERIFY(QTest::qWaitForWindowActive(opened));
            QVERIFY(opened->Haslo->hasFocus());
            typeBothAndConfirm(*opened, QStringLiteral("from menu"), QStringLiteral("from menu"));
        });
        form.MMHaslo->trigger();
        QVERIFY(opened.isNull() || !opened->isVisible());
        QTRY_VERIFY(opened.isNull());
        QCOMPARE(storedPassword(db), QStringLiteral("from menu"));
    }
};

QTEST_MAIN(TestFormHaslo)
#include "TestFormHaslo.moc"
