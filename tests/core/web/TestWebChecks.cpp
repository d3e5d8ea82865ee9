#include "core/web/DownloadDirectory.h"
#include "core/web/WebChecks.h"
#include "support/TestHttpServer.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <sys/stat.h>

namespace {

const QString kVersionPath = QStringLiteral("/app/Quillbox/update/bv.ver");
const QString kSwitchPath = QStringLiteral("/app/Quillbox/publicity2/isPublicity2.info");

using Setup = std::function<void(TestHttpServer&)>;

Setup versionFile(const QByteArray& content)
{
    return [content](TestHttpServer& server) { server.answer(kVersionPath, 200, content); };
}

int modeOf(const QString& path)
{
    struct stat info
    {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    return int(info.st_mode & 07777);
}

} // namespace

Q_DECLARE_METATYPE(Setup)

// The update and publicity checks against a real HTTP server on 127.0.0.1: what they conclude
// from each kind of answer, that no answer holds them past their time limit, and where their
// files go.
class TestWebChecks : public QObject
{
    Q_OBJECT

    QTemporaryDir home_;

    WebChecks::Options optionsFor(const QUrl& server) const
    {
        WebChecks::Options options;
        options.server = server;
        // Short enough for the silent and trickling servers to be given up on quickly.
        options.timeLimit = std::chrono::milliseconds(1500);
        options.downloadDirectory = home_.filePath(QStringLiteral("downloads"));
        return options;
    }

private Q_SLOTS:
    void updateCheck_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<bool>("announced");
        QTest::addColumn<bool>("fileSaved");

        QTest::newRow("3.1") << versionFile("3.1") << true << true;
        QTest::newRow("2.9") << versionFile("2.9\r\n") << true << true;
        QTest::newRow("3.00") << versionFile("3.00") << true << true;
        QTest::newRow("blank before") << versionFile(" 3.0") << true << true;
        QTest::newRow("empty file") << versionFile("") << true << true;
        QTest::newRow("only CR") << versionFile("\r") << true << true;
        QTest::newRow("UTF-8 BOM") << versionFile("\xef\xbb\xbf"
                                                  "3.0")
                                   << true << true;
        QTest::newRow("binary") << versionFile(QByteArray("\x00\x01\xfe\xff\n", 5)) << true << true;
        QTest::newRow("3.0") << versionFile("3.0") << false << true;
        QTest::newRow("3.0 CRLF") << versionFile("3.0\r\n") << false << true;
        QTest::newRow("3.0 Ctrl-Z") << versionFile("3.0\x1a") << false << true;
        QTest::newRow("3.0 then more lines") << versionFile("3.0\n3.1\n") << false << true;

        // Over the size cap: not a download, so no notice.
        QByteArray big(10 * 1024 * 1024, 'x');
        big.prepend("3.1\n");
        QTest::newRow("10 MB") << versionFile(big) << false << false;
        QTest::newRow("404") << Setup([](TestHttpServer& s) { s.answer(kVersionPath, 404, "3.1"); })
                             << false << false;
        QTest::newRow("500") << Setup([](TestHttpServer& s) { s.answer(kVersionPath, 500, "3.1"); })
                             << false << false;
        QTest::newRow("redirect to 200") << Setup([](TestHttpServer& s) {
            s.redirect(kVersionPath, QStringLiteral("/moved/bv.ver"));
            s.answer(QStringLiteral("/moved/bv.ver"), 200, "3.1\r\n");
        }) << true << true;
        QTest::newRow("redirect to 404") << Setup([](TestHttpServer& s) {
            s.redirect(kVersionPath, QStringLiteral("/gone"), 301);
        }) << false << false;
        QTest::newRow("redirect loop") << Setup([](TestHttpServer& s) {
            s.redirect(kVersionPath, QStringLiteral("/a"));
            s.redirect(QStringLiteral("/a"), kVersionPath);
        }) << false << false;
        QTest::newRow("accepts, never answers")
            << Setup([](TestHttpServer& s) { s.silent(kVersionPath); }) << false << false;
        QTest::newRow("trickles bytes") << Setup([](TestHttpServer& s) {
            s.trickle(kVersionPath, std::chrono::milliseconds(50));
        }) << false << false;
    }
    // Each answer gives the check's outcome or silence, within the time limit, and the
    // publicity check still runs afterwards on the same object.
    void updateCheck()
    {
        QFETCH(Setup, setup);
        QFETCH(bool, announced);
        QFETCH(bool, fileSaved);
        TestHttpServer server;
        setup(server);
        server.answer(kSwitchPath, 200, "");
        WebChecks checks(optionsFor(server.server()));
        QFile::remove(checks.versionFilePath());

        QSignalSpy update(&checks, &WebChecks::updateChecked);
        checks.checkUpdate();
        QVERIFY(update.wait(60000));
        QCOMPARE(update.size(), 1);
        QCOMPARE(update.at(0).at(0).toBool(), announced);
        QCOMPARE(QFile::exists(checks.versionFilePath()), fileSaved);

        QSignalSpy publicity(&checks, &WebChecks::publicityChecked);
        checks.checkPublicity();
        QVERIFY(publicity.wait(60000));
        QCOMPARE(publicity.at(0).at(0).toBool(), true);
        QCOMPARE(update.size(), 1);
    }

    void refusedConnection()
    {
        QUrl server;
        server.setScheme(QStringLiteral("http"));
        server.setHost(QStringLiteral("127.0.0.1"));
        server.setPort(TestHttpServer::refusedPort());
        WebChecks checks(optionsFor(server));
        QSignalSpy update(&checks, &WebChecks::updateChecked);
        QSignalSpy publicity(&checks, &WebChecks::publicityChecked);
        checks.checkUpdate();
        QVERIFY(update.wait(60000));
        QCOMPARE(update.at(0).at(0).toBool(), false);
        checks.checkPublicity();
        QVERIFY(publicity.wait(60000));
        QCOMPARE(publicity.at(0).at(0).toBool(), false);
    }

    void publicitySwitch_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<bool>("offered");
        QTest::newRow("present, empty")
            << Setup([](TestHttpServer& s) { s.answer(kSwitchPath, 200, ""); }) << true;
        QTest::newRow("present, any content")
            << Setup([](TestHttpServer& s) { s.answer(kSwitchPath, 200, "no"); }) << true;
        QTest::newRow("absent") << Setup([](TestHttpServer&) {}) << false;
        QTest::newRow("500") << Setup([](TestHttpServer& s) { s.answer(kSwitchPath, 500, "x"); })
                             << false;
        QTest::newRow("silent") << Setup([](TestHttpServer& s) { s.silent(kSwitchPath); }) << false;
    }
    void publicitySwitch()
    {
        QFETCH(Setup, setup);
        QFETCH(bool, offered);
        TestHttpServer server;
        setup(server);
        WebChecks checks(optionsFor(server.server()));
        QFile::remove(checks.publicitySwitchFilePath());
        QSignalSpy publicity(&checks, &WebChecks::publicityChecked);
        checks.checkPublicity();
        QVERIFY(publicity.wait(60000));
        QCOMPARE(publicity.at(0).at(0).toBool(), offered);
        QCOMPARE(QFile::exists(checks.publicitySwitchFilePath()), offered);
        // Only the switch file was asked for.
        QCOMPARE(server.requests, QStringList{kSwitchPath});
    }

    // The files land in a folder only their user can enter, and leave at quit.
    void filesArePrivateAndRemoved()
    {
        TestHttpServer server;
        server.answer(kVersionPath, 200, "3.1");
        server.answer(kSwitchPath, 200, "");
        QTemporaryDir dir;
        WebChecks::Options options = optionsFor(server.server());
        options.downloadDirectory = dir.filePath(QStringLiteral("nested/downloads"));
        WebChecks checks(options);
        QSignalSpy update(&checks, &WebChecks::updateChecked);
        QSignalSpy publicity(&checks, &WebChecks::publicityChecked);
        checks.checkUpdate();
        QVERIFY(update.wait(60000));
        checks.checkPublicity();
        QVERIFY(publicity.wait(60000));
        QVERIFY(QFile::exists(checks.versionFilePath()));
        QVERIFY(QFile::exists(checks.publicitySwitchFilePath()));
        QCOMPARE(modeOf(options.downloadDirectory), 0700);
        QCOMPARE(QFileInfo(checks.versionFilePath()).absolutePath(),
                 QFileInfo(options.downloadDirectory).absoluteFilePath());

        checks.deleteDownloadedFiles();
        QVERIFY(!QFile::exists(checks.versionFilePath()));
        QVERIFY(!QFile::exists(checks.publicitySwitchFilePath()));
        // Nothing to delete is no error either.
        checks.deleteDownloadedFiles();
    }

    // At quit a check still waiting for its answer is dropped: it reports nothing and can write
    // no file after the files were deleted.
    void deletingDropsRunningChecks()
    {
        TestHttpServer server;
        server.silent(kVersionPath);
        server.answer(kSwitchPath, 200, "");
        WebChecks checks(optionsFor(server.server()));
        QSignalSpy update(&checks, &WebChecks::updateChecked);
        QSignalSpy asked(&server, &TestHttpServer::requested);
        checks.checkUpdate();
        QVERIFY(asked.wait(60000));
        checks.deleteDownloadedFiles();
        // A check still running would report at its time limit; it never does.
        QVERIFY(!update.wait(3 * int(checks.options().timeLimit.count())));
        QVERIFY(!QFile::exists(checks.versionFilePath()));

        // The object still serves a later check.
        QSignalSpy publicity(&checks, &WebChecks::publicityChecked);
        checks.checkPublicity();
        QVERIFY(publicity.wait(60000));
        QCOMPARE(publicity.at(0).at(0).toBool(), true);
        QCOMPARE(update.size(), 0);
    }

    void privateDirectory()
    {
        QTemporaryDir dir;
        const QString fresh = dir.filePath(QStringLiteral("a/b/fresh"));
        QVERIFY(web::ensurePrivateDirectory(fresh));
        QCOMPARE(modeOf(fresh), 0700);

        // An existing folder open to others is closed to them.
        const QString open = dir.filePath(QStringLiteral("open"));
        QVERIFY(QDir().mkdir(open));
        QVERIFY(::chmod(QFile::encodeName(open).constData(), 0777) == 0);
        QVERIFY(web::ensurePrivateDirectory(open));
        QCOMPARE(modeOf(open), 0700);

        // A link in the folder's place is refused and left as it is, and so is a file.
        const QString target = dir.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkdir(target));
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0755) == 0);
        const QString link = dir.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(target, link));
        QVERIFY(!web::ensurePrivateDirectory(link));
        QCOMPARE(modeOf(target), 0755);
        const QString file = dir.filePath(QStringLiteral("file"));
        QFile plain(file);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QVERIFY(!web::ensurePrivateDirectory(file));
        QVERIFY(!web::ensurePrivateDirectory(QStringLiteral("relative/path")));
    }

    // A download folder that cannot be made private receives nothing, and the switch file then
    // offers nothing.
    void linkedDownloadFolderIsNotWrittenThrough()
    {
        TestHttpServer server;
        server.answer(kSwitchPath, 200, "planted");
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("victim"));
        QVERIFY(QDir().mkdir(target));
        WebChecks::Options options = optionsFor(server.server());
        options.downloadDirectory = dir.filePath(QStringLiteral("downloads"));
        QVERIFY(QFile::link(target, options.downloadDirectory));
        WebChecks checks(options);
        QSignalSpy publicity(&checks, &WebChecks::publicityChecked);
        checks.checkPublicity();
        QVERIFY(publicity.wait(60000));
        QCOMPARE(publicity.at(0).at(0).toBool(), false);
        QVERIFY(QDir(target).isEmpty());
    }

    void defaultFolderIsPerUser()
    {
        QTemporaryDir runtime;
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        QCOMPARE(web::defaultDownloadDirectory(), runtime.filePath(QStringLiteral("quillbox")));
        qunsetenv("XDG_RUNTIME_DIR");
        QVERIFY(web::defaultDownloadDirectory().endsWith(QStringLiteral("quillbox/downloads")));
    }
};

QTEST_GUILESS_MAIN(TestWebChecks)
#include "TestWebChecks.moc"
