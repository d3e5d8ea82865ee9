#pragma once

// What a failure of the database comes down to, for the messages a user reads. Decided once,
// where the failure is raised: from the engine's status vector (its error codes and the
// operating-system error it carries), or by the program's own check that failed. Messages
// follow from the kind, never from the wording of the engine's text.

#include <ibase.h>

namespace fb {

enum class ErrorKind
{
    Other,
    ConnectionLost,    // the server does not answer, went away or shut the database down
    DiskFull,          // no space left, or the user's quota is used up
    NotWritable,       // the file is read-only, on a read-only file system, or not this user's
    FolderNotWritable, // the engine cannot make its lock folder: the file's folder is read-only
    LockFolder,        // the lock folder (.dbn.lock) is there but cannot be used
    FileMissing,       // no file at the path
    FileMoved,         // the file was moved, replaced or deleted while the program ran
    NotDatabase,       // the file is no Firebird database
    LoginRefused,      // the server refused the user name or password
};

// The kind of the failure a status vector reports.
ErrorKind kindOf(const ISC_STATUS* status);

} // namespace fb
