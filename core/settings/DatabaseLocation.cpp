#include "core/settings/DatabaseLocation.h"

#include "core/storage/FirebirdEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef QUILLBOX_INSTALLED_DATABASE
#define QUILLBOX_INSTALLED_DATABASE "/usr/share/quillbox/dbn.ib"
#endif
#ifndef QUILLBOX_DATA_FROM_BIN
#define QUILLBOX_DATA_FROM_BIN "../share/quillbox"
#endif

namespace database_location {
namespace {

const QString kFileName = QStringLiteral("dbn.ib");

// A path the user typed: a server's database is passed on as it stands, a local file is made
// absolute so that the lock directory and every message name the same place.
QString given(const QString& path, const QString& workingDir)
{
    if (firebird_environment::isRemote(path) || QDir::isAbsolutePath(path))
        return path;
    return QDir::cleanPath(QDir(workingDir).absoluteFilePath(path));
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// mkdir -p with mode 0700 for every directory it makes; existing ones are left as they are.
bool makePrivateDirectories(const QString& directory, QString* error)
{
    const QString clean = QDir::cleanPath(directory);
    QString sofar;
    for (const QString& part : clean.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        sofar += QLatin1Char('/') + part;
        const QByteArray name = QFile::encodeName(sofar);
        if (::mkdir(name.constData(), 0700) == 0 || errno == EEXIST) {
            struct stat info = {};
            if (::stat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode))
                continue;
        }
        if (error)
            *error = sofar + QStringLiteral(": ") + errnoText();
        return false;
    }
    return true;
}

bool copyInto(int fd, const QString& source, QString* error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = source + QStringLiteral(": ") + in.errorString();
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
            if (error)
                *error = source + QStringLiteral(": ") + in.errorString();
            return false;
        }
        qsizetype done = 0;
        while (done < chunk.size()) {
            const ssize_t n = ::write(fd, chunk.constData() + done, size_t(chunk.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                if (error)
                    *error = errnoText();
                return false;
            }
            done += n;
        }
    }
    if (::fsync(fd) != 0) {
        if (error)
            *error = errnoText();
        return false;
    }
    return true;
}

} // namespace

QString dataHome(const QString& xdgDataHome, const QString& home)
{
    if (QDir::isAbsolutePath(xdgDataHome))
        return QDir::cleanPath(xdgDataHome);
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/.local/share"));
    return {};
}

Choice choose(const Facts& facts)
{
    if (!facts.option.isEmpty())
        return {given(facts.option, facts.workingDir), Source::Option};
    if (!facts.environment.isEmpty())
        return {given(facts.environment, facts.workingDir), Source::Environment};
    if (facts.besideExecutableExists)
        return {facts.executableDir + QLatin1Char('/') + kFileName, Source::BesideExecutable};
    const QString data = dataHome(facts.dataHome, facts.home);
    if (data.isEmpty())
        return {QString(), Source::PerUser};
    return {data + QStringLiteral("/quillbox/") + kFileName, Source::PerUser};
}

Facts factsOfThisProcess(const QString& option)
{
    Facts facts;
    facts.option = option;
    facts.environment = qEnvironmentVariable("QUILLBOX_DATABASE");
    facts.executableDir = QCoreApplication::applicationDirPath();
    facts.besideExecutableExists =
        QFileInfo::exists(facts.executableDir + QLatin1Char('/') + kFileName);
    facts.dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    facts.home = qEnvironmentVariable("HOME");
    if (facts.home.isEmpty())
        facts.home = QDir::homePath();
    facts.workingDir = QDir::currentPath();
    return facts;
}

QStringList installedEmptyDatabases(const QString& executableDir)
{
    QStringList candidates{QDir::cleanPath(executableDir + QLatin1Char('/') +
                                           QStringLiteral(QUILLBOX_DATA_FROM_BIN) +
                                           QLatin1Char('/') + kFileName)};
    const QString configured = QStringLiteral(QUILLBOX_INSTALLED_DATABASE);
    if (!candidates.contains(configured))
        candidates << configured;
    return candidates;
}

Creation createPerUserDatabase(const QString& path, const QStringList& templates, QString* error)
{
    if (QFileInfo::exists(path))
        return Creation::AlreadyThere;
    QString source;
    for (const QString& candidate : templates) {
        if (QFileInfo(candidate).isFile()) {
            source = candidate;
            break;
        }
    }
    if (source.isEmpty()) {
        if (error)
            *error = QStringLiteral("no empty database installed (looked for %1)")
                         .arg(templates.join(QStringLiteral(", ")));
        return Creation::NoTemplate;
    }
    if (!makePrivateDirectories(QFileInfo(path).absolutePath(), error))
        return Creation::Failed;

    // Written under a private name and moved into place only when complete; the move never
    // replaces a file another program put there meanwhile.
    QByteArray draft = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkstemp(draft.data());
    if (fd < 0) {
        if (error)
            *error = path + QStringLiteral(": ") + errnoText();
        return Creation::Failed;
    }
    const bool copied = ::fchmod(fd, 0600) == 0 && copyInto(fd, source, error);
    ::close(fd);
    if (!copied) {
        ::unlink(draft.constData());
        return Creation::Failed;
    }
    const QByteArray target = QFile::encodeName(path);
    if (::renameat2(AT_FDCWD, draft.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) !=
        0) {
        const int failure = errno;
        ::unlink(draft.constData());
        if (failure == EEXIST)
            return Creation::AlreadyThere;
        errno = failure;
        if (error)
            *error = path + QStringLiteral(": ") + errnoText();
        return Creation::Failed;
    }
    return Creation::Created;
}

} // namespace database_location
