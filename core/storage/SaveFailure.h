#pragma once

// Why a write to the note database failed, in words a user can act on. Only the causes the
// user can do something about are named; every other failure keeps the plain message.

#include <QString>

namespace save_failure {

// Part of the error text of every operation refused because the database file was moved,
// replaced or deleted while the program ran (see DatabaseFileGuard).
inline const QString kFileLostMarker =
    QStringLiteral("was moved, replaced or deleted while the program was running");

enum class Cause
{
    Other,
    DiskFull,    // no space left, or the user's quota is used up
    NotWritable, // no permission, a read-only file or file system
    FileMissing, // the file is not there (any more)
    FileLost,    // the file was moved, replaced or deleted while the program ran
};

// The cause named by an error text of the database engine or of the program's own checks.
Cause classify(const QString& errorText);

// The cause in plain words; empty for Cause::Other.
QString reason(Cause cause);

// Shown once when the database file is found moved, replaced or deleted.
QString fileLostAnnouncement();

// "The note could not be saved!", followed by the reason when there is one.
QString noteNotSavedMessage(Cause cause);

} // namespace save_failure
