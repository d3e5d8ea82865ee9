#pragma once

// Why the note database failed the user, in words a user can act on, following from the kind
// of the failure (fb::ErrorKind). Only the causes the user can do something about are named;
// every other failure keeps the plain message.

#include "core/storage/ErrorKind.h"

#include <QString>

namespace save_failure {

// Part of the error text of every operation refused because the database file was moved,
// replaced or deleted while the program ran (see DatabaseFileGuard); for the log.
inline const QString kFileLostMarker =
    QStringLiteral("was moved, replaced or deleted while the program was running");

// The cause in plain words; empty for fb::ErrorKind::Other.
QString reason(fb::ErrorKind kind);

// Shown once when the database file is found moved, replaced or deleted.
QString fileLostAnnouncement();

// "The note could not be saved!", followed by the reason when there is one.
QString noteNotSavedMessage(fb::ErrorKind kind);

// "No connection to database!", with the reason on a second line when there is one.
QString noConnectionMessage(fb::ErrorKind kind);

} // namespace save_failure
