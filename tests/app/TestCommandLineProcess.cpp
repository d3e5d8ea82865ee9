#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

// The built program as a user starts it: its command line, and which database it opens.
class TestCommandLineProcess : public QObject
{
    Q_OBJECT

    QString xdgDataHome_;
    QString runtimeDir_;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), xdgDataHome_);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir_);
        env.insert(QStringLiteral("QT_LOGGING_RULES"),
                   QStringLiteral("quillbox.db.sql.debug=true"));
        env.remove(QStringLiteral("QUILLBOX_DATABASE"));
        env.remove(QStringLiteral("FIREBIRD"));
        env.remove(QStringLiteral("FIREBIRD_LOCK"));
        return env;
    }

    static QStringList entries(const QString& directory)
    {
        return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                         QDir::Name);
    }

    // Waits until the program's standard error holds text; returns all it wrote so far.
    static QByteArray waitForError(QProcess& process, const QByteArray& text)
    {
        QByteArray seen;
        QDeadlineTimer deadline(60000);
        if (!process.waitForStarted(60000))
            return {};
        while (!deadline.hasExpired() && process.state() == QProcess::Running) {
            process.waitForReadyRead(100);
            seen += process.readAllStandardError();
            if (seen.contains(text))
                return seen;
        }
        qWarning() << "waited for" << text << "saw" << seen;
        return {};
    }

    // The quit sequence is tested elsewhere; here the program only has to go.
    static void end(QProcess& process)
    {
        process.kill();
        process.waitForFinished(30000);
    }

    // A copy of the program in a folder of its own: bin/quillbox, with share/quillbox/dbn.ib
    // beside bin/ as an installation has it when withInstalledDatabase.
    static QString installCopy(bool withInstalledDatabase)
    {
        const QString top = freshTestDirectory();
        QDir().mkpath(top + QStringLiteral("/bin"));
        const QString program = top + QStringLiteral("/bin/quillbox");
        if (!QFile::copy(QStringLiteral(QUILLBOX_PROGRAM), program))
            qFatal("cannot copy the program");
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
        if (withInstalledDatabase) {
            QDir().mkpath(top + QStringLiteral("/share/quillbox"));
            QFile::copy(QStringLiteral(QUILLBOX_EMPTY_DB),
                        top + QStringLiteral("/share/quillbox/dbn.ib"));
        }
        return program;
    }

private Q_SLOTS:
    void initTestCase()
    {
        runtimeDir_ = freshTestDirectory();
        QVERIFY(::chmod(QFile::encodeName(runtimeDir_).constData(), 0700) == 0);
    }

    void init() { xdgDataHome_ = freshTestDirectory() + QStringLiteral("/data"); }

    void options_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const auto row = [](const char* name, const QStringList& arguments, int exitCode,
                            const QString& out, const QString& err) {
            QTest::newRow(name) << arguments << exitCode << out << err;
        };
        row("help", QStringList{u"--help"_s}, 0, u"Usage: quillbox [OPTION]...\n"_s, u""_s);
        row("short help", QStringList{u"-h"_s}, 0, u"--database PATH"_s, u""_s);
        row("version", QStringList{u"--version"_s}, 0, u"Quillbox 3.0\n"_s, u""_s);
        row("after an option of Qt's own",
            QStringList{u"-platform"_s, u"offscreen"_s, u"--version"_s}, 0, u"Quillbox 3.0\n"_s,
            u""_s);
        row("unknown option", QStringList{u"--bogus"_s}, 2, u""_s,
            u"quillbox: unknown option '--bogus'\nTry 'quillbox --help' for more information.\n"_s);
        row("database without a value", QStringList{u"--database"_s}, 2, u""_s,
            u"quillbox: option '--database' needs a value (PATH)\n"_s);
        row("stray argument", QStringList{u"notes.ib"_s}, 2, u""_s,
            u"quillbox: unexpected argument 'notes.ib'\n"_s);
    }
    void options()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral(QUILLBOX_PROGRAM), arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        // The offscreen platform without GL says so when the browser's shared GL context is
        // asked for at start-up; that line is the platform's, not the program's.
        QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
        stdErr.remove(
            QStringLiteral("This plugin does not support createPlatformOpenGLContext!\n"));
        if (out.isEmpty())
            QCOMPARE(stdOut, QString());
        else
            QVERIFY2(stdOut.contains(out), qPrintable(stdOut));
        if (err.isEmpty())
            QCOMPARE(stdErr, QString());
        else
            QVERIFY2(stdErr.startsWith(err), qPrintable(stdErr));
        // Asking for help or making a mistake opens no database and makes none.
        QVERIFY(!QFileInfo::exists(xdgDataHome_));
    }

    // --paths names what the program would open and its engine's folders for it, and makes
    // the configuration folder (a fresh session has none) but no database; no window, so no
    // display is needed.
    void paths_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("per-user, runtime folder") << "per-user";
        QTest::newRow("no runtime folder: the user's cache") << "no runtime";
        QTest::newRow("named by the option") << "option";
        QTest::newRow("named by the variable") << "variable";
        QTest::newRow("after an option of Qt's own") << "qt option";
    }
    void paths()
    {
        QFETCH(QString, kind);
        QProcessEnvironment env = environment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        QStringList arguments{QStringLiteral("--paths")};
        QString database = xdgDataHome_ + QStringLiteral("/quillbox/dbn.ib");
        QString configuration = runtimeDir_ + QStringLiteral("/quillbox-firebird");
        TestDatabase named;
        if (kind == QStringLiteral("no runtime")) {
            const QString home = freshTestDirectory();
            env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
            env.remove(QStringLiteral("XDG_CACHE_HOME"));
            env.insert(QStringLiteral("HOME"), home);
            configuration = home + QStringLiteral("/.cache/quillbox-firebird");
        } else if (kind == QStringLiteral("option")) {
            arguments << QStringLiteral("--database") << named.path();
            database = named.path();
        } else if (kind == QStringLiteral("variable")) {
            env.insert(QStringLiteral("QUILLBOX_DATABASE"), named.path());
            database = named.path();
        } else if (kind == QStringLiteral("qt option")) {
            arguments =
                QStringList{QStringLiteral("-platform"), QStringLiteral("offscreen"),
                            QStringLiteral("--paths"), QStringLiteral("--database"), named.path()};
            database = named.path();
        }
        const QString lock = QFileInfo(database).absolutePath() + QStringLiteral("/.dbn.lock");

        // A copy of its own, without the build's dbn.ib beside it.
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(installCopy(true), arguments);
        QVERIFY(process.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        QString err = QString::fromLocal8Bit(process.readAllStandardError());
        err.remove(QStringLiteral("This plugin does not support createPlatformOpenGLContext!\n"));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY2(process.exitCode() == 0, qPrintable(err));
        QCOMPARE(err, QString());
        const QStringList lines = out.split(QLatin1Char('\n'));
        QVERIFY2(lines.contains(QStringLiteral("#   ") + database), qPrintable(out));
        QVERIFY2(lines.contains(QStringLiteral("export FIREBIRD=") + configuration +
                                QStringLiteral(" FIREBIRD_LOCK=") + lock),
                 qPrintable(out));

        // The folders are there as the program makes them; the database is not made.
        QFile conf(configuration + QStringLiteral("/firebird.conf"));
        QVERIFY(conf.open(QIODevice::ReadOnly));
        QVERIFY(conf.readAll().contains("ServerMode = SuperClassic"));
        QVERIFY(QFileInfo::exists(configuration + QStringLiteral("/plugins")));
        QCOMPARE(QFileInfo(lock).isDir(), QFileInfo::exists(database));
        QVERIFY(!QFileInfo::exists(xdgDataHome_));
    }

    // The line --paths prints lets Firebird's own tool write to the database while the
    // program has it open; without it the tool's engine is locked out of the file.
    void pathsLetFirebirdsToolsShareTheDatabase()
    {
        TestDatabase db;
        QProcess quillbox;
        quillbox.setProcessEnvironment(environment());
        quillbox.start(QStringLiteral(QUILLBOX_PROGRAM), {QStringLiteral("--database"), db.path()});
        QVERIFY(!waitForError(quillbox, "DataSzerokosc").isEmpty());

        const auto isql = [&](bool withPaths) {
            const QString insert = QStringLiteral(
                "INSERT INTO NOTATKI (ID, Tytul, DataGodzina, Alarm) VALUES (%1, 'by isql', "
                "'2024.05.01 10:00:00', 0); COMMIT;");
            QProcess shell;
            QProcessEnvironment env = environment();
            env.insert(QStringLiteral("ISC_USER"), QStringLiteral("SYSDBA"));
            shell.setProcessEnvironment(env);
            shell.setProcessChannelMode(QProcess::MergedChannels);
            shell.start(QStringLiteral("sh"),
                        {QStringLiteral("-c"),
                         QStringLiteral("if [ \"$1\" = yes ]; then eval \"$(\"$2\" --paths "
                                        "--database \"$3\")\" || exit 9; fi; "
                                        "echo \"$4\" | \"$5\" -q -b \"$3\""),
                         QStringLiteral("sh"),
                         withPaths ? QStringLiteral("yes") : QStringLiteral("no"),
                         QStringLiteral(QUILLBOX_PROGRAM), db.path(),
                         insert.arg(withPaths ? 900 : 901), QStringLiteral(QUILLBOX_ISQL)});
            if (!shell.waitForFinished(120000))
                shell.kill();
            return std::make_pair(shell.exitCode(), shell.readAll());
        };
        const auto [without, withoutLog] = isql(false);
        const auto [with, withLog] = isql(true);
        QCOMPARE(quillbox.state(), QProcess::Running);
        end(quillbox);
        QVERIFY2(without != 0, withoutLog.constData());
        QVERIFY2(with == 0, withLog.constData());
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI WHERE ID = 900")),
                 QStringLiteral("1"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI WHERE ID = 901")),
                 QStringLiteral("0"));
    }

    // Logged in over ssh, with no display: what needs no window works, and the rest ends with
    // one line that says why, never with Qt's fatal error and a core dump.
    void withoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("start") << QStringList{} << 1 << ""
                               << "quillbox: no display to show a window on (DISPLAY and "
                                  "WAYLAND_DISPLAY are not set); --help, --version, --backup and "
                                  "--restore work without one\n";
        QTest::newRow("unknown option")
            << QStringList{u"--no-such-option"_s} << 2 << u""_s
            << u"quillbox: unknown option '--no-such-option'\nTry 'quillbox --help' for more "
               u"information.\n"_s;
        QTest::newRow("help") << QStringList{u"--help"_s} << 0 << u"--restore BACKUP NEWFILE"_s
                              << u""_s;
        QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u"Quillbox 3.0\n"_s
                                 << u""_s;
        QTest::newRow("backup") << QStringList{u"--backup"_s} << 0 << u"Backed up 0 notes of "_s
                                << u""_s;
    }
    void withoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        TestDatabase db;
        if (arguments == QStringList{QStringLiteral("--backup")})
            arguments << freshTestDirectory() + QStringLiteral("/notes.fbk")
                      << QStringLiteral("--database") << db.path();
        QProcessEnvironment env = environment();
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
            env.remove(QLatin1String(name));
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QUILLBOX_PROGRAM), arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.contains(out), qPrintable(stdOut));
        QCOMPARE(stdErr, err);
        QVERIFY(!QFileInfo::exists(xdgDataHome_));
    }

    // Which database the program opens, as the log of its connection shows.
    void choice_data()
    {
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("variable");
        QTest::addColumn<bool>("option");
        QTest::addColumn<QString>("opened");
        QTest::newRow("per-user, made on first start") << false << false << false << "per-user";
        QTest::newRow("beside the executable") << true << false << false << "beside";
        QTest::newRow("variable over beside") << true << true << false << "variable";
        QTest::newRow("option over variable") << true << true << true << "option";
        QTest::newRow("option alone") << false << false << true << "option";
    }
    void choice()
    {
        QFETCH(bool, beside);
        QFETCH(bool, variable);
        QFETCH(bool, option);
        QFETCH(QString, opened);
        const QString program = installCopy(true);
        const QString besidePath = QFileInfo(program).absolutePath() + QStringLiteral("/dbn.ib");
        if (beside)
            QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_EMPTY_DB), besidePath));
        TestDatabase byVariable;
        TestDatabase byOption;
        const QString perUser = xdgDataHome_ + QStringLiteral("/quillbox/dbn.ib");
        const QMap<QString, QString> paths{{QStringLiteral("per-user"), perUser},
                                           {QStringLiteral("beside"), besidePath},
                                           {QStringLiteral("variable"), byVariable.path()},
                                           {QStringLiteral("option"), byOption.path()}};

        QProcessEnvironment env = environment();
        if (variable)
            env.insert(QStringLiteral("QUILLBOX_DATABASE"), byVariable.path());
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, option ? QStringList{QStringLiteral("--database"), byOption.path()}
                                      : QStringList{});
        const QByteArray log = waitForError(process, "DataSzerokosc");
        end(process);
        QVERIFY(!log.isEmpty());
        // The path ends where the login's user follows.
        const QByteArray connected = "-- connected to " + QFile::encodeName(paths[opened]) + " as ";
        QVERIFY2(log.contains(connected), log.constData());

        // The per-user database is made only when it is the one chosen.
        QCOMPARE(QFileInfo::exists(perUser), opened == QStringLiteral("per-user"));
        if (opened == QStringLiteral("per-user")) {
            struct stat info = {};
            QVERIFY(::stat(QFile::encodeName(perUser).constData(), &info) == 0);
            QCOMPARE(info.st_mode & 07777, mode_t(0600));
            QVERIFY(
                ::stat(QFile::encodeName(xdgDataHome_ + QStringLiteral("/quillbox")).constData(),
                       &info) == 0);
            QCOMPARE(info.st_mode & 07777, mode_t(0700));
            TDM dm(perUser);
            QCOMPARE(dm.GetSetting(QStringLiteral("FormMainWidth")), QStringLiteral("-1"));
            QVERIFY(dm.SetSetting(QStringLiteral("FormMainWidth"), QStringLiteral("400")));
        }
    }

    // What the user named and cannot be used: the program says so once and keeps running,
    // and creates nothing there or anywhere else.
    void unusableDatabase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing file in a missing folder") << "missing";
        QTest::newRow("not a database") << "text";
        QTest::newRow("server that refuses") << "refused";
        QTest::newRow("per-user folder not creatable") << "uncreatable";
        QTest::newRow("nothing installed to make the per-user file from") << "uninstalled";
    }
    void unusableDatabase()
    {
        QFETCH(QString, kind);
        const QString folder = freshTestDirectory();
        QString program = QStringLiteral(QUILLBOX_PROGRAM);
        QStringList arguments;
        QProcessEnvironment env = environment();
        if (kind == QStringLiteral("missing")) {
            arguments << QStringLiteral("--database") << folder + QStringLiteral("/none/dbn.ib");
        } else if (kind == QStringLiteral("text")) {
            QFile text(folder + QStringLiteral("/notes.txt"));
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write(QByteArray(8192, 'z'));
            text.close();
            arguments << QStringLiteral("--database") << text.fileName();
        } else if (kind == QStringLiteral("refused")) {
            arguments << QStringLiteral("--database")
                      << QStringLiteral("127.0.0.1/1:") + folder + QStringLiteral("/dbn.ib");
        } else if (kind == QStringLiteral("uncreatable")) {
            program = installCopy(true);
            QFile blocker(folder + QStringLiteral("/file"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            env.insert(QStringLiteral("XDG_DATA_HOME"),
                       blocker.fileName() + QStringLiteral("/data"));
        } else {
            if (QFileInfo::exists(QStringLiteral(QUILLBOX_CONFIGURED_DATABASE)))
                QSKIP("an installation on this machine provides the empty database");
            program = installCopy(false);
        }
        const QStringList before = entries(folder);

        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        const QByteArray log = waitForError(process, "cannot open");
        QVERIFY(!log.isEmpty());
        // The message box waits for its OK: the program is still there.
        QVERIFY(!process.waitForFinished(500));
        QCOMPARE(process.state(), QProcess::Running);
        end(process);
        const QByteArray rest = log + process.readAllStandardError();
        QCOMPARE(rest.count("cannot open"), 1);

        QCOMPARE(entries(folder), before);
        QVERIFY(!QFileInfo::exists(xdgDataHome_));
    }
};

QTEST_GUILESS_MAIN(TestCommandLineProcess)
#include "TestCommandLineProcess.moc"
