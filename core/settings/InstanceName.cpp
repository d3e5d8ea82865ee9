#include "core/settings/InstanceName.h"

#include "core/storage/FirebirdEnvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace instance_name {

QString databaseKey(const QString& databasePath)
{
    if (databasePath.isEmpty() || firebird_environment::isRemote(databasePath))
        return databasePath;
    const QFileInfo file(databasePath);
    const QString canonical = file.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    // Not there (yet): its folder's canonical path, when the folder is there.
    const QString folder = file.absoluteDir().canonicalPath();
    return folder.isEmpty() ? file.absoluteFilePath() : folder + QLatin1Char('/') + file.fileName();
}

QString serviceName(const QString& databasePath)
{
    // A bus name's elements are letters, digits and underscores and may not begin with a
    // digit; a hash keeps the name short and free of the path's characters.
    const QByteArray hash =
        QCryptographicHash::hash(databaseKey(databasePath).toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(32);
    return QStringLiteral("org.quillbox.Quillbox.Db") + QString::fromLatin1(hash);
}

} // namespace instance_name
