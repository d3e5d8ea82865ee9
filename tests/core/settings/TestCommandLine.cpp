#include "core/settings/CommandLine.h"

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
        for (const char* option : {"--database PATH", "-h, --help", "--version"})
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
