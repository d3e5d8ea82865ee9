#include "core/storage/DatabaseFileGuard.h"

#include "core/storage/Firebird.h"
#include "core/storage/FirebirdEnvironment.h"
#include "core/storage/SaveFailure.h"

#include <QFile>
#include <sys/stat.h>

DatabaseFileGuard::DatabaseFileGuard(QString databasePath)
    : path_(std::move(databasePath)), remote_(firebird_environment::isRemote(path_))
{}

QString DatabaseFileGuard::lostErrorText(const QString& databasePath)
{
    return QStringLiteral("the database file %1 ").arg(databasePath) +
           save_failure::kFileLostMarker;
}

void DatabaseFileGuard::check()
{
    if (remote_)
        return;
    bool foundNow = false;
    {
        std::lock_guard lock(mutex_);
        if (!recorded_)
            return;
        struct stat info = {};
        if (::stat(QFile::encodeName(path_).constData(), &info) == 0 && info.st_dev == device_ &&
            info.st_ino == inode_) {
            lost_ = false; // put back where it was: the connections are on the right file
            return;
        }
        foundNow = !lost_.exchange(true);
    }
    if (foundNow)
        emit lost();
    throw fb::Error(lostErrorText(path_).toStdString(), fb::ErrorKind::FileMoved);
}

void DatabaseFileGuard::recordOpened()
{
    if (remote_)
        return;
    std::lock_guard lock(mutex_);
    if (recorded_)
        return;
    struct stat info = {};
    if (::stat(QFile::encodeName(path_).constData(), &info) != 0)
        return;
    device_ = info.st_dev;
    inode_ = info.st_ino;
    recorded_ = true;
}

bool DatabaseFileGuard::hasOpened() const
{
    std::lock_guard lock(mutex_);
    return recorded_;
}

bool DatabaseFileGuard::claimAnnouncement()
{
    return !announced_.exchange(true);
}

void DatabaseFileGuard::setLogin(const server_login::Login& login)
{
    std::lock_guard lock(mutex_);
    login_ = login;
}

std::optional<server_login::Login> DatabaseFileGuard::login() const
{
    std::lock_guard lock(mutex_);
    return login_;
}
