#include "core/storage/SaveFailure.h"

#include <QStringList>

namespace save_failure {

namespace {

bool containsAny(const QString& text, const QStringList& needles)
{
    for (const QString& needle : needles) {
        if (text.contains(needle, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

Cause classify(const QString& errorText)
{
    // The engine reports the system's own error text (strerror) below its I/O error line; its
    // own words for a database it could open only for reading are "read-only database".
    if (errorText.contains(kFileLostMarker))
        return Cause::FileLost;
    if (containsAny(errorText,
                    {QStringLiteral("No space left on device"),
                     QStringLiteral("Disk quota exceeded"), QStringLiteral("File too large")}))
        return Cause::DiskFull;
    if (containsAny(errorText,
                    {QStringLiteral("Permission denied"), QStringLiteral("Operation not permitted"),
                     QStringLiteral("Read-only file system"), QStringLiteral("read-only database"),
                     QStringLiteral("no permission for read-write access")}))
        return Cause::NotWritable;
    if (containsAny(errorText, {QStringLiteral("No such file or directory"),
                                QStringLiteral("Stale file handle")}))
        return Cause::FileMissing;
    return Cause::Other;
}

QString reason(Cause cause)
{
    switch (cause) {
    case Cause::DiskFull:
        return QStringLiteral("The disk is full.");
    case Cause::NotWritable:
        return QStringLiteral(
            "The database file cannot be written (no permission, or it is read-only).");
    case Cause::FileMissing:
        return QStringLiteral("The database file is missing or was moved.");
    case Cause::FileLost:
        return QStringLiteral(
            "The database file was moved or replaced while the program was running.");
    case Cause::Other:
        break;
    }
    return {};
}

QString fileLostAnnouncement()
{
    return reason(Cause::FileLost) + QStringLiteral(" Please restart the program.");
}

QString noteNotSavedMessage(Cause cause)
{
    const QString plain = QStringLiteral("The note could not be saved!");
    const QString why = reason(cause);
    return why.isEmpty() ? plain : plain + QStringLiteral("\n\n") + why;
}

} // namespace save_failure
