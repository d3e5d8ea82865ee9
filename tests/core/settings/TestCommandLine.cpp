#include "core/settings/CommandLine.h"
#include "core/settings/DisplayCheck.h"
#include "core/settings/EnginePaths.h"

#include <QProcess>
#include <QtTest>

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
        row("nothing", QStringList{}, Outcome::Run, "", "");
        row("database", QStringList{"--database", "/d/dbn.ib"}, Outcome::Run, "/d/dbn.ib", "");
        row("database with equals", QStringList{"--database=srv/3051:/d/dbn.ib"}, Outcome::Run,
            "srv/3051:/d/dbn.ib", "");
        row("value that looks like an option", QStringList{"--database", "--help"}, Outcome::Run,
            "--help", "");
        row("last database wins", QStringList{"--database", "a.ib", "--database", "b.ib"},
            Outcome::Run, "b.ib", "");
        row("help", QStringList{"--help"}, Outcome::Help, "", "");
        row("short help", QStringList{"-h"}, Outcome::Help, "", "");
        row("version", QStringList{"--version"}, Outcome::Version, "", "");
        row("help after a database", QStringList{"--database", "x.ib", "--help"}, Outcome::Help,
            "x.ib", "");
        row("help stops the parse before a bad option", QStringList{"--help", "--bogus"},
            Outcome::Help, "", "");
        row("end of options alone", QStringList{"--"}, Outcome::Run, "", "");
        row("paths", QStringList{"--paths"}, Outcome::Paths, "", "");
        row("paths of the database named before", QStringList{"--database", "x.ib", "--paths"},
            Outcome::Paths, "x.ib", "");
        row("paths of the database named after", QStringList{"--paths", "--database=y.ib"},
            Outcome::Paths, "y.ib", "");
        row("help after paths", QStringList{"--paths", "--help"}, Outcome::Help, "", "");
        row("paths after version", QStringList{"--version", "--paths"}, Outcome::Version, "", "");
        row("bad option after paths", QStringList{"--paths", "--bogus"}, Outcome::Error, "",
            "unknown option '--bogus'");
        row("value given to paths", QStringList{"--paths=x"}, Outcome::Error, "",
            "option '--paths' takes no value");
        row("unknown option", QStringList{"--bogus"}, Outcome::Error, "",
            "unknown option '--bogus'");
        row("unknown option with a value", QStringList{"--bogus=1"}, Outcome::Error, "",
            "unknown option '--bogus'");
        row("unknown short option", QStringList{"-x"}, Outcome::Error, "", "unknown option '-x'");
        row("prefix of an option is not the option", QStringList{"--data", "x"}, Outcome::Error, "",
            "unknown option '--data'");
        row("error before help", QStringList{"--bogus", "--help"}, Outcome::Error, "",
            "unknown option '--bogus'");
        row("database without its value", QStringList{"--database"}, Outcome::Error, "",
            "option '--database' needs a value (PATH)");
        row("database with an empty value", QStringList{"--database="}, Outcome::Error, "",
            "option '--database' needs a value (PATH)");
        row("value given to a flag", QStringList{"--version=2"}, Outcome::Error, "",
            "option '--version' takes no value");
        row("stray argument", QStringList{"notes.ib"}, Outcome::Error, "",
            "unexpected argument 'notes.ib'");
        row("argument after the end of options", QStringList{"--", "x"}, Outcome::Error, "",
            "unexpected argument 'x'");
        row("lone dash", QStringList{"-"}, Outcome::Error, "", "unexpected argument '-'");
        // Qt's own options are left to Qt, with their values.
        row("Qt's platform option", QStringList{"-platform", "offscreen", "--database", "q.ib"},
            Outcome::Run, "q.ib", "");
        row("Qt's option with two dashes and equals", QStringList{"--style=Fusion", "-reverse"},
            Outcome::Run, "", "");
        row("Qt's option without its value", QStringList{"-platform"}, Outcome::Error, "",
            "unknown option '-platform'");
        row("Qt's flag given a value", QStringList{"-reverse=1"}, Outcome::Error, "",
            "unknown option '-reverse=1'");
        row("restore without its new file", QStringList{"--restore", "b.fbk"}, Outcome::Error, "",
            "option '--restore' needs two values (BACKUP NEWFILE)");
        row("backup and restore at once",
            QStringList{"--backup", "b.fbk", "--restore", "b.fbk", "n.ib"}, Outcome::Error, "",
            "give either --backup or --restore, not both");
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
        row("backup", QStringList{"--backup", "b.fbk"}, "", "b.fbk", "", "");
        row("backup of the database given",
            QStringList{"--database", "/d/dbn.ib", "--backup=b.fbk"}, "/d/dbn.ib", "b.fbk", "", "");
        row("restore", QStringList{"--restore", "b.fbk", "new.ib"}, "", "", "b.fbk", "new.ib");
        row("restore with equals, database after",
            QStringList{"--restore=b.fbk", "new.ib", "--database", "d.ib"}, "d.ib", "", "b.fbk",
            "new.ib");
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
        row("nothing set", "", "", "", "", false);
        row("X display", "", ":0", "", "", true);
        row("Wayland session", "", "", "wayland-0", "wayland", true);
        row("Wayland display outside a Wayland session", "", "", "wayland-0", "", false);
        row("xcb asked for, no X display", "xcb", "", "wayland-0", "wayland", false);
        row("Wayland or X, X there", "wayland;xcb", ":1", "", "", true);
        row("offscreen needs no display", "offscreen", "", "", "", true);
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

    void helpNamesEveryOption()
    {
        const QString help = helpText(QStringLiteral("quillbox"));
        QVERIFY(help.startsWith(QStringLiteral("Usage: quillbox [OPTION]...\n")));
        for (const char* option : {"--database PATH", "--backup FILE", "--restore BACKUP NEWFILE",
                                   "-h, --help", "--version", "--paths"})
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
