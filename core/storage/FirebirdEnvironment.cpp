#include "core/storage/FirebirdEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <ibase.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A directory only this user can use: the session's runtime directory, else the user's cache,
// else one named after the user ID in the temporary directory (accepted only when this user
// owns it and nobody else may enter it).
QString privateDirectory()
{
    const QString name = QStringLiteral("/quillbox-firebird");
    QStringList candidates;
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        candidates << QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + name;
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty())
        candidates << cache + name;
    candidates << QDir::tempPath() + name + QStringLiteral("-%1").arg(::getuid());
    for (const QString& directory : candidates) {
        if (!QDir().mkpath(directory))
            continue;
        ::chmod(QFile::encodeName(directory).constData(), 0700);
        struct stat info = {};
        if (::lstat(QFile::encodeName(directory).constData(), &info) == 0 &&
            S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 0077) == 0)
            return directory;
    }
    return {};
}

// Closes a descriptor when it leaves scope.
struct Descriptor
{
    explicit Descriptor(int value) : fd(value) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

bool heldByAnother(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        ::flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

// The engine names the lock table of a database after the raw bytes of the file's device and
// inode numbers, in hexadecimal.
QString lockTableName(const struct stat& file)
{
    QByteArray id(reinterpret_cast<const char*>(&file.st_dev), sizeof file.st_dev);
    id.append(reinterpret_cast<const char*>(&file.st_ino), sizeof file.st_ino);
    return QStringLiteral("fb_lock_") + QString::fromLatin1(id.toHex());
}

// Whether some process uses the lock table of the file in the lock directory. The probe runs
// under the directory's init lock, which the engine holds while it sets up or joins a lock
// table, so the probe never makes a starting engine misjudge whether it is the first.
bool lockTableInUse(const QString& lockDir, const struct stat& file)
{
    const Descriptor init(::open(
        QFile::encodeName(lockDir + QStringLiteral("/fb_init")).constData(), O_RDONLY | O_CLOEXEC));
    // A lock file this user may not open belongs to someone: the engine reports the rest.
    if (init.fd < 0)
        return errno == EACCES;
    bool initLocked = false;
    for (int tries = 0; tries < 100 && !initLocked; ++tries) {
        initLocked = ::flock(init.fd, LOCK_EX | LOCK_NB) == 0;
        if (!initLocked)
            ::usleep(20000);
    }
    if (!initLocked)
        return true; // an engine is busy with this directory's lock tables right now
    const Descriptor table(
        ::open(QFile::encodeName(lockDir + QLatin1Char('/') + lockTableName(file)).constData(),
               O_RDONLY | O_CLOEXEC));
    const bool inUse = table.fd >= 0 ? heldByAnother(table.fd) : errno == EACCES;
    ::flock(init.fd, LOCK_UN);
    return inUse;
}

} // namespace

QString makeConfigurationDirectory()
{
    const QString root = systemRoot();
    if (root.isEmpty())
        return {};
    const QString directory = privateDirectory();
    if (directory.isEmpty())
        return {};
    for (const char* name : {"plugins", "intl", "firebird.msg", "plugins.conf", "lib", "UDF"}) {
        if (!linkInto(directory, root, QString::fromLatin1(name)))
            return {};
    }
    QSaveFile conf(directory + QStringLiteral("/firebird.conf"));
    if (!conf.open(QIODevice::WriteOnly) || conf.write(kConfiguration) < 0 || !conf.commit())
        return {};
    return directory;
}

// The lock directory takes the group of the database file and passes it on to the lock files
// the engine creates in it (set-group-ID), so every user of that group who may write the file
// may also use its locks. It is set up under a temporary name and then renamed into place, so
// a program starting at the same moment never sees it half made.
void makeLockDirectory(const QString& databasePath)
{
    const QByteArray lockDir = QFile::encodeName(lockDirectoryFor(databasePath));
    struct stat file = {};
    if (::stat(QFile::encodeName(databasePath).constData(), &file) != 0)
        return;
    struct stat present = {};
    if (::stat(lockDir.constData(), &present) == 0)
        return;
    QByteArray draft = lockDir + ".XXXXXX";
    if (!::mkdtemp(draft.data()))
        return;
    [[maybe_unused]] const int owned = ::chown(draft.constData(), uid_t(-1), file.st_gid);
    ::chmod(draft.constData(), 02770);
    if (::renameat2(AT_FDCWD, draft.constData(), AT_FDCWD, lockDir.constData(), RENAME_NOREPLACE) !=
        0)
        ::rmdir(draft.constData());
}

QString effectiveLockDirectory()
{
    const QString configured = qEnvironmentVariable("FIREBIRD_LOCK");
    return configured.isEmpty() ? QStringLiteral("/tmp/firebird") : configured;
}

QString lockSharingProblem(const QString& databasePath)
{
    if (isRemote(databasePath))
        return {};
    const Descriptor database(
        ::open(QFile::encodeName(databasePath).constData(), O_RDONLY | O_CLOEXEC));
    if (database.fd < 0)
        return {}; // the attach reports what is wrong with the file
    struct stat file = {};
    if (::fstat(database.fd, &file) != 0)
        return {};
    const QString lockDir = effectiveLockDirectory();
    // A program starting at the same moment holds the file a little before its lock table is
    // set up: only a state that lasts counts.
    constexpr int kLooks = 10;
    for (int look = 1;; ++look) {
        if (!heldByAnother(database.fd) || lockTableInUse(lockDir, file))
            return {};
        if (look == kLooks)
            break;
        ::usleep(100000);
    }
    return QStringLiteral("the database file %1 is open in another program that does not share "
                          "the lock directory %2 (the directory was deleted, or the other "
                          "program uses a different one); it is not opened, so that the two "
                          "cannot damage it")
        .arg(databasePath, lockDir);
}

bool isRemote(const QString& databasePath)
{
    // The client library's own reading of a connection string: "host:path", "host/port:path"
    // (the host may be a bracketed IPv6 address), or a protocol prefix such as "inet://". A
    // local path is absolute, starts with a dot, or holds no colon before its first directory.
    static const QRegularExpression server(QStringLiteral(
        "^(?:[A-Za-z][A-Za-z0-9]*://|(?:\\[[^\\]]*\\]|[^/:\\[\\].][^/:\\[\\]]*)(?:/[^/:]+)?:)"));
    return server.match(databasePath).hasMatch();
}

QString localFileProblem(const QString& databasePath, fb::ErrorKind* kind)
{
    const auto problem = [kind](fb::ErrorKind what, const QString& text) {
        if (kind)
            *kind = what;
        return text;
    };
    QFile file(databasePath);
    if (!file.exists())
        return problem(fb::ErrorKind::FileMissing, databasePath + QStringLiteral(": no such file"));
    if (!file.open(QIODevice::ReadOnly))
        return problem(QFileInfo(databasePath).isReadable() ? fb::ErrorKind::Other
                                                            : fb::ErrorKind::NotWritable,
                       databasePath + QStringLiteral(": ") + file.errorString());
    // The header page: page type 1 first, and at byte 18 the on-disk structure version, whose
    // high bit marks a Firebird database.
    const QByteArray head = file.read(20);
    const bool firebird = head.size() == 20 && head[0] == 1 && (uchar(head[19]) & 0x80) != 0;
    if (!firebird)
        return problem(fb::ErrorKind::NotDatabase,
                       databasePath + QStringLiteral(" is not a Firebird database"));
    return {};
}

QString lockDirectoryFor(const QString& databasePath)
{
    return QFileInfo(databasePath).absolutePath() + QStringLiteral("/.dbn.lock");
}

void prepare(const QString& databasePath)
{
    static std::once_flag once;
    std::call_once(once, [&] {
        const QString directory = makeConfigurationDirectory();
        if (!directory.isEmpty())
            qputenv("FIREBIRD", QFile::encodeName(directory));
        if (!isRemote(databasePath)) {
            makeLockDirectory(databasePath);
            qputenv("FIREBIRD_LOCK", QFile::encodeName(lockDirectoryFor(databasePath)));
        }
    });
}

void endProcess(int exitCode)
{
    fb_shutdown(0, fb_shutrsn_app_stopped);
    std::fflush(nullptr);
    ::_exit(exitCode);
}

} // namespace firebird_environment
