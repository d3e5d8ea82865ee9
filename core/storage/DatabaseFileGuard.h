#pragma once

// Watches that the path of a local database file keeps naming the file the program opened.
//
// An open connection keeps using the file it opened, whatever happens to its name: after a
// move, a replacement by rename (as sync tools do) or a delete, writes would go on into a file
// the user no longer sees, or into one that vanishes at exit, and a connection opened later
// would find a different file at the path. So the device and inode of the file are recorded
// at the first successful attach, and every database operation, on every connection of the
// program, first checks that the path still names them. While it does not, the file counts as
// lost: nothing is read or written. Should the file be put back, work goes on.
//
// One guard is shared by every connection to the file: the main data module and each worker
// thread's own connection. A database named with a host ("host:/path") is never checked.

#include "core/storage/ServerLogin.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <mutex>
#include <optional>
#include <sys/types.h>

class DatabaseFileGuard : public QObject
{
    Q_OBJECT
public:
    explicit DatabaseFileGuard(QString databasePath);

    const QString& databasePath() const { return path_; }

    // Before an attach or an operation: throws fb::Error when the file is lost. Any thread.
    void check();
    // After a successful attach: records the identity of the file the first time.
    void recordOpened();
    // Whether the first attach through this guard is still to come (the lock-directory check
    // runs only then).
    bool hasOpened() const;
    bool isLost() const { return lost_.load(); }

    // True exactly once, for whoever tells the user that the file was lost; afterwards false.
    bool claimAnnouncement();

    // The login the user gave for a database on a server when the environment names none:
    // every connection of the program to the database logs in with it, and they all share
    // this guard. No value until then. Any thread.
    void setLogin(const server_login::Login& login);
    std::optional<server_login::Login> login() const;

    // The text every refused operation fails with.
    static QString lostErrorText(const QString& databasePath);

signals:
    // Emitted when a check finds the file lost that found it in place before, from the thread
    // that checked.
    void lost();

private:
    const QString path_;
    const bool remote_;
    mutable std::mutex mutex_;
    bool recorded_ = false;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    std::atomic<bool> lost_ = false;
    std::atomic<bool> announced_ = false;
    std::optional<server_login::Login> login_;
};
