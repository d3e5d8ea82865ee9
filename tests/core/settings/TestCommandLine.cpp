#include "core/settings/CommandLine.h"
#include "core/settings/DisplayCheck.h"
#include "core/settings/EnginePaths.h"

#include <QProcess>
#include <QtTest>

using namespace Qt::StringLiterals;

using namespace command_line;

Q_DECLARE_METATYPE(command_line::Outcome)

class TestCommandLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("error");
        const auto row = [](const char* name, const QStringList& arguments, const Outcome& outcome,
                            const QString& database, const QString& error) {
            QTest::newRow(name) << arguments << outcome << database << error;
        };
        row("nothing", QStringList{}, Outcome::Run, u""_s, u""_s);
        row("database", QStringList{u"--database"_s, u"/d/dbn.ib"_s}, Outcome::Run, u"/d/dbn.ib"_s,
            u""_s);
        row("database with equals", QStringList{u"--database=srv/3051:/d/dbn.ib"_s}, Outcome::Run,
            u"srv/3051:/d/dbn.ib"_s, u""_s);
        row("value that looks like an option", QStringList{u"--database"_s, u"--help"_s},
            Outcome::Run, u"--help"_s, u""_s);
        row("last database wins",
            QStringList{u"--database"_s, u"a.ib"_s, u"--database"_s, u"b.ib"_s}, Outcome::Run,
            u"b.ib"_s, u""_s);
        row("help", QStringList{u"--help"_s}, Outcome::Help, u""_s, u""_s);
        row("short help", QStringList{u"-h"_s}, Outcome::Help, u""_s, u""_s);
        row("version", QStringList{u"--version"_s}, Outcome::Version, u""_s, u""_s);
        row("help after a database", QStringList{u"--database"_s, u"x.ib"_s, u"--help"_s},
            Outcome::Help, u"x.ib"_s, u""_s);
        row("help stops the parse before a bad option", QStringList{u"--help"_s, u"--bogus"_s},
            Outcome::Help, u""_s, u""_s);
        row("end of options alone", QStringList{u"--"_s}, Outcome::Run, u""_s, u""_s);
        row("paths", QStringList{u"--paths"_s}, Outcome::Paths, u""_s, u""_s);
        row("paths of the database named before",
            QStringList{u"--database"_s, u"x.ib"_s, u"--paths"_s}, Outcome::Paths, u"x.ib"_s,
            u""_s);
        row("paths of the database named after", QStringList{u"--paths"_s, u"--database=y.ib"_s},
            Outcome::Paths, u"y.ib"_s, u""_s);
        row("help after paths", QStringList{u"--paths"_s, u"--help"_s}, Outcome::Help, u""_s,
            u""_s);
        row("paths after version", QStringList{u"--version"_s, u"--paths"_s}, Outcome::Version,
            u""_s, u""_s);
        row("bad option after paths", QStringList{u"--paths"_s, u"--bogus"_s}, Outcome::Error,
            u""_s, u"unknown option '--bogus'"_s);
        row("value given to paths", QStringList{u"--paths=x"_s}, Outcome::Error, u""_s,
            u"option '--paths' takes no value"_s);
        row("unknown option", QStringList{u"--bogus"_s}, Outcome::Error, u""_s,
            u"unknown option '--bogus'"_s);
        row("unknown option with a value", QStringList{u"--bogus=1"_s}, Outcome::Error, u""_s,
            u"unknown option '--bogus'"_s);
        row("unknown short option", QStringList{u"-x"_s}, Outcome::Error, u""_s,
            u"unknown option '-x'"_s);
        row("prefix of an option is not the option", QStringList{u"--data"_s, u"x"_s},
            Outcome::Error, u""_s, u"unknown option '--data'"_s);
        row("error before help", QStringList{u"--bogus"_s, u"--help"_s}, Outcome::Error, u""_s,
            u"unknown option '--bogus'"_s);
        row("database without its value", QStringList{u"--database"_s}, Outcome::Error, u""_s,
            u"option '--database' needs a value (PATH)"_s);
        row("database with an empty value", QStringList{u"--database="_s}, Outcome::Error, u""_s,
            u"option '--database' needs a value (PATH)"_s);
        row("value given to a flag", QStringList{u"--version=2"_s}, Outcome::Error, u""_s,
            u"option '--version' takes no value"_s);
        row("stray argument", QStringList{u"notes.ib"_s}, Outcome::Error, u""_s,
            u"unexpected argument 'notes.ib'"_s);
        row("argument after the end of options", QStringList{u"--"_s, u"x"_s}, Outcome::Error,
            u""_s, u"unexpected argument 'x'"_s);
        row("lone dash", QStringList{u"-"_s}, Outcome::Error, u""_s, u"unexpected argument '-'"_s);
        // Qt's own options are left to Qt, with their values.
        row("Qt's platform option",
            QStringList{u"-platform"_s, u"offscreen"_s, u"--database"_s, u"q.ib"_s}, Outcome::Run,
            u"q.ib"_s, u""_s);
        row("Qt's option with two dashes and equals",
            QStringList{u"--style=Fusion"_s, u"-reverse"_s}, Outcome::Run, u""_s, u""_s);
        row("Qt's option without its value", QStringList{u"-platform"_s}, Outcome::Error, u""_s,
            u"unknown option '-platform'"_s);
        row("Qt's flag given a value", QStringList{u"-reverse=1"_s}, Outcome::Error, u""_s,
            u"unknown option '-reverse=1'"_s);
        row("restore without its new file", QStringList{u"--restore"_s, u"b.fbk"_s}, Outcome::Error,
            u""_s, u"option '--restore' needs two values (BACKUP NEWFILE)"_s);
        row("backup and restore at once",
            QStringList{u"--backup"_s, u"b.fbk"_s, u"--restore"_s, u"b.fbk"_s, u"n.ib"_s},
            Outcome::Error, u""_s, u"give either --backup or --restore, not both"_s);
    }

    // --backup and --restore with their values, and the database they work on.
    void backupAndRestore_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("backupFile");
        QTest::addColumn<QString>("restoreBackup");
        QTest::addColumn<QString>("restoreInto");
        const auto row = [](const char* name, const QStringList& arguments, const QString& database,
                            const QString& backupFile, const QString& restoreBackup,
                            const QString& restoreInto) {
            QTest::newRow(name) << arguments << database << backupFile << restoreBackup
                                << restoreInto;
        };
        row("backup", QStringList{u"--backup"_s, u"b.fbk"_s}, u""_s, u"b.fbk"_s, u""_s, u""_s);
        row("backup of the database given",
            QStringList{u"--database"_s, u"/d/dbn.ib"_s, u"--backup=b.fbk"_s}, u"/d/dbn.ib"_s,
            u"b.fbk"_s, u""_s, u""_s);
        row("restore", QStringList{u"--restore"_s, u"b.fbk"_s, u"new.ib"_s}, u""_s, u""_s,
            u"b.fbk"_s, u"new.ib"_s);
        row("restore with equals, database after",
            QStringList{u"--restore=b.fbk"_s, u"new.ib"_s, u"--database"_s, u"d.ib"_s}, u"d.ib"_s,
            u""_s, u"b.fbk"_s, u"new.ib"_s);
    }
    void backupAndRestore()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, database);
        QFETCH(QString, backupFile);
        QFETCH(QString, restoreBackup);
        QFETCH(QString, restoreInto);
        arguments.prepend(QStringLiteral("quillbox"));
        const Parsed parsed = command_line::parse(arguments);
        QCOMPARE(parsed.outcome, Outcome::Run);
        QCOMPARE(parsed.options.database, database);
        QCOMPARE(parsed.options.backupFile, backupFile);
        QCOMPARE(parsed.options.restoreBackup, restoreBackup);
        QCOMPARE(parsed.options.restoreInto, restoreInto);
        QVERIFY(parsed.options.isBackupOrRestore());
    }

    // Whether a window could be shown at all, before Qt is asked to connect to a display.
    void displayCheck_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("session");
        QTest::addColumn<bool>("usable");
        const auto row = [](const char* name, const QString& platform, const QString& display,
                            const QString& wayland, const QString& session, bool usable) {
            QTest::newRow(name) << platform << display << wayland << session << usable;
        };
        row("nothing set", u""_s, u""_s, u""_s, u""_s, false);
        row("X display", u""_s, u":0"_s, u""_s, u""_s, true);
        row("Wayland session", u""_s, u""_s, u"wayland-0"_s, u"wayland"_s, true);
        row("Wayland display outside a Wayland session", u""_s, u""_s, u"wayland-0"_s, u""_s,
            false);
        row("xcb asked for, no X display", u"xcb"_s, u""_s, u"wayland-0"_s, u"wayland"_s, false);
        row("Wayland or X, X there", u"wayland;xcb"_s, u":1"_s, u""_s, u""_s, true);
        row("offscreen needs no display", u"offscreen"_s, u""_s, u""_s, u""_s, true);
    }
    void displayCheck()
    {
        QFETCH(QString, platform);
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QFETCH(QString, session);
        QFETCH(bool, usable);
        const display_check::Facts facts{platform, display, wayland, session};
        const QString problem = display_check::problem(facts);
        QCOMPARE(problem.isEmpty(), usable);
        QVERIFY(!problem.contains(QLatin1Char('\n')));
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Outcome, outcome);
        QFETCH(QString, database);
        QFETCH(QString, error);
        arguments.prepend(QStringLiteral("/usr/bin/quillbox"));
        const Parsed parsed = command_line::parse(arguments);
        QCOMPARE(parsed.outcome, outcome);
        QCOMPARE(parsed.error, error);
        if (outcome == Outcome::Run || outcome == Outcome::Paths)
            QCOMPARE(parsed.options.database, database);
    }

    void showOption_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("show");
        QTest::addColumn<QString>("error");
        QTest::newRow("not given") << QStringList{} << false << QString();
        QTest::newRow("alone") << QStringList{u"--show"_s} << true << QString();
        QTest::newRow("with a database")
            << QStringList{u"--database"_s, u"x.ib"_s, u"--show"_s} << true << QString();
        QTest::newRow("with a value")
            << QStringList{u"--show=1"_s} << false << u"option '--show' takes no value"_s;
        QTest::newRow("with a backup")
            << QStringList{u"--show"_s, u"--backup"_s, u"b.fbk"_s} << false
            << u"--show opens a window: not with --backup or --restore"_s;
    }
    void showOption()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, show);
        QFETCH(QString, error);
        const Parsed parsed = command_line::parse(QStringList{u"quillbox"_s} + arguments);
        QCOMPARE(parsed.error, error);
        QCOMPARE(parsed.outcome, error.isEmpty() ? Outcome::Run : Outcome::Error);
        QCOMPARE(parsed.options.show, show);
    }

    void helpNamesEveryOption()
    {
        const QString help = helpText(QStringLiteral("quillbox"));
        QVERIFY(help.startsWith(QStringLiteral("Usage: quillbox [OPTION]...\n")));
        for (const char* option : {"--database PATH", "--backup FILE", "--restore BACKUP NEWFILE",
                                   "-h, --help", "--version", "--paths", "--show"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
        QVERIFY(help.contains(QStringLiteral("QUILLBOX_DATABASE")));
        QVERIFY(help.contains(QStringLiteral("~/.local/share/quillbox/dbn.ib")));
    }

    // What --paths prints, and what a shell makes of it: the same folders, whatever their
    // names hold.
    void pathsText_data()
    {
        using database_location::Source;
        QTest::addColumn<QString>("database");
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("configuration");
        QTest::addColumn<QString>("lock");
        QTest::addColumn<QString>("said");    // a line of the text
        QTest::addColumn<QString>("exports"); // the export line, empty when there is none
        QTest::newRow("per-user")
            << "/h/.local/share/quillbox/dbn.ib" << int(Source::PerUser) << "/run/u/qf"
            << "/h/.local/share/quillbox/.dbn.lock"
            << "# The note database Quillbox opens (the user's own):"
            << "export FIREBIRD=/run/u/qf FIREBIRD_LOCK=/h/.local/share/quillbox/.dbn.lock";
        QTest::newRow("named by the option") << "/d/dbn.ib" << int(Source::Option) << "/c/qf"
                                             << "/d/.dbn.lock"
                                             << "#   /d/dbn.ib"
                                             << "export FIREBIRD=/c/qf FIREBIRD_LOCK=/d/.dbn.lock";
        QTest::newRow("names the shell would split or expand")
            << "/my notes/it's $HOME/dbn.ib" << int(Source::Environment) << "/c/a b"
            << "/my notes/it's $HOME/.dbn.lock"
            << "# The note database Quillbox opens (named by QUILLBOX_DATABASE):"
            << "export FIREBIRD='/c/a b' FIREBIRD_LOCK='/my notes/it'\\''s $HOME/.dbn.lock'";
        QTest::newRow("on a server") << "srv/3051:/var/db/dbn.ib" << int(Source::Option) << "/c/qf"
                                     << ""
                                     << "# A database on a server: the server keeps its locks."
                                     << "export FIREBIRD=/c/qf";
        QTest::newRow("no engine installed")
            << "/d/dbn.ib" << int(Source::BesideExecutable) << ""
            << "/d/.dbn.lock"
            << "# The note database Quillbox opens (beside the program):"
            << "export FIREBIRD_LOCK=/d/.dbn.lock";
        QTest::newRow("neither folder") << "srv:/db.ib" << int(Source::Option) << ""
                                        << ""
                                        << "# A database on a server: the server keeps its locks."
                                        << "";
    }
    void pathsText()
    {
        QFETCH(QString, database);
        QFETCH(int, source);
        QFETCH(QString, configuration);
        QFETCH(QString, lock);
        QFETCH(QString, said);
        QFETCH(QString, exports);
        engine_paths::Paths paths;
        paths.database = database;
        paths.source = database_location::Source(source);
        paths.databaseExists = true;
        paths.configuration = configuration;
        paths.lock = lock;
        const QString text = engine_paths::text(paths);
        const QStringList lines = text.split(QLatin1Char('\n'));
        QVERIFY2(lines.contains(said), qPrintable(text));
        QVERIFY2(lines.contains(QStringLiteral("#   ") + database), qPrintable(text));
        QStringList exportLines = lines.filter(QRegularExpression(QStringLiteral("^export ")));
        QCOMPARE(exportLines, exports.isEmpty() ? QStringList() : QStringList{exports});
        // Every other line is a comment.
        for (const QString& line : lines)
            QVERIFY2(line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
                         line.startsWith(QStringLiteral("export ")),
                     qPrintable(line));

        QProcess shell;
        shell.start(QStringLiteral("sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("eval \"$1\" && printf '%s\\n%s\\n' \"${FIREBIRD-unset}\" "
                                    "\"${FIREBIRD_LOCK-unset}\""),
                     QStringLiteral("sh"), text});
        QVERIFY(shell.waitForFinished(30000));
        QCOMPARE(shell.exitCode(), 0);
        const QString unset = QStringLiteral("unset");
        QCOMPARE(QString::fromUtf8(shell.readAllStandardOutput()),
                 (configuration.isEmpty() ? unset : configuration) + QLatin1Char('\n') +
                     (lock.isEmpty() ? unset : lock) + QLatin1Char('\n'));
    }

    void aPerUserDatabaseNotYetMadeIsSaidToBe()
    {
        engine_paths::Paths paths;
        paths.database = QStringLiteral("/h/dbn.ib");
        paths.configuration = QStringLiteral("/c");
        paths.lock = QStringLiteral("/h/.dbn.lock");
        QVERIFY(engine_paths::text(paths).startsWith(
            QStringLiteral("# The note database Quillbox opens (the user's own, made when the "
                           "program first starts):\n")));
    }

    void versionIsTheProgramsVersion()
    {
        QCOMPARE(versionText(), QStringLiteral("Quillbox 3.0\n"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
