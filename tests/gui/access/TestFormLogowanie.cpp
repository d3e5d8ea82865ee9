#include "gui/access/FormLogowanie.h"
#include "gui/main/FormMain.h"
#include "gui/main/Startup.h"
#include "support/LogCapture.h"
#include "support/ModalWatcher.h"
#include "support/TestDatabase.h"
#include "support/Typing.h"
#include "tests/gui/access/LoginDriver.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QtTest>
#include <csignal>

namespace {

const QString kWrong = QStringLiteral("Wrong password!");

void storePassword(const TestDatabase& db, const QString& password)
{
    db.execute(QStringLiteral("INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES "
                              "('HasloDostepu', '%1')")
                   .arg(password));
}

QString settingKeys(const TestDatabase& db)
{
    return db.scalar(QStringLiteral("SELECT CAST(LIST(Ustawienie, ',') AS VARCHAR(500)) FROM "
                                    "(SELECT Ustawienie FROM USTAWIENIA ORDER BY Ustawienie)"));
}

// Whether the trace shows the main window being built: it reads its layout first.
bool mainWindowBuilt(const QStringList& statements)
{
    return std::any_of(statements.cbegin(), statements.cend(), [](const QString& s) {
        return s.contains(QStringLiteral("FormMain")) || s.contains(QStringLiteral("NOTATKI"));
    });
}

} // namespace

// The login window and the start-up gate on real database files: the window, right and wrong
// entries, refusing, and that a refused or interrupted login ends the program before its main
// window or tray icon exist.
class TestFormLogowanie : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theWindow()
    {
        TestDatabase db;
        storePassword(db, QStringLiteral("abc"));
        auto dm = db.open();
        ModalWatcher boxes;
        TFormLogowanie window(*dm);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.objectName(), QStringLiteral("FormLogowanie"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Quillbox - Login"));
        QCOMPARE(window.size(), QSize(237, 114));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QCOMPARE(window.palette().color(QPalette::Window), QColor(255, 251, 240));
        QCOMPARE(window.Haslo->maxLength(), 20);
        QCOMPARE(window.Haslo->echoMode(), QLineEdit::Password);
        QCOMPARE(QChar(window.Haslo->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter,
                                                        nullptr, window.Haslo)),
                 QLatin1Char('*'));
        const QLabel* label = window.findChild<QLabel*>();
        QCOMPARE(label->text(), QStringLiteral("Password"));
        QVERIFY(label->font().bold());
        QCOMPARE(window.OK->text(), QStringLiteral("&OK"));
        QCOMPARE(window.Anuluj->text(), QStringLiteral("&Cancel"));
        QVERIFY(window.OK->isDefault());

        // The field has the focus although it comes last in the tab order: OK, Cancel, field.
        QVERIFY(window.Haslo->hasFocus());
        for (QWidget* next :
             {static_cast<QWidget*>(window.OK), static_cast<QWidget*>(window.Anuluj),
              static_cast<QWidget*>(window.Haslo)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QVERIFY(boxes.messages.isEmpty());
    }

    // Wrong entries (letter case, a space at either end) are refused one by one with the
    // window open and the entry in place; the right one after them grants access.
    void wrongThenRight()
    {
        TestDatabase db;
        storePassword(db, QStringLiteral("Hasło 1"));
        auto dm = db.open();
        const GateRun run = runGateWith(*dm, {QStringLiteral("hasło 1"), QStringLiteral("Hasło 1 "),
                                              QStringLiteral(" Hasło 1"), QStringLiteral("Hasło1"),
                                              QStringLiteral("Hasło 1")});
        QVERIFY(run.asked);
        QVERIFY(run.granted);
        QVERIFY(dm->AccessGranted);
        QCOMPARE(run.messages, QStringList(4, kWrong));
    }

    void refusing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("wrongBefore");
        QTest::newRow("Cancel clicked") << "click cancel" << 0;
        QTest::newRow("Esc") << "esc" << 0;
        QTest::newRow("close box") << "close box" << 0;
        QTest::newRow("Esc after wrong tries") << "esc" << 2;
    }
    void refusing()
    {
        QFETCH(QString, how);
        QFETCH(int, wrongBefore);
        TestDatabase db;
        storePassword(db, QStringLiteral("right"));
        auto dm = db.open();
        const GateRun run = runGateWith(*dm, QStringList(wrongBefore, QStringLiteral("wrong")),
                                        [&](TFormLogowanie* window) {
                                            if (how == QLatin1String("click cancel"))
                                                QTest::mouseClick(window->Anuluj, Qt::LeftButton);
                                            else if (how == QLatin1String("esc"))
                                                QTest::keyClick(window->Haslo, Qt::Key_Escape);
                                            else
                                                window->close();
                                        });
        QVERIFY(run.asked);
        QVERIFY(!run.granted);
        QVERIFY(!dm->AccessGranted);
        QCOMPARE(run.messages, QStringList(wrongBefore, kWrong));
    }

    // Enter on the Cancel button submits the entry here, unlike in the password window.
    void enterOnCancelSubmits_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("right");
        QTest::newRow("right entry") << "right" << true;
        QTest::newRow("wrong entry") << "Right" << false;
    }
    void enterOnCancelSubmits()
    {
        QFETCH(QString, entry);
        QFETCH(bool, right);
        TestDatabase db;
        storePassword(db, QStringLiteral("right"));
        auto dm = db.open();
        ModalWatcher boxes([](QWidget*) {});
        bool stayedOpen = false;
        ModalWatcher login([&](QWidget* modal) {
            auto* window = qobject_cast<TFormLogowanie*>(modal);
            QVERIFY(window);
            QVERIFY(QTest::qWaitForWindowActive(window));
            typeText(window->Haslo, entry);
            QTest::keyClick(window->Haslo, Qt::Key_Tab);
            QTest::keyClick(window->OK, Qt::Key_Tab);
            QVERIFY(window->Anuluj->hasFocus());
            QPointer<TFormLogowanie> guard(window);
            QTest::keyClick(window->Anuluj, Qt::Key_Return);
            if (guard && guard->isVisible()) {
                stayedOpen = true;
                QCOMPARE(window->Haslo->text(), entry);
                window->reject();
            }
        });
        const bool granted = runLoginGate(*dm);
        QCOMPARE(granted, right);
        QCOMPARE(stayedOpen, !right);
        QCOMPARE(boxes.messages, right ? QStringList() : QStringList{kWrong});
    }

    void aFailedCheckIsAWrongEntry()
    {
        TestDatabase db;
        storePassword(db, QStringLiteral("right"));
        auto dm = db.open();
        ModalWatcher boxes;
        TFormLogowanie window(*dm);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        db.execute(QStringLiteral("DROP TABLE USTAWIENIA"));
        LogCapture log;
        QTest::keyClicks(window.Haslo, QStringLiteral("right"));
        QTest::keyClick(window.Haslo, Qt::Key_Return);
        QCOMPARE(boxes.messages, QStringList{kWrong});
        QVERIFY(window.isVisible());
        QVERIFY(!dm->AccessGranted);
        QCOMPARE(log.reports.size(), 1);
        QVERIFY(log.reports[0].startsWith(
            QStringLiteral("FormLogowanie - Can't check if password *** is correct! - ")));
    }

    // The whole start-up in this process: a declined login ends it before the main window is
    // built (no list read, no layout read or stored, no tray icon), with exit code 0.
    void startUpEndsWhenTheLoginIsDeclined()
    {
        TestDatabase db;
        storePassword(db, QStringLiteral("right"));
        LogCapture log(true);
        bool asked = false;
        ModalWatcher login([&](QWidget* modal) {
            auto* window = qobject_cast<TFormLogowanie*>(modal);
            QVERIFY(window);
            asked = true;
            QVERIFY(QTest::qWaitForWindowActive(window));
            QTest::keyClick(window->Haslo, Qt::Key_Escape);
        });
        const int code = startup::run(*qApp, db.path());
        QCOMPARE(code, 0);
        QVERIFY(asked);
        QVERIFY2(!mainWindowBuilt(log.statements), qPrintable(log.statements.join(u'\n')));
        QCOMPARE(settingKeys(db), QStringLiteral("HasloDostepu"));
    }

    // The right password lets start-up go on to the main window.
    void startUpGoesOnWithTheRightPassword()
    {
        TestDatabase db;
        storePassword(db, QStringLiteral("right"));
        LogCapture log(true);
        ModalWatcher boxes([](QWidget*) {});
        QPointer<TFormMain> main;
        ModalWatcher login([&](QWidget* modal) {
            auto* window = qobject_cast<TFormLogowanie*>(modal);
            QVERIFY(window);
            QVERIFY(QTest::qWaitForWindowActive(window));
            QTest::keyClicks(window->Haslo, QStringLiteral("right"));
            QTest::keyClick(window->Haslo, Qt::Key_Return);
        });
        // Once the main window exists, close the program through its own quit sequence.
        QTimer quitter;
        quitter.setInterval(20);
        connect(&quitter, &QTimer::timeout, this, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* form = qobject_cast<TFormMain*>(widget)) {
                    main = form;
                    quitter.stop();
                    form->QuitProgram();
                }
            }
        });
        quitter.start();
        const int code = startup::run(*qApp, db.path());
        QCOMPARE(code, 0);
        QVERIFY(main.isNull()); // it was there, and is gone again
        QVERIFY(mainWindowBuilt(log.statements));
        QVERIFY(boxes.messages.isEmpty());
        QVERIFY(settingKeys(db).contains(QStringLiteral("FormMainWidth")));
    }

    void startUpWithoutAPasswordAsksNothing_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::newRow("no password") << QString();
        QTest::newRow("settings unreadable") << QStringLiteral("DROP TABLE USTAWIENIA");
    }
    void startUpWithoutAPasswordAsksNothing()
    {
        QFETCH(QString, setUp);
        TestDatabase db;
        if (!setUp.isEmpty())
            db.execute(setUp);
        bool asked = false;
        ModalWatcher login([&](QWidget* modal) {
            asked = true;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        });
        bool built = false;
        QTimer quitter;
        quitter.setInterval(20);
        connect(&quitter, &QTimer::timeout, this, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* form = qobject_cast<TFormMain*>(widget)) {
                    built = true;
                    quitter.stop();
                    form->QuitProgram();
                }
            }
        });
        quitter.start();
        QCOMPARE(startup::run(*qApp, db.path()), 0);
        QVERIFY(!asked);
        QVERIFY(built);
    }

    // The built program: a termination signal while the login window waits ends the program
    // at once with status 0, without building the main window and without writing a setting.
    void aSignalDuringTheLoginEndsTheProgram()
    {
        TestDatabase db;
        storePassword(db, QStringLiteral("right"));
        const QString program = db.directory() + QStringLiteral("/quillbox");
        QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_PROGRAM), program));
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);

        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"),
                   QStringLiteral("quillbox.db.sql.debug=true"));
        env.remove(QStringLiteral("FIREBIRD"));
        env.remove(QStringLiteral("FIREBIRD_LOCK"));
        process.setProcessEnvironment(env);
        process.setReadChannel(QProcess::StandardError);
        process.start(program, {});
        QVERIFY(process.waitForStarted(30000));
        // The gate's read of the password comes just before the login window opens; a signal
        // that comes before the window's loop runs waits for it.
        QByteArray seen;
        QDeadlineTimer deadline(60000);
        while (!seen.contains("Ustawienie = 'HasloDostepu'") && !deadline.hasExpired() &&
               process.state() == QProcess::Running) {
            process.waitForReadyRead(100);
            seen += process.readAll();
        }
        QVERIFY2(seen.contains("Ustawienie = 'HasloDostepu'"), seen.constData());
        ::kill(pid_t(process.processId()), SIGTERM);
        QVERIFY(process.waitForFinished(30000));
        seen += process.readAll();
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        QVERIFY2(!seen.contains("FormMain") && !seen.contains("NOTATKI"), seen.constData());
        QCOMPARE(settingKeys(db), QStringLiteral("HasloDostepu"));
    }
};

QTEST_MAIN(TestFormLogowanie)
#include "TestFormLogowanie.moc"
