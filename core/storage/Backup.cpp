#include "core/storage/Backup.h"

#include "core/storage/DataModule.h"
#include "core/storage/FirebirdEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <ibase.h>
#include <sys/stat.h>
#include <unistd.h>

namespace backup {
namespace {

QString statusText(const ISC_STATUS* status)
{
    QByteArray text;
    const ISC_STATUS* cursor = status;
    char line[1024];
    while (fb_interpret(line, sizeof line, &cursor) > 0) {
        if (!text.isEmpty())
            text += '\n';
        text += line;
    }
    return text.isEmpty() ? QStringLiteral("unknown database error") : QString::fromUtf8(text);
}

bool failed(const ISC_STATUS* status)
{
    return status[0] == 1 && status[1] != 0;
}

void appendShortString(QByteArray& block, char tag, const QByteArray& value)
{
    block += tag;
    block += char(value.size());
    block += value;
}

void appendLongString(QByteArray& block, char tag, const QByteArray& value)
{
    block += tag;
    block += char(value.size() & 0xFF);
    block += char((value.size() >> 8) & 0xFF);
    block += value;
}

void appendNumber(QByteArray& block, char tag, quint32 value)
{
    block += tag;
    for (int shift = 0; shift < 32; shift += 8)
        block += char((value >> shift) & 0xFF);
}

// One use of the embedded engine's service manager: start an action and wait until it ends.
// Returns the empty text on success, otherwise the engine's error.
QString runService(const QByteArray& action)
{
    QByteArray spb;
    spb += char(isc_spb_version);
    spb += char(isc_spb_current_version);
    appendShortString(spb, isc_spb_user_name, QByteArrayLiteral("SYSDBA"));
    ISC_STATUS_ARRAY status;
    isc_svc_handle service = 0;
    const char name[] = "service_mgr";
    isc_service_attach(status, 0, name, &service, static_cast<unsigned short>(spb.size()),
                       spb.constData());
    if (failed(status))
        return statusText(status);

    QString error;
    isc_service_start(status, &service, nullptr, static_cast<unsigned short>(action.size()),
                      action.constData());
    if (failed(status)) {
        error = statusText(status);
    } else {
        // The service's output is drained until it ends; its failure arrives as the status of
        // the last query.
        const char request = isc_info_svc_to_eof;
        char buffer[8192];
        for (;;) {
            isc_service_query(status, &service, nullptr, 0, nullptr, 1, &request, sizeof buffer,
                              buffer);
            if (failed(status)) {
                error = statusText(status);
                break;
            }
            if (buffer[0] != isc_info_svc_to_eof)
                break;
            const int length = int(isc_vax_integer(buffer + 1, 2));
            const bool truncated =
                3 + length < int(sizeof buffer) && buffer[3 + length] == isc_info_truncated;
            if (length == 0 && !truncated)
                break;
        }
    }
    ISC_STATUS_ARRAY detachStatus;
    isc_service_detach(detachStatus, &service);
    return error;
}

// Counts the notes of a database by opening it the way the program does; a failure is thrown
// as fb::Error.
qint64 countNotes(const QString& databasePath)
{
    TDM dm(databasePath);
    return dm.transact([](DbSession& db) {
        qint64 notes = 0;
        {
            auto query = db.open(QStringLiteral("SELECT COUNT(*) FROM NOTATKI"));
            notes = query->fetch() ? query->integer(0) : 0;
        }
        auto settings = db.open(QStringLiteral("SELECT COUNT(*) FROM USTAWIENIA"));
        settings->fetch();
        return notes;
    });
}

// A private working directory beside target, for the files made before the final rename (the
// rename must not cross file systems).
class WorkDirectory
{
public:
    explicit WorkDirectory(const QString& target)
    {
        QByteArray pattern = QFile::encodeName(QFileInfo(target).absolutePath() +
                                               QStringLiteral("/.quillbox-work-XXXXXX"));
        if (::mkdtemp(pattern.data()))
            path_ = QFile::decodeName(pattern);
    }
    ~WorkDirectory()
    {
        if (!path_.isEmpty())
            QDir(path_).removeRecursively();
    }
    WorkDirectory(const WorkDirectory&) = delete;
    WorkDirectory& operator=(const WorkDirectory&) = delete;

    bool isValid() const { return !path_.isEmpty(); }
    QString file(const QString& name) const { return path_ + QLatin1Char('/') + name; }

private:
    QString path_;
};

bool syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

void syncDirectoryOf(const QString& path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool sameFile(const QString& a, const QString& b)
{
    struct stat first = {};
    struct stat second = {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

Outcome failure(const QString& message)
{
    return Outcome{false, message};
}

QString notesText(qint64 notes)
{
    return notes == 1 ? QStringLiteral("1 note") : QStringLiteral("%1 notes").arg(notes);
}

QByteArray restoreAction(const QString& backupFile, const QString& databasePath)
{
    QByteArray action;
    action += char(isc_action_svc_restore);
    appendLongString(action, isc_spb_bkp_file, QFile::encodeName(backupFile));
    appendLongString(action, isc_spb_dbname, QFile::encodeName(databasePath));
    // Create only: a restore never replaces a database.
    appendNumber(action, isc_spb_options, isc_spb_res_create);
    return action;
}

// Empty when a backup may be written to target: nothing is there, or a regular file (an
// earlier backup, then *replacing is set). Otherwise why not.
QString targetProblem(const QString& target, bool* replacing)
{
    struct stat present = {};
    if (::lstat(QFile::encodeName(target).constData(), &present) != 0) {
        *replacing = false;
        return {};
    }
    *replacing = S_ISREG(present.st_mode);
    if (*replacing)
        return {};
    const QString what = S_ISDIR(present.st_mode)    ? QStringLiteral("a directory")
                         : S_ISLNK(present.st_mode)  ? QStringLiteral("a symbolic link")
                         : S_ISFIFO(present.st_mode) ? QStringLiteral("a pipe")
                         : S_ISSOCK(present.st_mode) ? QStringLiteral("a socket")
                                                     : QStringLiteral("a device");
    return QStringLiteral("%1 is %2, not a file: a backup is written only as a new file or over "
                          "an earlier backup.")
        .arg(target, what);
}

void print(const Outcome& outcome)
{
    std::FILE* stream = outcome.ok ? stdout : stderr;
    std::fprintf(stream, "%s\n", outcome.message.toLocal8Bit().constData());
    std::fflush(stream);
}

} // namespace

Outcome backupDatabase(const QString& databasePath, const QString& backupFile)
{
    if (firebird_environment::isRemote(databasePath))
        return failure(QStringLiteral("The database %1 is on a server: back it up there with "
                                      "the server's own tools.")
                           .arg(databasePath));
    const QString database = QFileInfo(databasePath).absoluteFilePath();
    const QString target = QFileInfo(backupFile).absoluteFilePath();
    if (!QFileInfo::exists(database))
        return failure(QStringLiteral("There is no database file %1.").arg(database));
    if (sameFile(database, target))
        return failure(QStringLiteral("The backup cannot be written over the database itself."));
    bool replacing = false;
    if (const QString problem = targetProblem(target, &replacing); !problem.isEmpty())
        return failure(problem);
    firebird_environment::prepare(database);
    const QString lockProblem = firebird_environment::lockSharingProblem(database);
    if (!lockProblem.isEmpty())
        return failure(QStringLiteral("The database was not backed up: ") + lockProblem + u'.');

    WorkDirectory work(target);
    if (!work.isValid())
        return failure(QStringLiteral("Cannot write in the directory of %1: %2")
                           .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
    const QString partial = work.file(QStringLiteral("backup.fbk"));
    QByteArray action;
    action += char(isc_action_svc_backup);
    appendLongString(action, isc_spb_dbname, QFile::encodeName(database));
    appendLongString(action, isc_spb_bkp_file, QFile::encodeName(partial));
    const QString backupError = runService(action);
    if (!backupError.isEmpty())
        return failure(QStringLiteral("The backup failed:\n") + backupError);

    // Read back: a backup counts only when a database can be made from it again.
    const QString trial = work.file(QStringLiteral("trial.ib"));
    const QString trialError = runService(restoreAction(partial, trial));
    if (!trialError.isEmpty())
        return failure(QStringLiteral("The backup was made but cannot be read back:\n") +
                       trialError);
    qint64 notes = 0;
    try {
        notes = countNotes(trial);
    } catch (const fb::Error& e) {
        return failure(QStringLiteral("The backup was made but its notes cannot be read:\n") +
                       e.text());
    }
    // The notes are no more readable in the backup than in the database.
    struct stat databaseInfo = {};
    if (::stat(QFile::encodeName(database).constData(), &databaseInfo) == 0)
        ::chmod(QFile::encodeName(partial).constData(), databaseInfo.st_mode & 0660);
    if (!syncFile(partial))
        return failure(QStringLiteral("The backup could not be written to disk: %1")
                           .arg(QString::fromLocal8Bit(std::strerror(errno))));
    // Looked at again just before the rename: a node put there meanwhile is not replaced.
    if (const QString problem = targetProblem(target, &replacing); !problem.isEmpty())
        return failure(problem);
    if (::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) !=
        0)
        return failure(QStringLiteral("The backup could not be named %1: %2")
                           .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
    syncDirectoryOf(target);
    QString message =
        QStringLiteral("Backed up %1 of %2 into %3.").arg(notesText(notes), database, target);
    if (replacing)
        message += QStringLiteral(" It replaced the earlier backup there.");
    return Outcome{true, message};
}

Outcome restoreDatabase(const QString& backupFile, const QString& newDatabasePath,
                        const QString& databasePath)
{
    if (firebird_environment::isRemote(newDatabasePath))
        return failure(QStringLiteral("Restore into a database on a server with the server's own "
                                      "tools."));
    const QString source = QFileInfo(backupFile).absoluteFilePath();
    const QString target = QFileInfo(newDatabasePath).absoluteFilePath();
    if (!QFileInfo(source).isFile())
        return failure(QStringLiteral("There is no backup file %1.").arg(source));
    struct stat present = {};
    if (::lstat(QFile::encodeName(target).constData(), &present) == 0)
        return failure(
            QStringLiteral("%1 exists already: a restore never replaces a file.").arg(target));
    if (!QFileInfo(QFileInfo(target).absolutePath()).isDir())
        return failure(
            QStringLiteral("There is no directory %1.").arg(QFileInfo(target).absolutePath()));
    // The program's own engine settings, as long as its database is a local file that is
    // there; a server's database has none here, and a missing one no lock directory yet.
    const bool programSettings =
        !firebird_environment::isRemote(databasePath) && QFileInfo(databasePath).isFile();
    firebird_environment::prepare(programSettings ? databasePath : target);

    WorkDirectory work(target);
    if (!work.isValid())
        return failure(QStringLiteral("Cannot write in the directory of %1: %2")
                           .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
    const QString partial = work.file(QStringLiteral("restored.ib"));
    const QString error = runService(restoreAction(source, partial));
    if (!error.isEmpty())
        return failure(QStringLiteral("The restore failed:\n") + error);
    qint64 notes = 0;
    try {
        notes = countNotes(partial);
    } catch (const fb::Error& e) {
        return failure(QStringLiteral("The restored database cannot be read:\n") + e.text());
    }
    if (!syncFile(partial))
        return failure(QStringLiteral("The restored database could not be written to disk: %1")
                           .arg(QString::fromLocal8Bit(std::strerror(errno))));
    if (::renameat2(AT_FDCWD, QFile::encodeName(partial).constData(), AT_FDCWD,
                    QFile::encodeName(target).constData(), RENAME_NOREPLACE) != 0)
        return failure(QStringLiteral("The restored database could not be named %1: %2")
                           .arg(target, QString::fromLocal8Bit(std::strerror(errno))));
    syncDirectoryOf(target);
    return Outcome{true, QStringLiteral("Restored %1 into %2.").arg(notesText(notes), target)};
}

int runBackup(const QString& databasePath, const QString& backupFile)
{
    Outcome outcome = backupDatabase(databasePath, backupFile);
    if (!outcome.ok)
        outcome.message += QStringLiteral("\nNo backup of %1 was written.").arg(databasePath);
    print(outcome);
    return outcome.ok ? 0 : 1;
}

int runRestore(const QString& databasePath, const QString& backupFile,
               const QString& newDatabasePath)
{
    Outcome outcome = restoreDatabase(backupFile, newDatabasePath, databasePath);
    if (outcome.ok)
        outcome.message += QStringLiteral("\nThe program's database is %1; start the program "
                                          "with --database %2 to open the restored notes.")
                               .arg(databasePath, QFileInfo(newDatabasePath).absoluteFilePath());
    else
        outcome.message += QStringLiteral("\nNo database was written.");
    print(outcome);
    return outcome.ok ? 0 : 1;
}

} // namespace backup
