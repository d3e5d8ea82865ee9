#include "storage/FirebirdEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <mutex>

#ifndef QUILLBOX_FIREBIRD_ROOT
#define QUILLBOX_FIREBIRD_ROOT ""
#endif

namespace firebird_environment {
namespace {

const char kConfiguration[] = "# Written by Quillbox at start-up.\n"
                              "ServerMode = SuperClassic\n";

QString systemRoot()
{
    QStringList candidates{QStringLiteral(QUILLBOX_FIREBIRD_ROOT)};
    for (const QString& lib : QDir(QStringLiteral("/usr/lib")).entryList(QDir::Dirs))
        candidates << QStringLiteral("/usr/lib/%1/firebird/3.0").arg(lib);
    candidates << QStringLiteral("/usr/lib/firebird/3.0") << QStringLiteral("/opt/firebird");
    for (const QString& root : candidates) {
        if (!root.isEmpty() && QFileInfo::exists(root + QStringLiteral("/plugins")))
            return root;
    }
    return {};
}

bool linkInto(const QString& directory, const QString& root, const QString& name)
{
    const QString target = root + QLatin1Char('/') + name;
    const QString link = directory + QLatin1Char('/') + name;
    if (!QFileInfo::exists(target))
        return true;
    const QFileInfo present(link);
    if (present.isSymLink() && present.symLinkTarget() == target)
        return true;
    QFile::remove(link);
    return QFile::link(target, link) || QFileInfo(link).symLinkTarget() == target;
}

QString writeConfigurationDirectory()
{
    const QString root = systemRoot();
    if (root.isEmpty())
        return {};
    // The per-user runtime directory when the session has one, else the user's cache.
    const QString base =
        qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")
            ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
            : QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        return {};
    const QString directory = base + QStringLiteral("/quillbox-firebird");
    if (!QDir().mkpath(directory))
        return {};
    QFile::setPermissions(directory,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    for (const char* name : {"plugins", "intl", "firebird.msg", "plugins.conf", "lib", "UDF"}) {
        if (!linkInto(directory, root, QString::fromLatin1(name)))
            return {};
    }
    QSaveFile conf(directory + QStringLiteral("/firebird.conf"));
    if (!conf.open(QIODevice::WriteOnly) || conf.write(kConfiguration) < 0 || !conf.commit())
        return {};
    return directory;
}

} // namespace

bool isRemote(const QString& databasePath)
{
    // "C:/..." style drive letters do not occur here; any colon before the first slash names
    // a host, as does the "inet://" form.
    const qsizetype colon = databasePath.indexOf(QLatin1Char(':'));
    const qsizetype slash = databasePath.indexOf(QLatin1Char('/'));
    return colon > 0 && (slash < 0 || colon < slash);
}

QString lockDirectoryFor(const QString& databasePath)
{
    return QFileInfo(databasePath).absolutePath() + QStringLiteral("/.dbn.lock");
}

void prepare(const QString& databasePath)
{
    static std::once_flag once;
    std::call_once(once, [&] {
        const QString directory = writeConfigurationDirectory();
        if (!directory.isEmpty())
            qputenv("FIREBIRD", QFile::encodeName(directory));
        if (!isRemote(databasePath))
            qputenv("FIREBIRD_LOCK", QFile::encodeName(lockDirectoryFor(databasePath)));
    });
}

} // namespace firebird_environment
