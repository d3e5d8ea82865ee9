#include "core/storage/SaveFailure.h"

namespace save_failure {

QString reason(fb::ErrorKind kind)
{
    switch (kind) {
    case fb::ErrorKind::ConnectionLost:
        return QStringLiteral("The database server does not answer.");
    case fb::ErrorKind::DiskFull:
        return QStringLiteral("The disk is full.");
    case fb::ErrorKind::NotWritable:
        return QStringLiteral(
            "The database file cannot be written (no permission, or it is read-only).");
    case fb::ErrorKind::FolderNotWritable:
        return QStringLiteral("The database's folder is read-only.");
    case fb::ErrorKind::LockFolder:
        return QStringLiteral("The lock folder .dbn.lock beside the database cannot be written.");
    case fb::ErrorKind::FileMissing:
        return QStringLiteral("The database file is missing or was moved.");
    case fb::ErrorKind::FileMoved:
        return QStringLiteral(
            "The database file was moved or replaced while the program was running.");
    case fb::ErrorKind::NotDatabase:
        return QStringLiteral("The file is not a Quillbox database.");
    case fb::ErrorKind::LoginRefused:
        return QStringLiteral("The server refused the user name or password.");
    case fb::ErrorKind::Other:
        break;
    }
    return {};
}

QString fileLostAnnouncement()
{
    return reason(fb::ErrorKind::FileMoved) + QStringLiteral(" Please restart the program.");
}

QString noteNotSavedMessage(fb::ErrorKind kind)
{
    const QString plain = QStringLiteral("The note could not be saved!");
    const QString why = reason(kind);
    return why.isEmpty() ? plain : plain + QStringLiteral("\n\n") + why;
}

QString noConnectionMessage(fb::ErrorKind kind)
{
    const QString plain = QStringLiteral("No connection to database!");
    const QString why = reason(kind);
    return why.isEmpty() ? plain : plain + QLatin1Char('\n') + why;
}

} // namespace save_failure
