#include "gui/main/FormMain.h"
#include "gui/main/Startup.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/FormUsuwanie.h"
#include "gui/tray/Tray.h"
#include "support/LogCapture.h"
#include "support/ModalWatcher.h"
#include "support/NoteListDriver.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

FormMainOptions withTray(bool tray = true)
{
    FormMainOptions options;
    options.trayAvailable = tray;
    return options;
}

} // namespace

// The main window as the application shell: start-up state, showing and hiding, the keys that
// act window-wide, the stored layout and the quit sequence.
class TestFormMain : public QObject
{
    Q_OBJECT

    static void showAndActivate(TFormMain& form)
    {
        form.TrayIconClick();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }

private Q_SLOTS:
    void startsHiddenBehindTheTrayIcon()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, withTray());
        QVERIFY(!form.isVisible());
        QVERIFY(form.tray()->icon()->isVisible());
        QCOMPARE(form.tray()->icon()->toolTip(), QStringLiteral("Quillbox"));
        QVERIFY(form.windowFlags().testFlag(Qt::Tool));
        QCOMPARE(form.windowTitle(), QStringLiteral("Quillbox"));
        QCOMPARE(form.tray()->menu()->defaultAction(), form.tray()->openAction());
    }

    void trayClickTogglesAndFocusesTheSearchBox()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, withTray());
        showAndActivate(form);
        QVERIFY(form.isVisible());
        QCOMPARE(QApplication::focusWidget(), form.SzukanyCiag);
        form.TrayIconClick();
        QVERIFY(!form.isVisible());
        form.tray()->openAction()->trigger();
        QVERIFY(form.isVisible());
    }

    void closeBoxHidesAndTheProgramGoesOn()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, withTray());
        showAndActivate(form);
        QVERIFY(!form.close());
        QVERIFY(!form.isVisible());
        QVERIFY(!form.isQuitting());
        QVERIFY(dm->isConnected());
    }

    void withoutATrayTheCloseBoxMinimises()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, withTray(false));
        QVERIFY(!form.windowFlags().testFlag(Qt::Tool));
        QVERIFY(openMainWindow(form));
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QVERIFY(form.isMinimized());
        // Esc cannot make the window unreachable either.
        form.ShowMainWindow();
        form.UkryjExecute();
        QVERIFY(form.isVisible());
    }

    // A panel that starts after the program: its tray is found, the icon goes into it, and
    // from then on the close box hides the window to the tray.
    void aTrayThatComesLaterTakesTheIcon()
    {
        TestDatabase db;
        auto dm = db.open();
        FormMainOptions options = withTray(false);
        bool panelUp = false;
        int looks = 0;
        options.trayProbe = [&] {
            ++looks;
            return panelUp;
        };
        TFormMain form(*dm, options);
        QSignalSpy arrived(form.tray(), &Tray::hostArrived);
        QVERIFY(openMainWindow(form));
        QVERIFY(!form.tray()->icon()->isVisible());
        QVERIFY(!form.tray()->isHosted());
        QTRY_VERIFY_WITH_TIMEOUT(looks >= 1, 5000);
        // Still no tray: the close box minimises.
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QVERIFY(form.isMinimized());
        form.ShowMainWindow();
        QVERIFY(!form.isMinimized());

        panelUp = true;
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(form.tray()->icon()->isVisible(), 5000);
        QVERIFY2(clock.elapsed() <= 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(arrived.size(), 1);
        QVERIFY(form.tray()->isHosted());
        // The window shown before stays as it is until the user closes it.
        QVERIFY(form.isVisible());
        QVERIFY(!form.close());
        QVERIFY(!form.isVisible());
        QVERIFY(!form.isMinimized());
        // Hidden to the tray, it keeps out of the taskbar; the icon brings it back.
        QVERIFY(form.windowFlags().testFlag(Qt::Tool));
        form.TrayIconClick();
        QTRY_VERIFY(form.isVisible());
        QVERIFY(!form.isMinimized());
        // The tray is no longer looked for.
        const int looked = looks;
        QTest::qWait(int(Tray::kHostPollInterval.count()) + 500);
        QCOMPARE(looks, looked);
    }

    void escapeClearsTheSearchThenHides_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("clearsFirst");
        QTest::newRow("text") << "milk" << true;
        QTest::newRow("blanks only") << "   " << false;
        QTest::newRow("empty") << "" << false;
    }
    void escapeClearsTheSearchThenHides()
    {
        QFETCH(QString, typed);
        QFETCH(bool, clearsFirst);
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, withTray());
        showAndActivate(form);
        QTest::keyClicks(form.SzukanyCiag, typed);
        QTest::keyClick(form.SzukanyCiag, Qt::Key_Escape);
        if (clearsFirst) {
            QVERIFY(form.isVisible());
            QCOMPARE(form.SzukanyCiag->text(), QString());
            QTest::keyClick(form.SzukanyCiag, Qt::Key_Escape);
        } else {
            QCOMPARE(form.SzukanyCiag->text(), typed);
        }
        QVERIFY(!form.isVisible());
    }

    void escapeOutsideTheSearchBoxHidesAndKeepsTheText()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, withTray());
        showAndActivate(form);
        QTest::keyClicks(form.SzukanyCiag, QStringLiteral("milk"));
        form.LVNotatki->setFocus();
        QTest::keyClick(form.LVNotatki, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.SzukanyCiag->text(), QStringLiteral("milk"));
    }

    void windowKeysNeverEditTheSearchBox()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, withTray());
        showAndActivate(form);
        QTest::keyClicks(form.SzukanyCiag, QStringLiteral("abc"));
        form.SzukanyCiag->setCursorPosition(0);
        // No note is selected: Delete and F2 have nothing to act on, and must not reach the box.
        QTest::keyClick(form.SzukanyCiag, Qt::Key_Delete);
        QTest::keyClick(form.SzukanyCiag, Qt::Key_F2);
        QTest::keyClick(form.SzukanyCiag, Qt::Key_Return);
        QCOMPARE(form.SzukanyCiag->text(), QStringLiteral("abc"));
        QVERIFY(form.isVisible());
        // Other keys still edit.
        QTest::keyClick(form.SzukanyCiag, Qt::Key_End);
        QTest::keyClick(form.SzukanyCiag, Qt::Key_Backspace);
        QCOMPARE(form.SzukanyCiag->text(), QStringLiteral("ab"));
    }

    void windowKeysActFromTheSearchBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("opens");
        QTest::newRow("Delete asks to delete the selected note") << int(Qt::Key_Delete) << "delete";
        QTest::newRow("Insert opens a new note") << int(Qt::Key_Insert) << "New note";
        QTest::newRow("Enter opens the selected note") << int(Qt::Key_Return) << "View / Edit";
        QTest::newRow("F2 opens the selected note") << int(Qt::Key_F2) << "View / Edit";
    }
    void windowKeysActFromTheSearchBox()
    {
        QFETCH(int, key);
        QFETCH(QString, opens);
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("abc note"), QStringLiteral("2024.05.01 08:30:00"));
        auto dm = db.open();
        TFormMain form(*dm, withTray());
        showAndActivate(form);
        clickRow(form, 0);
        form.SzukanyCiag->setFocus();
        QTest::keyClicks(form.SzukanyCiag, QStringLiteral("abc"));
        QVERIFY(waitForList(form));
        form.SzukanyCiag->setCursorPosition(0);

        QString seen;
        ModalWatcher watcher([&](QWidget* dialog) {
            if (qobject_cast<TFormUsuwanie*>(dialog))
                seen = QStringLiteral("delete");
            else if (auto* editor = qobject_cast<TFormNotatka*>(dialog))
                seen = editor->StatusFormatki->text();
            dialog->close();
        });
        QTest::keyClick(form.SzukanyCiag, Qt::Key(key));
        QCOMPARE(seen, opens);
        QCOMPARE(form.SzukanyCiag->text(), QStringLiteral("abc"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")), QStringLiteral("1"));
    }

    void newNoteFromTheTrayShowsTheWindowFirst()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, withTray());
        QVERIFY(!form.isVisible());
        bool windowShownUnderEditor = false;
        ModalWatcher watcher([&](QWidget* dialog) {
            windowShownUnderEditor = form.isVisible() && form.alarmChecker()->isPaused();
            dialog->close();
        });
        form.tray()->newNoteAction()->trigger();
        QVERIFY(windowShownUnderEditor);
        QVERIFY(!form.alarmChecker()->isPaused());
    }

    void commandsNeedingASelectionStartDisabled()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, withTray());
        QVERIFY(!form.MMUsun->isEnabled());
        QVERIFY(!form.MMPodgladEdycja->isEnabled());
        QVERIFY(!form.SBUsun->isEnabled());
        QVERIFY(form.MMNowaNotatka->isEnabled());
        QCOMPARE(form.MMNowaNotatka->shortcut(), QKeySequence(Qt::Key_Insert));
        QCOMPARE(form.MMUsun->shortcut(), QKeySequence(Qt::Key_Delete));
        QCOMPARE(form.MMPodgladEdycja->shortcut(), QKeySequence(Qt::Key_F2));
    }

    void theAlarmCheckerPausesAndResumes()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, withTray());
        QVERIFY(form.PauseAlarmChecker());
        QVERIFY(form.alarmChecker()->isPaused());
        form.ResumeAlarmChecker();
        QVERIFY(!form.alarmChecker()->isPaused());
    }

    void firstRunLayoutComesFromThePrimaryScreen()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, withTray());
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(form.size(), QSize(300, 400));
        QCOMPARE(form.pos(), QPoint(screen.width() - 300 - 40, screen.height() - 400 - 60));
        QCOMPARE(form.LVNotatki->header()->sectionSize(0), 155);
        QCOMPARE(form.LVNotatki->header()->sectionSize(1), 100);
    }

    void storedLayoutIsRestoredWithinItsLimits()
    {
        TestDatabase db;
        auto dm = db.open();
        dm->SetSetting(QStringLiteral("FormMainWidth"), QStringLiteral("200"));
        dm->SetSetting(QStringLiteral("FormMainHeight"), QStringLiteral("420"));
        dm->SetSetting(QStringLiteral("FormMainTop"), QStringLiteral("15"));
        dm->SetSetting(QStringLiteral("FormMainLeft"), QStringLiteral("not a number"));
        dm->SetSetting(QStringLiteral("TytulSzerokosc"), QStringLiteral("40"));
        dm->SetSetting(QStringLiteral("DataSzerokosc"), QStringLiteral("130"));
        TFormMain form(*dm, withTray());
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(form.size(), QSize(300, 420));
        QCOMPARE(form.pos(), QPoint(screen.width() - 300 - 40, 15));
        QCOMPARE(form.LVNotatki->header()->sectionSize(0), 100);
        QCOMPARE(form.LVNotatki->header()->sectionSize(1), 130);
    }

    void startsWithoutADatabase_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << QByteArray() << false
                                      << "No connection to database!\nThe database file is "
                                         "missing or was moved.";
        QTest::newRow("not a database")
            << QByteArray(4096, 'z') << true
            << "No connection to database!\nThe file is not a Quillbox database.";
    }
    void startsWithoutADatabase()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        QFETCH(QString, message);
        const QString path = unusableDatabasePath(exists, content);
        ModalWatcher watcher;
        auto dm = startup::createDataModule(path);
        TFormMain form(*dm, withTray());
        QTRY_COMPARE(watcher.messages, QStringList{message});
        QCOMPARE(form.LVNotatki->model()->rowCount(), 0);
        form.TrayIconClick();
        QVERIFY(form.isVisible());
        // Whatever showing the window set off has run: the failure was told once.
        QVERIFY(waitUntilListSettled(form));
        QCOMPARE(watcher.messages.size(), 1);
    }
    // Last: after the quit sequence has asked the application to exit, no modal window can
    // run in this process any more.
    void quitStoresTheLayoutOfAShownWindow_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("hiddenAgain");
        const auto row = [](const char* name, bool shown, bool hiddenAgain) {
            QTest::newRow(name) << shown << hiddenAgain;
        };
        row("shown, moved and sized", true, false);
        row("shown, moved and sized, back in the tray", true, true);
        row("never shown", false, false);
    }
    void quitStoresTheLayoutOfAShownWindow()
    {
        QFETCH(bool, shown);
        QFETCH(bool, hiddenAgain);
        TestDatabase db;
        auto dm = db.open();
        // The checker's pass is a stand-in: its own connection would open whenever its thread
        // gets to it, and the trace below is of the window's connection.
        FormMainOptions options = withTray();
        options.checkAlarms = [](PeriodicWorker&) {};
        TFormMain form(*dm, options);
        QVERIFY(waitUntilListSettled(form));
        if (shown) {
            showAndActivate(form);
            form.resize(333, 444);
            form.move(12, 34);
            form.LVNotatki->header()->resizeSection(0, 170);
            QTRY_COMPARE(form.geometry().size(), QSize(333, 444));
            if (hiddenAgain)
                form.TrayIconClick();
            QCOMPARE(form.isVisible(), !hiddenAgain);
        }
        // Stored as the window system frames it, frame included.
        const QRect outer = form.frameGeometry();
        LogCapture trace(true);
        form.QuitProgram();
        QVERIFY(form.isQuitting());

        QStringList written;
        for (const QString& line : trace.statements) {
            // The layout goes through the open connection: no closing and opening again.
            QVERIFY2(!line.startsWith(QStringLiteral("-- disconnected")) &&
                         !line.startsWith(QStringLiteral("-- connected")),
                     qPrintable(line));
            if (line.startsWith(QStringLiteral("INSERT INTO USTAWIENIA")))
                written << line.section(QLatin1Char('\''), 1, 1);
        }
        if (!shown) {
            // A run spent in the tray leaves the stored layout alone.
            QCOMPARE(written, QStringList());
            QCOMPARE(dm->GetSetting(QStringLiteral("FormMainWidth")), QStringLiteral("-1"));
            QCOMPARE(dm->GetSetting(QStringLiteral("TytulSzerokosc")), QStringLiteral("-1"));
            return;
        }
        QCOMPARE(written,
                 QStringList({u"FormMainHeight"_s, u"FormMainWidth"_s, u"FormMainTop"_s,
                              u"FormMainLeft"_s, u"TytulSzerokosc"_s, u"DataSzerokosc"_s}));
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainWidth")), QString::number(outer.width()));
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainHeight")), QString::number(outer.height()));
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainTop")), QString::number(outer.top()));
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainLeft")), QString::number(outer.left()));
        QVERIFY(outer.width() >= 333 && outer.height() >= 444);
        QCOMPARE(dm->GetSetting(QStringLiteral("TytulSzerokosc")), QStringLiteral("170"));
        QCOMPARE(dm->GetSetting(QStringLiteral("DataSzerokosc")), QStringLiteral("100"));
    }
};

QTEST_MAIN(TestFormMain)
#include "TestFormMain.moc"
