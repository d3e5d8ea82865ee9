#pragma once

// TDM, the data module: a connection to the note database, the rule that every database
// operation runs in a transaction of its own under the connection's lock, the failure-report
// point, and the key/value settings store. The main window has one; each worker thread that
// reads the database (the list's search worker) opens its own.

#include "core/storage/Firebird.h"

#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <memory>
#include <mutex>
#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcDatabase)
// Every statement text sent, at debug level: QT_LOGGING_RULES="quillbox.db.sql.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcSql)

// What a database operation works with: the open connection and the operation's transaction.
class DbSession
{
public:
    DbSession(fb::Attachment& db, fb::Transaction& tr) : db_(db), tr_(tr) {}

    // Prepares and opens a statement with a result; read it with fetch().
    std::unique_ptr<fb::Statement> open(const QString& sql);
    // Runs a statement without a result (INSERT, UPDATE, DELETE); returns the rows it changed.
    qint64 execute(const QString& sql);

private:
    fb::Attachment& db_;
    fb::Transaction& tr_;
};

class TDM : public QObject
{
    Q_OBJECT
public:
    explicit TDM(QString databasePath, QObject* parent = nullptr);
    ~TDM() override;

    // dbn.ib in the directory of the running executable.
    static QString defaultDatabasePath();
    const QString& databasePath() const { return path_; }

    // Opens the connection; false on any error, with no message of its own.
    bool Connect();
    // Closes the connection; false on any error.
    bool Disconnect();
    bool isConnected() const;
    // The failure-report point of every database operation: written to the log, never shown.
    void ReportDbError(const QString& message, const QString& where,
                       const QString& errorText) const;

    // The value stored under key, or "-1" when the key has no row or the read failed.
    QString GetSetting(const QString& key);
    // Updates the key's row or inserts one; false when a statement failed.
    bool SetSetting(const QString& key, const QString& value);

    // Runs one database operation: under the connection lock, on the connection (re-opened
    // when it is closed), in a transaction of its own that is committed when work returns and
    // rolled back when it throws. Errors are thrown as fb::Error.
    template <typename Work>
    auto transact(Work&& work) -> decltype(work(std::declval<DbSession&>()))
    {
        std::lock_guard lock(mutex_);
        ensureConnected();
        fb::Transaction tr(db_);
        DbSession session(db_, tr);
        if constexpr (std::is_void_v<decltype(work(session))>) {
            work(session);
            tr.commit();
        } else {
            auto result = work(session);
            tr.commit();
            return result;
        }
    }

    // Set by the login gate when the right password was given.
    bool AccessGranted = false;

private:
    void ensureConnected();
    void attach();

    QString path_;
    fb::Attachment db_;
    mutable std::recursive_mutex mutex_;
};
