#include "core/settings/CommandLine.h"
#include "core/settings/DisplayCheck.h"

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
        QTest::newRow("nothing") << QStringList{} << Outcome::Run << ""
                                 << "";
        QTest::newRow("database") << QStringList{"--database", "/d/dbn.ib"} << Outcome::Run
                                  << "/d/dbn.ib"
                                  << "";
        QTest::newRow("database with equals")
            << QStringList{"--database=srv/3051:/d/dbn.ib"} << Outcome::Run << "srv/3051:/d/dbn.ib"
            << "";
        QTest::newRow("value that looks like an option")
            << QStringList{"--database", "--help"} << Outcome::Run << "--help"
            << "";
        QTest::newRow("last database wins")
            << QStringList{"--database", "a.ib", "--database", "b.ib"} << Outcome::Run << "b.ib"
            << "";
        QTest::newRow("help") << QStringList{"--help"} << Outcome::Help << ""
                              << "";
        QTest::newRow("short help") << QStringList{"-h"} << Outcome::Help << ""
                                    << "";
        QTest::newRow("version") << QStringList{"--version"} << Outcome::Version << ""
                                 << "";
        QTest::newRow("help after a database")
            << QStringList{"--database", "x.ib", "--help"} << Outcome::Help << "x.ib"
            << "";
        QTest::newRow("help stops the parse before a bad option")
            << QStringList{"--help", "--bogus"} << Outcome::Help << ""
            << "";
        QTest::newRow("end of options alone") << QStringList{"--"} << Outcome::Run << ""
                                              << "";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << Outcome::Error << ""
                                        << "unknown option '--bogus'";
        QTest::newRow("unknown option with a value")
            << QStringList{"--bogus=1"} << Outcome::Error << ""
            << "unknown option '--bogus'";
        QTest::newRow("unknown short option") << QStringList{"-x"} << Outcome::Error << ""
                                              << "unknown option '-x'";
        QTest::newRow("prefix of an option is not the option")
            << QStringList{"--data", "x"} << Outcome::Error << ""
            << "unknown option '--data'";
        QTest::newRow("error before help")
            << QStringList{"--bogus", "--help"} << Outcome::Error << ""
            << "unknown option '--bogus'";
        QTest::newRow("database without its value")
            << QStringList{"--database"} << Outcome::Error << ""
            << "option '--database' needs a value (PATH)";
        QTest::newRow("database with an empty value")
            << QStringList{"--database="} << Outcome::Error << ""
            << "option '--database' needs a value (PATH)";
        QTest::newRow("value given to a flag") << QStringList{"--version=2"} << Outcome::Error << ""
                                               << "option '--version' takes no value";
        QTest::newRow("stray argument") << QStringList{"notes.ib"} << Outcome::Error << ""
                                        << "unexpected argument 'notes.ib'";
        QTest::newRow("argument after the end of options")
            << QStringList{"--", "x"} << Outcome::Error << ""
            << "unexpected argument 'x'";
        QTest::newRow("lone dash") << QStringList{"-"} << Outcome::Error << ""
                                   << "unexpected argument '-'";
        // Qt's own options are left to Qt, with their values.
        QTest::newRow("Qt's platform option")
            << QStringList{"-platform", "offscreen", "--database", "q.ib"} << Outcome::Run << "q.ib"
            << "";
        QTest::newRow("Qt's option with two dashes and equals")
            << QStringList{"--style=Fusion", "-reverse"} << Outcome::Run << ""
            << "";
        QTest::newRow("Qt's option without its value")
            << QStringList{"-platform"} << Outcome::Error << ""
            << "unknown option '-platform'";
        QTest::newRow("Qt's flag given a value")
            << QStringList{"-reverse=1"} << Outcome::Error << ""
            << "unknown option '-reverse=1'";
        QTest::newRow("restore without its new file")
            << QStringList{"--restore", "b.fbk"} << Outcome::Error << ""
            << "option '--restore' needs two values (BACKUP NEWFILE)";
        QTest::newRow("backup and restore at once")
            << QStringList{"--backup", "b.fbk", "--restore", "b.fbk", "n.ib"} << Outcome::Error
            << ""
            << "give either --backup or --restore, not both";
    }

    // --backup and --restore with their values, and the database they work on.
    void backupAndRestore_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("backupFile");
        QTest::addColumn<QString>("restoreBackup");
        QTest::addColumn<QString>("restoreInto");
        QTest::newRow("backup") << QStringList{"--backup", "b.fbk"} << ""
                                << "b.fbk"
                                << ""
                                << "";
        QTest::newRow("backup of the database given")
            << QStringList{"--database", "/d/dbn.ib", "--backup=b.fbk"} << "/d/dbn.ib"
            << "b.fbk"
            << ""
            << "";
        QTest::newRow("restore") << QStringList{"--restore", "b.fbk", "new.ib"} << ""
                                 << ""
                                 << "b.fbk"
                                 << "new.ib";
        QTest::newRow("restore with equals, database after")
            << QStringList{"--restore=b.fbk", "new.ib", "--database", "d.ib"} << "d.ib"
            << ""
            << "b.fbk"
            << "new.ib";
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
        QTest::newRow("nothing set") << ""
                                     << ""
                                     << ""
                                     << "" << false;
        QTest::newRow("X display") << ""
                                   << ":0"
                                   << ""
                                   << "" << true;
        QTest::newRow("Wayland session") << ""
                                         << ""
                                         << "wayland-0"
                                         << "wayland" << true;
        QTest::newRow("Wayland display outside a Wayland session") << ""
                                                                   << ""
                                                                   << "wayland-0"
                                                                   << "" << false;
        QTest::newRow("xcb asked for, no X display") << "xcb"
                                                     << ""
                                                     << "wayland-0"
                                                     << "wayland" << false;
        QTest::newRow("Wayland or X, X there") << "wayland;xcb"
                                               << ":1"
                                               << ""
                                               << "" << true;
        QTest::newRow("offscreen needs no display") << "offscreen"
                                                    << ""
                                                    << ""
                                                    << "" << true;
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
        if (outcome == Outcome::Run)
            QCOMPARE(parsed.options.database, database);
    }

    void helpNamesEveryOption()
    {
        const QString help = helpText(QStringLiteral("quillbox"));
        QVERIFY(help.startsWith(QStringLiteral("Usage: quillbox [OPTION]...\n")));
        for (const char* option : {"--database PATH", "--backup FILE", "--restore BACKUP NEWFILE",
                                   "-h, --help", "--version"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
        QVERIFY(help.contains(QStringLiteral("QUILLBOX_DATABASE")));
        QVERIFY(help.contains(QStringLiteral("~/.local/share/quillbox/dbn.ib")));
    }

    void versionIsTheProgramsVersion()
    {
        QCOMPARE(versionText(), QStringLiteral("Quillbox 3.0\n"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
