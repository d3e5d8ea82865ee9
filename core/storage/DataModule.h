#pragma once

// TDM, the data module: a connection to the note database, the rule that every database
// operation runs in a transaction of its own under the connection's lock, the failure-report
// point, and the key/value settings store. The main window has one; each worker thread that
// reads the database (the list's search worker) opens its own.

#include "core/storage/DatabaseFileGuard.h"
#include "core/storage/Firebird.h"

#include <QHash>
#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <QStringList>
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
    // Prepares a statement without running it.
    std::unique_ptr<fb::Statement> prepare(const QString& sql);
    // Runs a statement without a result (INSERT, UPDATE, DELETE); returns the rows it changed.
    qint64 execute(const QString& sql);
    // The same, tracing traced in place of the statement text: for statements that carry a
    // secret.
    qint64 execute(const QString& sql, const QString& traced);

private:
    fb::Attachment& db_;
    fb::Transaction& tr_;
};

class TDM : public QObject
{
    Q_OBJECT
public:
    explicit TDM(QString databasePath, QObject* parent = nullptr);
    // Another connection to the file another data module watches: it shares that module's
    // guard, so it refuses to work once the file was moved or replaced.
    explicit TDM(std::shared_ptr<DatabaseFileGuard> guard, QObject* parent = nullptr);
    ~TDM() override;

    const QString& databasePath() const { return path_; }
    const std::shared_ptr<DatabaseFileGuard>& fileGuard() const { return guard_; }

    // Opens the connection; false on any error, with no message of its own. The kind of the
    // failure goes to *failure when given; the log has the engine's full text.
    bool Connect(fb::ErrorKind* failure = nullptr);
    // The login this connection and every other one sharing its guard use from their next
    // attach on, in place of the one server_login chooses: what the user gave for a server.
    void setLogin(const server_login::Login& login) { guard_->setLogin(login); }
    // Closes the connection; false on any error.
    bool Disconnect();
    bool isConnected() const;
    // Another thread's way to stop this connection's running engine call: the call fails with
    // "operation was cancelled" (thrown as fb::Error to the thread that made it). Does not wait
    // for the connection's lock, and does nothing when no call is running at that moment.
    void cancelRunningCall() { db_.cancelRunningCall(); }
    // Spends a cancel request that reached the connection too late to stop the call it was
    // meant for: the engine keeps it and would fail the next call with it. Run by the thread
    // that uses the connection once no more cancel requests can come for its last operation.
    void spendLateCancel();
    // The failure-report point of every database operation: written to the log, never shown.
    void ReportDbError(const QString& message, const QString& where,
                       const QString& errorText) const;

    // The value stored under key, or "-1" when the key has no row or the read failed.
    QString GetSetting(const QString& key);
    // Updates the key's row or inserts one; false when a statement failed.
    bool SetSetting(const QString& key, const QString& value);
    // GetSetting for several keys in one transaction: each key's value, "-1" for a key without
    // a row, every key "-1" when the read failed.
    QHash<QString, QString> GetSettings(const QStringList& keys);
    // SetSetting for several keys in one transaction: all are stored or, when a statement
    // failed, none; false then.
    bool SetSettings(const QList<std::pair<QString, QString>>& values);

    // Runs one database operation: under the connection lock, on the connection (re-opened
    // when it is closed), in a transaction of its own that is committed when work returns and
    // rolled back when it throws. Errors are thrown as fb::Error; so is a database file that
    // was moved or replaced since it was opened, before anything is sent.
    // A connection found lost (the server went away) is dropped, so the next operation opens
    // it anew.
    template <typename Work>
    auto transact(Work&& work) -> decltype(work(std::declval<DbSession&>()))
    {
        return guarded([&] { return inTransaction(std::forward<Work>(work)); });
    }

    // transact() for a read that repeats every few seconds while the program is idle. Every
    // transaction costs the file two page writes (its number and its end state), so these reads
    // share one read-only transaction that stays open between calls. It is read committed, so
    // each call sees everything committed before it; and the engine counts a read-only one as
    // committed from its start, so keeping it open holds back no clean-up of old record
    // versions. A failure ends it; the next call starts another.
    template <typename Work> auto watch(Work&& work) -> decltype(work(std::declval<DbSession&>()))
    {
        return guarded([&] {
            try {
                if (!kept_)
                    kept_ =
                        std::make_unique<fb::Transaction>(db_, fb::Transaction::Access::ReadOnly);
                DbSession session(db_, *kept_);
                return work(session);
            } catch (const fb::Error&) {
                kept_.reset();
                throw;
            }
        });
    }

    // Runs a client call that works on the connection rather than in a transaction (queuing or
    // cancelling an event request), with the same lock, checks, re-opening and dropping of a
    // lost connection as transact().
    template <typename Step>
    auto onConnection(Step&& step) -> decltype(step(std::declval<fb::Attachment&>()))
    {
        return guarded([&] { return step(db_); });
    }

    // Set by the login gate when the right password was given.
    bool AccessGranted = false;

private:
    // Runs step under the connection lock, on the connection (re-opened when it is closed),
    // after checking that the path still names the file that was opened.
    template <typename Step> auto guarded(Step&& step) -> decltype(step())
    {
        std::lock_guard lock(mutex_);
        guard_->check();
        ensureConnected();
        try {
            return step();
        } catch (const fb::Error& e) {
            if (e.connectionLost())
                dropConnection();
            throw;
        }
    }

    template <typename Work>
    auto inTransaction(Work&& work) -> decltype(work(std::declval<DbSession&>()))
    {
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

    void ensureConnected();
    void dropConnection();
    void attach();
    // Ends the kept transaction and closes the connection; throws what the engine reports.
    void detach();

    QString path_;
    std::shared_ptr<DatabaseFileGuard> guard_;
    fb::Attachment db_;
    // watch()'s transaction while it is open.
    std::unique_ptr<fb::Transaction> kept_;
    mutable std::recursive_mutex mutex_;
};
