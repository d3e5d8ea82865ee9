#include "core/settings/DatabaseLocation.h"
#include "core/storage/FirebirdEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

using namespace database_location;

Q_DECLARE_METATYPE(database_location::Source)

namespace {

mode_t modeOf(const QString& path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return mode_t(-1);
    return info.st_mode & 07777;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

} // namespace

class TestDatabaseLocation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void choose_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<bool>("beside");
        QTest::addColumn<QString>("xdgDataHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("path");
        QTest::addColumn<Source>("source");
        const auto row = [](const char* name, const QString& option, const QString& environment,
                            bool beside, const QString& xdgDataHome, const QString& home,
                            const QString& path, const Source& source) {
            QTest::newRow(name) << option << environment << beside << xdgDataHome << home << path
                                << source;
        };
        // The program lives in /opt/q, runs from /work, for a user whose home is /home/ann.
        const QString home = QStringLiteral("/home/ann");
        const QString perUser = QStringLiteral("/home/ann/.local/share/quillbox/dbn.ib");
        row("option wins over everything", u"/data/a.ib"_s, u"/data/b.ib"_s, true, u"/x"_s, home,
            u"/data/a.ib"_s, Source::Option);
        row("option relative to the working directory", u"notes/a.ib"_s, u""_s, false, u""_s, home,
            u"/work/notes/a.ib"_s, Source::Option);
        row("option on a server, as given", u"srv:/var/db/dbn.ib"_s, u""_s, true, u""_s, home,
            u"srv:/var/db/dbn.ib"_s, Source::Option);
        row("option with a port", u"127.0.0.1/3051:/db/dbn.ib"_s, u""_s, false, u""_s, home,
            u"127.0.0.1/3051:/db/dbn.ib"_s, Source::Option);
        row("variable when no option", u""_s, u"/data/b.ib"_s, true, u""_s, home, u"/data/b.ib"_s,
            Source::Environment);
        row("variable relative", u""_s, u"b.ib"_s, false, u""_s, home, u"/work/b.ib"_s,
            Source::Environment);
        row("variable on a server", u""_s, u"srv/3050:/db/dbn.ib"_s, false, u""_s, home,
            u"srv/3050:/db/dbn.ib"_s, Source::Environment);
        row("beside the executable when present", u""_s, u""_s, true, u"/x"_s, home,
            u"/opt/q/dbn.ib"_s, Source::BesideExecutable);
        row("per-user under XDG_DATA_HOME", u""_s, u""_s, false, u"/xdg/data"_s, home,
            u"/xdg/data/quillbox/dbn.ib"_s, Source::PerUser);
        row("per-user default under the home", u""_s, u""_s, false, u""_s, home, perUser,
            Source::PerUser);
        row("relative XDG_DATA_HOME is ignored", u""_s, u""_s, false, u"rel/data"_s, home, perUser,
            Source::PerUser);
        row("trailing slash of XDG_DATA_HOME", u""_s, u""_s, false, u"/xdg/"_s, home,
            u"/xdg/quillbox/dbn.ib"_s, Source::PerUser);
        row("no home and no XDG_DATA_HOME: no place", u""_s, u""_s, false, u""_s, u""_s, u""_s,
            Source::PerUser);
    }
    void choose()
    {
        QFETCH(QString, option);
        QFETCH(QString, environment);
        QFETCH(bool, beside);
        QFETCH(QString, xdgDataHome);
        QFETCH(QString, home);
        QFETCH(QString, path);
        QFETCH(Source, source);
        Facts facts;
        facts.option = option;
        facts.environment = environment;
        facts.executableDir = QStringLiteral("/opt/q");
        facts.besideExecutableExists = beside;
        facts.dataHome = xdgDataHome;
        facts.home = home;
        facts.workingDir = QStringLiteral("/work");
        const Choice choice = database_location::choose(facts);
        QCOMPARE(choice.path, path);
        QCOMPARE(choice.source, source);
    }

    // A server's database is opened through its server and gets no lock directory of ours.
    void serverPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("remote");
        QTest::newRow("absolute file") << "/home/ann/dbn.ib" << false;
        QTest::newRow("relative file") << "dbn.ib" << false;
        QTest::newRow("colon inside a folder name") << "/data/a:b/dbn.ib" << false;
        QTest::newRow("relative folder with a colon later") << "./x:y/dbn.ib" << false;
        QTest::newRow("host") << "server:/db/dbn.ib" << true;
        QTest::newRow("host and port") << "127.0.0.1/3051:/db/dbn.ib" << true;
        QTest::newRow("host and service name") << "server/gds_db:/db/dbn.ib" << true;
        QTest::newRow("IPv6 host and port") << "[::1]/3051:/db/dbn.ib" << true;
        QTest::newRow("alias on a host") << "server:notes" << true;
        QTest::newRow("protocol prefix") << "inet://server:3051//db/dbn.ib" << true;
    }
    void serverPaths()
    {
        QFETCH(QString, path);
        QFETCH(bool, remote);
        QCOMPARE(firebird_environment::isRemote(path), remote);
    }

    void firstStartMakesThePerUserFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString source = dir.filePath(QStringLiteral("empty.ib"));
        writeFile(source, QByteArray(40000, 'e'));
        QVERIFY(::chmod(QFile::encodeName(source).constData(), 0644) == 0);
        const QString path = dir.filePath(QStringLiteral("home/.local/share/quillbox/dbn.ib"));
        const QStringList templates{dir.filePath(QStringLiteral("missing.ib")), source};

        QString error;
        QCOMPARE(createPerUserDatabase(path, templates, &error), Creation::Created);
        QCOMPARE(contentOf(path), QByteArray(40000, 'e'));
        QCOMPARE(modeOf(path), mode_t(0600));
        for (const char* made :
             {"home", "home/.local", "home/.local/share", "home/.local/share/quillbox"})
            QCOMPARE(modeOf(dir.filePath(QLatin1String(made))), mode_t(0700));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("home/.local/share/quillbox")))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("dbn.ib")});

        // The user's notes are never replaced, whatever the installation ships later.
        writeFile(path, "the user's notes");
        QCOMPARE(createPerUserDatabase(path, templates), Creation::AlreadyThere);
        QCOMPARE(contentOf(path), QByteArray("the user's notes"));
    }

    void existingFoldersKeepTheirModes()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString source = dir.filePath(QStringLiteral("empty.ib"));
        writeFile(source, "db");
        const QString share = dir.filePath(QStringLiteral("share"));
        QVERIFY(QDir().mkdir(share));
        QVERIFY(::chmod(QFile::encodeName(share).constData(), 0755) == 0);
        QCOMPARE(createPerUserDatabase(share + QStringLiteral("/quillbox/dbn.ib"), {source}),
                 Creation::Created);
        QCOMPARE(modeOf(share), mode_t(0755));
        QCOMPARE(modeOf(share + QStringLiteral("/quillbox")), mode_t(0700));
    }

    void nothingIsMadeWithoutAnInstalledDatabase()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("share/quillbox/dbn.ib"));
        QString error;
        QCOMPARE(createPerUserDatabase(path, {dir.filePath(QStringLiteral("none.ib"))}, &error),
                 Creation::NoTemplate);
        QVERIFY(error.contains(QStringLiteral("none.ib")));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("share"))));
    }

    void anUncreatableFolderFails()
    {
        // A file where a folder should be stops even root.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString source = dir.filePath(QStringLiteral("empty.ib"));
        writeFile(source, "db");
        writeFile(dir.filePath(QStringLiteral("share")), "not a folder");
        QString error;
        QCOMPARE(createPerUserDatabase(dir.filePath(QStringLiteral("share/quillbox/dbn.ib")),
                                       {source}, &error),
                 Creation::Failed);
        QVERIFY2(error.contains(QStringLiteral("share")), qPrintable(error));
    }

    void installedDatabaseIsFoundFromTheProgram()
    {
        const QStringList candidates = installedEmptyDatabases(QStringLiteral("/opt/q/bin"));
        QVERIFY(!candidates.isEmpty());
        QCOMPARE(candidates.first(), QStringLiteral("/opt/q/share/quillbox/dbn.ib"));
        QVERIFY(candidates.last().endsWith(QStringLiteral("/share/quillbox/dbn.ib")));
    }
};

QTEST_GUILESS_MAIN(TestDatabaseLocation)
#include "TestDatabaseLocation.moc"
