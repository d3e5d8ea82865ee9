#pragma once

// Online backup and restore of the note database through the engine's own backup service (the
// services API), run by this process's embedded engine with the program's engine environment
// and lock directory, so that programs using the file meanwhile are coordinated with. A copy
// of the file itself could catch a page half written.
//
// Nothing half made is ever left under the name asked for: the backup is written and checked
// under a temporary name beside it and renamed into place only when complete; a restore is
// made the same way and never replaces an existing file.

#include <QString>
#include <QStringList>
#include <optional>

namespace backup {

struct Outcome
{
    bool ok = false;
    // What happened, in words for the user: the failure, or what was written.
    QString message;
};

// Backs the database up into backupFile, replacing an earlier backup of that name. The backup
// counts as made only when it was read back completely by a trial restore.
Outcome backupDatabase(const QString& databasePath, const QString& backupFile);

// Restores a backup into newDatabasePath, which must not exist yet.
Outcome restoreDatabase(const QString& backupFile, const QString& newDatabasePath);

// Whether the command line asks for a backup or a restore (before any application object
// exists, so that no window is ever made for them).
bool isBackupCommand(int argc, const char* const* argv);

// Runs "--backup FILE" or "--restore BACKUP NEWFILE" from the program's arguments (program
// name first) on the database the program would open; prints the outcome (failures on
// stderr) and returns the exit code: 0 when done, 1 when it failed, 2 for wrong arguments.
// No value when the arguments ask for neither.
std::optional<int> runBackupCommand(const QStringList& arguments, const QString& databasePath);

} // namespace backup
