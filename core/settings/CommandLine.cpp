#include "core/settings/CommandLine.h"

#include <QFileInfo>
#include <cstdio>
#include <functional>
#include <vector>

#ifndef QUILLBOX_VERSION
#define QUILLBOX_VERSION "3.0"
#endif

namespace command_line {
namespace {

struct OptionEntry
{
    const char* name;      // with its dashes
    const char* shortName; // or nullptr
    const char* valueName; // nullptr for an option without a value
    const char* description;
    std::function<void(Parsed&, const QString&)> apply;
    // For an option with two values (valueName names both): takes them in place of apply.
    std::function<void(Parsed&, const QString&, const QString&)> applyPair = nullptr;
};

const std::vector<OptionEntry>& table()
{
    static const std::vector<OptionEntry> options{
        {"--database", nullptr, "PATH",
         "open this note database: a file, or host:/path or host/port:/path on a Firebird "
         "server (also QUILLBOX_DATABASE)",
         [](Parsed& p, const QString& value) { p.options.database = value; }},
        {"--show", nullptr, nullptr,
         "show the main window of the Quillbox this user runs on this database and exit; "
         "when none runs, start one with its window shown",
         [](Parsed& p, const QString&) { p.options.show = true; }},
        {"--backup", nullptr, "FILE",
         "back the database up into FILE (a new file, or an earlier backup to replace) and exit",
         [](Parsed& p, const QString& value) { p.options.backupFile = value; }},
        {"--restore", nullptr, "BACKUP NEWFILE",
         "restore the backup BACKUP into the new database file NEWFILE and exit", nullptr,
         [](Parsed& p, const QString& backup, const QString& newFile) {
             p.options.restoreBackup = backup;
             p.options.restoreInto = newFile;
         }},
        {"--help", "-h", nullptr, "show this help and exit",
         [](Parsed& p, const QString&) { p.outcome = Outcome::Help; }},
        {"--version", nullptr, nullptr, "show the version and exit",
         [](Parsed& p, const QString&) { p.outcome = Outcome::Version; }},
        {"--paths", nullptr, nullptr,
         "show the database the program would open and its engine's folders (FIREBIRD, "
         "FIREBIRD_LOCK) for Firebird's tools, and exit",
         [](Parsed& p, const QString&) { p.outcome = Outcome::Paths; }},
    };
    return options;
}

const OptionEntry* find(const QString& name)
{
    for (const OptionEntry& option : table()) {
        if (name == QLatin1String(option.name) ||
            (option.shortName && name == QLatin1String(option.shortName)))
            return &option;
    }
    return nullptr;
}

// The options of Qt's own application object and whether each takes a value. Qt accepts them
// with one dash or two.
struct QtOption
{
    const char* name;
    bool takesValue;
};

constexpr QtOption kQtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"geometry", true},
    {"qwindowtitle", true},
    {"title", true},
    {"qwindowicon", true},
    {"icon", true},
    {"session", true},
    {"style", true},
    {"stylesheet", true},
    {"display", true},
    {"name", true},
    {"visual", true},
    {"reverse", false},
    {"testability", false},
    {"nograb", false},
    {"dograb", false},
    {"widgetcount", false},
    {"sync", false},
};

// How many arguments from arguments[at] on belong to an option of Qt's; 0 when it is none.
qsizetype qtOptionLength(const QStringList& arguments, qsizetype at)
{
    QString name = arguments[at];
    if (name.startsWith(QLatin1String("--")))
        name.remove(0, 1);
    if (!name.startsWith(QLatin1Char('-')))
        return 0;
    name.remove(0, 1);
    if (name.startsWith(QLatin1String("qmljsdebugger=")))
        return 1;
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    const QString bare = equals < 0 ? name : name.left(equals);
    for (const QtOption& option : kQtOptions) {
        if (bare != QLatin1String(option.name))
            continue;
        if (equals >= 0)
            return option.takesValue ? 1 : 0;
        return option.takesValue && at + 1 < arguments.size() ? 2 : option.takesValue ? 0 : 1;
    }
    return 0;
}

Parsed failure(const QString& text)
{
    Parsed parsed;
    parsed.outcome = Outcome::Error;
    parsed.error = text;
    return parsed;
}

} // namespace

Parsed parse(const QStringList& arguments)
{
    Parsed parsed;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--")) {
            if (i + 1 < arguments.size())
                return failure(QStringLiteral("unexpected argument '%1'").arg(arguments[i + 1]));
            break;
        }
        if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-"))
            return failure(QStringLiteral("unexpected argument '%1'").arg(argument));
        if (const qsizetype qtLength = qtOptionLength(arguments, i)) {
            i += qtLength - 1;
            continue;
        }

        const qsizetype equals = argument.startsWith(QLatin1String("--"))
                                     ? argument.indexOf(QLatin1Char('='))
                                     : qsizetype(-1);
        const QString name = equals < 0 ? argument : argument.left(equals);
        const OptionEntry* option = find(name);
        if (!option)
            return failure(QStringLiteral("unknown option '%1'").arg(name));

        QString value;
        if (option->applyPair) {
            // Both values follow the name; the first may also be joined to it with "=".
            const qsizetype needed = equals >= 0 ? 1 : 2;
            QStringList values;
            if (equals >= 0)
                values << argument.mid(equals + 1);
            for (qsizetype taken = 0; taken < needed && i + 1 < arguments.size(); ++taken)
                values << arguments[++i];
            if (values.size() < 2 || values.contains(QString()))
                return failure(QStringLiteral("option '%1' needs two values (%2)")
                                   .arg(name, QLatin1String(option->valueName)));
            option->applyPair(parsed, values[0], values[1]);
            continue;
        }
        if (option->valueName) {
            if (equals >= 0) {
                value = argument.mid(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return failure(QStringLiteral("option '%1' needs a value (%2)")
                                   .arg(name, QLatin1String(option->valueName)));
            }
            if (value.isEmpty())
                return failure(QStringLiteral("option '%1' needs a value (%2)")
                                   .arg(name, QLatin1String(option->valueName)));
        } else if (equals >= 0) {
            return failure(QStringLiteral("option '%1' takes no value").arg(name));
        }
        option->apply(parsed, value);
        if (parsed.outcome == Outcome::Help || parsed.outcome == Outcome::Version)
            return parsed;
    }
    if (!parsed.options.backupFile.isEmpty() && !parsed.options.restoreBackup.isEmpty())
        return failure(QStringLiteral("give either --backup or --restore, not both"));
    if (parsed.options.show && parsed.options.isBackupOrRestore())
        return failure(QStringLiteral("--show opens a window: not with --backup or --restore"));
    return parsed;
}

QString helpText(const QString& program)
{
    QString text = QStringLiteral("Usage: %1 [OPTION]...\n"
                                  "A notes application that lives in the system tray.\n\n"
                                  "Options:\n")
                       .arg(program);
    for (const OptionEntry& option : table()) {
        QString left = QLatin1String(option.name);
        if (option.shortName)
            left = QLatin1String(option.shortName) + QStringLiteral(", ") + left;
        else
            left = QStringLiteral("    ") + left;
        if (option.valueName)
            left += QLatin1Char(' ') + QLatin1String(option.valueName);
        left = left.leftJustified(22);
        // A long left column gets its description on the next line.
        if (left.size() > 22)
            left += QStringLiteral("\n") + QString(25, QLatin1Char(' '));
        else
            left += QLatin1Char(' ');
        text += QStringLiteral("  ") + left + QLatin1String(option.description) + QLatin1Char('\n');
    }
    text += QStringLiteral(
        "\nWithout --database the program opens dbn.ib beside its executable when that file\n"
        "exists, otherwise the user's own $XDG_DATA_HOME/quillbox/dbn.ib (by default\n"
        "~/.local/share/quillbox/dbn.ib), made from the installed empty database on first "
        "start.\n"
        "--backup and --restore use the database chosen the same way and say which one.\n"
        "--show, bound to a desktop shortcut, brings the window of a program running in the\n"
        "tray to the front.\n");
    return text;
}

QString versionText()
{
    return QStringLiteral("Quillbox " QUILLBOX_VERSION "\n");
}

QString hintText(const QString& program)
{
    return QStringLiteral("Try '%1 --help' for more information.\n").arg(program);
}

int report(const Parsed& parsed, const QString& program)
{
    const QString name = QFileInfo(program).fileName();
    switch (parsed.outcome) {
    case Outcome::Run:
    case Outcome::Paths:
        return -1;
    case Outcome::Help:
        std::fputs(helpText(name).toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        return 0;
    case Outcome::Version:
        std::fputs(versionText().toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        return 0;
    case Outcome::Error:
        std::fputs((name + QStringLiteral(": ") + parsed.error + QLatin1Char('\n') + hintText(name))
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        return kUsageError;
    }
    return -1;
}

} // namespace command_line
