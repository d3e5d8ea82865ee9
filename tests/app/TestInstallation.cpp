#include "core/storage/DataModule.h"
#include "gui/web/PublicityLoader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

// The program installed the Linux way: the files an installation lays out, the installed
// program on a user's first start, and the Debian package.
class TestInstallation : public QObject
{
    Q_OBJECT

    static QStringList expectedFiles()
    {
        QStringList files{
            QStringLiteral("usr/bin/quillbox"),
            QStringLiteral("usr/share/applications/example.quillbox.Quillbox.desktop"),
            QStringLiteral("usr/share/metainfo/example.quillbox.Quillbox.metainfo.xml"),
            QStringLiteral("usr/share/quillbox/dbn.ib"),
            QStringLiteral("usr/share/man/man1/quillbox.1.gz"),
            QStringLiteral("usr/share/doc/quillbox/copyright"),
            QStringLiteral("usr/share/doc/quillbox/changelog.gz"),
            QStringLiteral("usr/%1/libquillbox_publicity.so")
                .arg(QLatin1String(QUILLBOX_MODULE_DIR)),
        };
        for (const QString& size : iconSizes())
            files << QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/quillbox.png").arg(size);
        files.sort();
        return files;
    }

    static QStringList iconSizes()
    {
        return QStringLiteral(QUILLBOX_ICON_SIZES).split(QLatin1Char(','));
    }

    static QStringList filesUnder(const QString& root)
    {
        QStringList files;
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(root).relativeFilePath(it.next());
        files.sort();
        return files;
    }

    static QByteArray run(const QString& program, const QStringList& arguments, int* exitCode,
                          const QString& workingDir = {})
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        if (!workingDir.isEmpty())
            process.setWorkingDirectory(workingDir);
        process.start(program, arguments);
        if (!process.waitForFinished(600000)) {
            process.kill();
            process.waitForFinished();
        }
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return process.readAll();
    }

    static bool modeAndOwner(const QString& path, mode_t mode, uid_t owner)
    {
        struct stat info = {};
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            return false;
        if ((info.st_mode & 0777) != mode || info.st_uid != owner) {
            qWarning("%s: mode %o owner %u", qPrintable(path), unsigned(info.st_mode & 07777),
                     unsigned(info.st_uid));
            return false;
        }
        return true;
    }

    QTemporaryDir stage_;
    QString deb_; // the package made by packageHoldsTheInstallation

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(stage_.isValid());
        // Other users must reach the staged tree: the installed program runs as one of them.
        QVERIFY(::chmod(QFile::encodeName(stage_.path()).constData(), 0755) == 0);
    }

    void installLaysOutTheFiles()
    {
        QProcess install;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESTDIR"), stage_.path());
        install.setProcessEnvironment(env);
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(QUILLBOX_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(QUILLBOX_BUILD_DIR),
                       QStringLiteral("--prefix"), QStringLiteral("/usr")});
        QVERIFY(install.waitForFinished(300000));
        QVERIFY2(install.exitCode() == 0, install.readAll().constData());

        QCOMPARE(filesUnder(stage_.path()), expectedFiles());
        const QString usr = stage_.path() + QStringLiteral("/usr");
        QVERIFY(QFileInfo(usr + QStringLiteral("/bin/quillbox")).isExecutable());
        // The installed program finds the publicity window's module in the installation.
        const QStringList modules = publicity_loader::modulePaths(usr + QStringLiteral("/bin"));
        QVERIFY2(std::any_of(modules.begin(), modules.end(),
                             [&](const QString& path) {
                                 return path.startsWith(usr) && QFileInfo::exists(path);
                             }),
                 qPrintable(modules.join(QLatin1Char(' '))));
        // The shipped empty database is only read: each user gets a copy.
        QVERIFY(modeAndOwner(usr + QStringLiteral("/share/quillbox/dbn.ib"), 0644, ::geteuid()));
        QFile shipped(usr + QStringLiteral("/share/quillbox/dbn.ib"));
        QFile empty(QStringLiteral(QUILLBOX_EMPTY_DB));
        QVERIFY(shipped.open(QIODevice::ReadOnly) && empty.open(QIODevice::ReadOnly));
        QVERIFY(shipped.readAll() == empty.readAll());

        for (const QString& size : iconSizes()) {
            const QImage icon(
                usr + QStringLiteral("/share/icons/hicolor/%1x%1/apps/quillbox.png").arg(size));
            QCOMPARE(icon.size(), QSize(size.toInt(), size.toInt()));
            QVERIFY(icon.hasAlphaChannel());
            // Drawn, not blank: the middle of the note is opaque.
            QCOMPARE(icon.pixelColor(icon.width() / 2, icon.height() / 2).alpha(), 255);
        }

        QFile desktop(usr +
                      QStringLiteral("/share/applications/example.quillbox.Quillbox.desktop"));
        QVERIFY(desktop.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = desktop.readAll().split('\n');
        for (const char* line : {"[Desktop Entry]", "Name=Quillbox", "Icon=quillbox",
                                 "Exec=quillbox", "Categories=Utility;", "Type=Application"})
            QVERIFY2(lines.contains(QByteArray(line)), line);

        int code = 0;
        const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        QVERIFY2(!appstream.isEmpty(), "appstreamcli is not installed (package appstream)");
        QByteArray out =
            run(appstream,
                {QStringLiteral("validate"), QStringLiteral("--no-net"),
                 usr + QStringLiteral("/share/metainfo/example.quillbox.Quillbox.metainfo.xml")},
                &code);
        QVERIFY2(code == 0, out.constData());
        const QString validator =
            QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        QVERIFY2(!validator.isEmpty(),
                 "desktop-file-validate is not installed (package desktop-file-utils)");
        out = run(validator,
                  {usr + QStringLiteral("/share/applications/example.quillbox.Quillbox.desktop")},
                  &code);
        QVERIFY2(code == 0 && out.trimmed().isEmpty(), out.constData());
    }

    // A user who is not root starts the installed program for the first time: it makes the
    // user's own database from the installed one and keeps the user's data in it.
    void installedProgramKeepsAUsersNotes()
    {
        const QString program = stage_.path() + QStringLiteral("/usr/bin/quillbox");
        if (!QFileInfo::exists(program))
            QSKIP("installLaysOutTheFiles did not install the program");
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        const bool asRoot = ::geteuid() == 0;
        if (asRoot && setpriv.isEmpty())
            QSKIP("setpriv is not installed");
        const uid_t user = asRoot ? 65534 : ::geteuid(); // nobody
        const gid_t group = asRoot ? 65534 : ::getegid();

        const QString home = stage_.path() + QStringLiteral("/home");
        QVERIFY(QDir().mkdir(home));
        QVERIFY(::chown(QFile::encodeName(home).constData(), user, group) == 0);
        QVERIFY(::chmod(QFile::encodeName(home).constData(), 0700) == 0);
        QProcessEnvironment env;
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"),
                   QStringLiteral("quillbox.db.sql.debug=true"));
        // A user's clean environment, but for the sanitizers' settings of a sanitizer build:
        // the database engine is not instrumented, and its memory would read as leaks.
        for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
            if (qEnvironmentVariableIsSet(name))
                env.insert(QLatin1String(name), qEnvironmentVariable(name));
        }
        const auto asUser = [&](const QString& executable, const QStringList& arguments) {
            auto process = std::make_unique<QProcess>();
            process->setProcessEnvironment(env);
            process->setWorkingDirectory(home);
            if (asRoot) {
                process->start(setpriv, QStringList{QStringLiteral("--reuid=65534"),
                                                    QStringLiteral("--regid=65534"),
                                                    QStringLiteral("--clear-groups"), executable} +
                                            arguments);
            } else {
                process->start(executable, arguments);
            }
            return process;
        };

        auto quillbox = asUser(program, {});
        QByteArray log;
        QDeadlineTimer deadline(60000);
        while (!log.contains("DataSzerokosc") && !deadline.hasExpired() &&
               quillbox->state() != QProcess::NotRunning) {
            quillbox->waitForReadyRead(100);
            log += quillbox->readAllStandardError();
        }
        QVERIFY2(log.contains("DataSzerokosc"), log.constData());

        const QString data = home + QStringLiteral("/.local/share");
        const QString database = data + QStringLiteral("/quillbox/dbn.ib");
        const QByteArray connected = "-- connected to " + QFile::encodeName(database);
        QVERIFY(log.contains(connected));
        QVERIFY(modeAndOwner(home + QStringLiteral("/.local"), 0700, user));
        QVERIFY(modeAndOwner(data, 0700, user));
        QVERIFY(modeAndOwner(data + QStringLiteral("/quillbox"), 0700, user));
        QVERIFY(modeAndOwner(database, 0600, user));

        // While the program holds it open, another program of the same user stores notes in
        // it: the user's database and its lock folder are fully the user's.
        auto writer = asUser(
            QStringLiteral(QUILLBOX_DB_WRITER),
            {QStringLiteral("notes"), database, QStringLiteral("note "), QStringLiteral("1")});
        QVERIFY(writer->waitForFinished(60000));
        QVERIFY2(writer->exitCode() == 0, writer->readAllStandardError().constData());
        QCOMPARE(quillbox->state(), QProcess::Running);
        quillbox->kill();
        QVERIFY(quillbox->waitForFinished(30000));

        TDM dm(database);
        QVERIFY(dm.Connect());
        const QString titles = dm.transact([](DbSession& db) {
            auto query = db.open(QStringLiteral("SELECT Tytul FROM NOTATKI"));
            return query->fetch() ? query->text(0) : QString();
        });
        QCOMPARE(titles, QStringLiteral("note 0"));
    }

    void packageHoldsTheInstallation()
    {
        const QString packageDir = QStringLiteral(QUILLBOX_BUILD_DIR "/package");
        QDir(packageDir).removeRecursively();
        int code = 0;
        QByteArray out =
            run(QStringLiteral(QUILLBOX_CPACK), {QStringLiteral("-G"), QStringLiteral("DEB")},
                &code, QStringLiteral(QUILLBOX_BUILD_DIR));
        QVERIFY2(code == 0, out.constData());
        const QStringList debs = QDir(packageDir).entryList({QStringLiteral("quillbox_*.deb")});
        QCOMPARE(debs.size(), 1);
        const QString deb = packageDir + QLatin1Char('/') + debs.first();
        deb_ = deb;
        QVERIFY2(debs.first().startsWith(QStringLiteral("quillbox_3.0_")),
                 qPrintable(debs.first()));

        out = run(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), deb}, &code);
        QCOMPARE(code, 0);
        QStringList files;
        for (const QByteArray& line : out.split('\n')) {
            if (!line.startsWith('-'))
                continue; // directories and links
            QString path = QString::fromUtf8(line.mid(line.lastIndexOf(' ') + 1));
            files << path.mid(path.indexOf(QLatin1Char('/')) + 1);
        }
        files.sort();
        QCOMPARE(files, expectedFiles());
        QVERIFY2(out.contains("-rwxr-xr-x root/root") && out.contains("./usr/bin/quillbox"),
                 out.constData());

        out = run(QStringLiteral("dpkg-deb"),
                  {QStringLiteral("-f"), deb, QStringLiteral("Depends")}, &code);
        QCOMPARE(code, 0);
        // The libraries it links (found by dpkg-shlibdeps) and the engine plugin it loads.
        // The web engine comes in through the publicity window's module.
        for (const char* package : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libfbclient2",
                                    "libqt6webenginewidgets6", "firebird3.0-server-core"})
            QVERIFY2(out.contains(package),
                     qPrintable(QString::fromUtf8(out) + QLatin1String(package)));

        // apt accepts it on this system with its dependencies met (a dry run: the machine's
        // own installation is not touched).
        if (::geteuid() != 0)
            QSKIP("apt-get needs root to plan an installation");
        out = run(QStringLiteral("apt-get"),
                  {QStringLiteral("install"), QStringLiteral("-s"),
                   QStringLiteral("--no-install-recommends"), deb},
                  &code);
        QVERIFY2(code == 0 && out.contains("Inst quillbox"), out.constData());
    }

    // Debian's own package checker finds nothing to warn of, let alone an error.
    void packagePassesLintian()
    {
        if (deb_.isEmpty())
            QSKIP("packageHoldsTheInstallation made no package");
        const QString lintian = QStandardPaths::findExecutable(QStringLiteral("lintian"));
        if (lintian.isEmpty())
            QSKIP("lintian is not installed (package lintian)");
        int code = 0;
        const QByteArray out = run(
            lintian, {QStringLiteral("--fail-on"), QStringLiteral("error,warning"), deb_}, &code);
        QStringList complaints;
        for (const QByteArray& line : out.split('\n')) {
            if (line.startsWith("E: ") || line.startsWith("W: "))
                complaints << QString::fromUtf8(line);
        }
        QVERIFY2(complaints.isEmpty(), qPrintable(complaints.join(QLatin1Char('\n'))));
        QVERIFY2(code == 0, out.constData());
    }

    // The manual page and the changelog are what man and lintian read: gzip data of the
    // sources beside the build, the manual page with every option of --help.
    void documentationIsInstalledReadable()
    {
        const QString usr = stage_.path() + QStringLiteral("/usr");
        const QString page = usr + QStringLiteral("/share/man/man1/quillbox.1.gz");
        if (!QFileInfo::exists(page))
            QSKIP("installLaysOutTheFiles did not install the manual page");
        int code = 0;
        const QByteArray source = run(QStringLiteral("gzip"), {QStringLiteral("-dc"), page}, &code);
        QCOMPARE(code, 0);
        QFile original(QStringLiteral(QUILLBOX_SOURCE_DIR "/data/quillbox.1"));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(source, original.readAll());
        const QByteArray help =
            run(QStringLiteral(QUILLBOX_PROGRAM), {QStringLiteral("--help")}, &code);
        QCOMPARE(code, 0);
        // Every option --help lists, as roff writes it (dashes escaped).
        static const QRegularExpression option(QStringLiteral("(?:^|[ ,])(--?[a-z]+)"));
        for (const QString& line : QString::fromUtf8(help).split(QLatin1Char('\n'))) {
            if (!line.startsWith(QStringLiteral("  -")))
                continue;
            auto matches = option.globalMatch(line.left(24));
            while (matches.hasNext()) {
                const QString name = matches.next().captured(1);
                QString roff = name;
                roff.replace(QLatin1Char('-'), QStringLiteral("\\-"));
                QVERIFY2(source.contains(roff.toUtf8()), qPrintable(name));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestInstallation)
#include "TestInstallation.moc"
