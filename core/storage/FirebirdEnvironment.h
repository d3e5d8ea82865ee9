#pragma once

#include "core/storage/ErrorKind.h"

#include <QString>

// Points the Firebird client library at this program's own configuration before its first
// use in the process, which is when the library reads its environment:
//  - FIREBIRD names a private directory whose firebird.conf runs the embedded engine in
//    SuperClassic mode, where several processes may open one database file (the default Super
//    mode locks the file to the first process). The engine's plugins, character sets and
//    messages are linked in from the system installation.
//  - FIREBIRD_LOCK names a lock directory beside the database file, so every process that
//    opens that file, whoever runs it, coordinates through the same lock files.
// Only the first call in a process has an effect; a database named with a host is served by
// its server and needs no lock directory of ours.
namespace firebird_environment {

void prepare(const QString& databasePath);

// The configuration directory prepare() points FIREBIRD at, written (or brought up to date)
// as prepare() writes it, without changing this process's environment. Empty when it cannot be
// made: no Firebird engine installed, or no private place for it.
QString makeConfigurationDirectory();

// The lock directory used for a local database file.
QString lockDirectoryFor(const QString& databasePath);

// Makes the lock directory of a local database file when it is missing, as prepare() does:
// shared with the file's group. Nothing is made when the file does not exist.
void makeLockDirectory(const QString& databasePath);

// Empty when the local database file may be opened as far as lock sharing goes; otherwise why
// not. Opening is refused when another process holds the file open (its engine keeps a shared
// flock on it) while the lock directory this process uses has no lock file of that database in
// use: the other process coordinates through other lock files, or through lock files that were
// deleted, so neither would see the other's changes and the file would be damaged.
QString lockSharingProblem(const QString& databasePath);

// The lock directory the engine of this process uses (FIREBIRD_LOCK, else its default).
QString effectiveLockDirectory();

// Empty when the local file at databasePath is there and begins like a Firebird database;
// otherwise why it is not one, and in *kind what that comes down to. The engine, given any
// other file, would first make its lock directory beside it: the program leaves a place it
// was wrongly pointed at as it found it.
QString localFileProblem(const QString& databasePath, fb::ErrorKind* kind = nullptr);

// True when the path names a database on a server ("host:/path/dbn.ib",
// "host/port:/path/dbn.ib", "inet://host/path").
bool isRemote(const QString& databasePath);

// Ends the process once every connection of it is closed: shuts the client library down, which
// removes the engine's shared files of this process from the lock directory, and exits without
// running the static destructors. Those would free the engine's memory one unmapping at a time,
// each making every processor flush its address cache, which the kernel does at once for the
// whole process when it ends. Standard output and error are flushed first.
[[noreturn]] void endProcess(int exitCode);

} // namespace firebird_environment
