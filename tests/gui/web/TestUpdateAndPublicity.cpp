#include "core/web/WebChecks.h"
#include "gui/main/FormMain.h"
#include "gui/web/BrowserEngine.h"
#include "gui/web/ClickLabel.h"
#include "gui/web/FormOProgramie.h"
#include "gui/web/LinkButton.h"
#include "gui/web/Update.h"
#include "support/ModalWatcher.h"
#include "support/TestDatabase.h"
#include "support/TestHttpServer.h"

#include <QAction>
#include <QFile>
#include <QOpenGLContext>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <unistd.h>

namespace {

const QString kVersionPath = QStringLiteral("/app/Quillbox/update/bv.ver");
const QString kSwitchPath = QStringLiteral("/app/Quillbox/publicity2/isPublicity2.info");
const QString kPage = QStringLiteral("/app/Quillbox/publicity2/");

} // namespace

// The main window's once-per-run web checks against a local server: the delay, the order, the
// windows they open, the files they leave until quit; and the About command.
class TestUpdateAndPublicity : public QObject
{
    Q_OBJECT

    QTemporaryDir downloads_;

    FormMainOptions optionsFor(const TestHttpServer& server) const
    {
        FormMainOptions options;
        options.trayAvailable = true;
        options.webServer = server.server();
        options.webCheckDelay = std::chrono::milliseconds(50);
        options.webTimeLimit = std::chrono::seconds(3);
        options.downloadDirectory = downloads_.filePath(QStringLiteral("private"));
        return options;
    }

    static bool browserCanStart()
    {
        return browser_engine::canStart(browser_engine::currentConditions());
    }

private Q_SLOTS:
    // The suite runs as the program does: the web engine is not linked, and comes with the
    // publicity window's module when the window first opens.
    void initTestCase() { QVERIFY(!QOpenGLContext::globalShareContext()); }

    void defaultsAreTheProgramOwn()
    {
        const FormMainOptions options;
        QCOMPARE(options.webCheckDelay, std::chrono::milliseconds(180000));
        QCOMPARE(options.webTimeLimit, std::chrono::milliseconds(30000));
        QCOMPARE(options.webServer.scheme(), QStringLiteral("http"));
        QCOMPARE(options.webServer.host(), QStringLiteral(QUILLBOX_WEB_HOST));
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, options);
        QVERIFY(form.updateAndPublicity()->tUpdateAndPublicity->isActive());
        QCOMPARE(form.updateAndPublicity()->tUpdateAndPublicity->interval(), 180000);
    }

    // One tick: the version file, then the switch file, then the page; the notice and the
    // publicity window both open, the publicity window last; the timer never runs again.
    void checksRunOnceInOrder()
    {
        if (!browserCanStart())
            QSKIP("The browser engine cannot start here");
        TestHttpServer server;
        server.answer(kVersionPath, 200, "3.1\r\n");
        server.answer(kSwitchPath, 200, "");
        server.answer(kPage, 200, "<html><body>Offer</body></html>");
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, optionsFor(server));
        const UpdateAndPublicitySchedule& web = *form.updateAndPublicity();
        QVERIFY(!web.fUpdate);
        QTRY_VERIFY_WITH_TIMEOUT(web.Reklama, 60000);
        QVERIFY(web.fUpdate);
        QVERIFY(web.fUpdate->isVisible());
        QVERIFY(web.Reklama->isVisible());
        QVERIFY(!web.tUpdateAndPublicity->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(server.requests.contains(kPage), 60000);
        QCOMPARE(server.requests.mid(0, 3), (QStringList{kVersionPath, kSwitchPath, kPage}));
        QCOMPARE(server.requests.count(kVersionPath), 1);
        QCOMPARE(server.requests.count(kSwitchPath), 1);
        web.Reklama->close();
        web.fUpdate->close();
        QTRY_VERIFY(!web.Reklama && !web.fUpdate);
    }

    void nothingToShow()
    {
        TestHttpServer server;
        server.answer(kVersionPath, 200, "3.0\r\n");
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, optionsFor(server));
        QSignalSpy publicity(form.webChecks(), &WebChecks::publicityChecked);
        QVERIFY(publicity.wait(60000));
        QCOMPARE(publicity.at(0).at(0).toBool(), false);
        QVERIFY(!form.updateAndPublicity()->fUpdate);
        QVERIFY(!form.updateAndPublicity()->Reklama);
        QCOMPARE(server.requests, (QStringList{kVersionPath, kSwitchPath}));
    }

    // A version server that accepts and never answers holds nothing: the window keeps working
    // meanwhile, and at the time limit the publicity check runs all the same.
    void silentServerHoldsNothing()
    {
        TestHttpServer server;
        server.silent(kVersionPath);
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, optionsFor(server));
        QSignalSpy update(form.webChecks(), &WebChecks::updateChecked);
        QSignalSpy publicity(form.webChecks(), &WebChecks::publicityChecked);
        QSignalSpy asked(&server, &TestHttpServer::requested);
        QVERIFY(asked.wait(60000));
        QCOMPARE(update.size(), 0);
        form.TrayIconClick();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(update.isEmpty());
        QVERIFY(publicity.wait(60000));
        QCOMPARE(update.size(), 1);
        QCOMPARE(update.at(0).at(0).toBool(), false);
        QCOMPARE(server.requests, (QStringList{kVersionPath, kSwitchPath}));
    }

    // Where the engine could not start, the offered publicity window does not open and the
    // program goes on.
    void noBrowserWithoutAStartableEngine()
    {
        if (::geteuid() != 0)
            QSKIP("Only root needs the engine's sandbox switched off");
        const QByteArray saved = qgetenv("QTWEBENGINE_DISABLE_SANDBOX");
        const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        TestHttpServer server;
        server.answer(kVersionPath, 200, "3.0");
        server.answer(kSwitchPath, 200, "");
        TestDatabase db;
        auto dm = db.open();
        {
            TFormMain form(*dm, optionsFor(server));
            QSignalSpy publicity(form.webChecks(), &WebChecks::publicityChecked);
            QVERIFY(publicity.wait(60000));
            QCOMPARE(publicity.at(0).at(0).toBool(), true);
            QVERIFY(!form.updateAndPublicity()->Reklama);
        }
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", saved);
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }

    void aboutFromTheMenu()
    {
        TestHttpServer server;
        TestDatabase db;
        auto dm = db.open();
        FormMainOptions options = optionsFor(server);
        options.webCheckDelay = std::chrono::hours(1);
        TFormMain form(*dm, options);
        QString title;
        QString link;
        ModalWatcher watcher([&](QWidget* dialog) {
            auto* about = qobject_cast<TFormOProgramie*>(dialog);
            if (!about)
                return;
            title = about->windowTitle();
            link = about->Label1->text();
            QTest::keyClick(about->MemoInfo, Qt::Key_Escape);
        });
        form.OProgramie->trigger();
        QCOMPARE(title, QStringLiteral("Quillbox - About"));
        QCOMPARE(link, QStringLiteral("127.0.0.1"));
        QTRY_VERIFY(!form.findChild<TFormOProgramie*>());
    }

    // Last: after the quit sequence has asked the application to exit, no event loop can run in
    // this process any more.
    void downloadedFilesRemovedAtQuit()
    {
        TestHttpServer server;
        server.answer(kVersionPath, 200, "3.0");
        server.answer(kSwitchPath, 500, "");
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, optionsFor(server));
        QSignalSpy publicity(form.webChecks(), &WebChecks::publicityChecked);
        QVERIFY(publicity.wait(60000));
        const QString version = form.webChecks()->versionFilePath();
        const QString switchFile = form.webChecks()->publicitySwitchFilePath();
        QVERIFY(QFile::exists(version));
        // A switch file left over from an earlier run goes as well.
        QFile planted(switchFile);
        QVERIFY(planted.open(QIODevice::WriteOnly));
        planted.close();
        form.QuitProgram();
        QVERIFY(!QFile::exists(version));
        QVERIFY(!QFile::exists(switchFile));
    }
};

QTEST_MAIN(TestUpdateAndPublicity)
#include "TestUpdateAndPublicity.moc"
