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

namespace backup {

struct Outcome
{
    bool ok = false;
    // What happened, in words for the user: the failure, or what was written.
    QString message;
};

// Backs the database up into backupFile, replacing an earlier backup of that name. The backup
// counts as made only when it was read back completely by a trial restore. A backupFile that
// exists and is not a regular file (a device, a pipe, a socket, a directory, a link) is
// refused, so that nothing but an earlier backup is ever replaced.
Outcome backupDatabase(const QString& databasePath, const QString& backupFile);

// Restores a backup into newDatabasePath, which must not exist yet. The engine runs with the
// settings (configuration, lock directory) of the program's database databasePath, as the
// program itself would, unless that one is on a server.
Outcome restoreDatabase(const QString& backupFile, const QString& newDatabasePath,
                        const QString& databasePath);

// "--backup FILE" and "--restore BACKUP NEWFILE" on the program's database databasePath:
// print the outcome (failures on standard error) and return the exit code, 0 when done and 1
// when it failed.
int runBackup(const QString& databasePath, const QString& backupFile);
int runRestore(const QString& databasePath, const QString& backupFile,
               const QString& newDatabasePath);

} // namespace backup
