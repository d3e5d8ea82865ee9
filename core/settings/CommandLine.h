#pragma once

// The program's command line. Options are listed in one table (CommandLine.cpp): each has a
// name, an optional value and the line --help prints for it, so a new option is one entry
// there and one field here.

#include <QString>
#include <QStringList>

namespace command_line {

// What the options ask for.
struct Options
{
    QString database;      // --database PATH
    QString backupFile;    // --backup FILE
    QString restoreBackup; // --restore BACKUP NEWFILE
    QString restoreInto;
    bool show = false; // --show: the running program's window, else a program shown

    // Whether the command is a backup or a restore, which runs without a window.
    bool isBackupOrRestore() const { return !backupFile.isEmpty() || !restoreBackup.isEmpty(); }
};

enum class Outcome
{
    Run,     // start the program with these options
    Help,    // print helpText() to standard output, exit 0
    Version, // print versionText() to standard output, exit 0
    Paths,   // print the database and the engine's folders for it (EnginePaths.h), exit 0
    Error    // print error and the hint to standard error, exit kUsageError
};

struct Parsed
{
    Outcome outcome = Outcome::Run;
    Options options;
    QString error; // set with Outcome::Error
};

// The exit status of a command line that could not be understood.
inline constexpr int kUsageError = 2;

// arguments as the program received them, the program's name first. Both "--name value" and
// "--name=value" are accepted; "--" ends the options. The first --help or --version wins
// over what follows it, and an error stops the parse where it is found. The options Qt's
// application object takes for itself (-platform NAME, -style NAME, ...) are let through, so
// the whole command line is judged before that object exists. --paths takes the options around
// it into account (the database they name).
Parsed parse(const QStringList& arguments);

QString helpText(const QString& program);
QString versionText();
// The line that follows an error: where to find the usage.
QString hintText(const QString& program);

// Prints what a Help, Version or Error outcome asks for to the right stream and returns the
// exit status; for Run and Paths it prints nothing and returns -1.
int report(const Parsed& parsed, const QString& program);

} // namespace command_line
