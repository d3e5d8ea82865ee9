#pragma once

// What `quillbox --paths` prints: the database the program would open and the two folders its
// Firebird engine uses for it, so that Firebird's own tools (isql-fb, gfix, gbak) can be run
// with the same engine settings and lock files. The text is what a shell takes: comments and
// one export line, ready to paste.

#include "core/settings/DatabaseLocation.h"

#include <QString>

namespace engine_paths {

struct Paths
{
    QString database; // empty when there is no place for it (no home directory)
    database_location::Source source = database_location::Source::PerUser;
    bool databaseExists = false;
    QString configuration; // for FIREBIRD; empty when it cannot be made
    QString lock;          // for FIREBIRD_LOCK; empty for a database on a server
};

// The paths of this process (its command line's --database value, its environment), decided
// by the same code as at start-up. The engine's configuration folder and, beside a database
// file that is there, the lock folder are made as start-up makes them, so the tools find them
// even before the program first runs; the database itself is never made here.
Paths ofThisProcess(const QString& databaseOption);

QString text(const Paths& paths);

// A word for the shell: as it is when the shell leaves it alone, else in single quotes.
QString shellWord(const QString& word);

// Prints text(ofThisProcess(databaseOption)) on standard output and returns the exit status:
// 0, or 1 (with the reason on standard error) when there is no database to name. Needs the
// application object, which tells where the program is.
int print(const QString& databaseOption, const QString& program);

} // namespace engine_paths
