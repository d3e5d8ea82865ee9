#pragma once

// A small RAII layer over the Firebird client library (the ISC API of ibase.h).
// Each object owns one handle and releases it in its destructor; every failure of the
// library is thrown as fb::Error carrying the engine's own message text and the kind of the
// failure.

#include "core/storage/ErrorKind.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <atomic>
#include <ibase.h>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace fb {

class Error : public std::runtime_error
{
public:
    explicit Error(const std::string& text, ErrorKind kind = ErrorKind::Other)
        : std::runtime_error(text), kind_(kind)
    {}
    QString text() const { return QString::fromUtf8(what()); }
    ErrorKind kind() const { return kind_; }
    // True when the link to the database is gone (a server that went away or shut the
    // database down): the attachment is of no further use and must be opened anew.
    bool connectionLost() const { return kind_ == ErrorKind::ConnectionLost; }

private:
    ErrorKind kind_ = ErrorKind::Other;
};

class Attachment
{
public:
    Attachment() = default;
    ~Attachment();
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    // Opens the database named by path ("/dir/dbn.ib" or "host:/dir/dbn.ib").
    void attach(const QString& path, const QString& user, const QString& password,
                const QString& charset);
    // Closes the connection; the handle is released even when the engine reports an error.
    void detach();
    bool isAttached() const { return handle_ != 0; }
    isc_db_handle* handle() { return &handle_; }

    // Called from another thread: makes the engine call running on this connection fail with
    // "operation was cancelled" at its next rescheduling point. A request arriving while no
    // call runs does nothing (the engine answers "nothing to cancel"), so a later call is
    // never hit by it. Never throws.
    void cancelRunningCall();

private:
    isc_db_handle handle_ = 0;
    // handle_ for cancelRunningCall(), which reads it without the owner's lock.
    std::atomic<isc_db_handle> cancelHandle_ = 0;
};

// A read-committed transaction; rolled back unless committed. A read-write one waits a short
// time for a row another transaction is changing. A read-only one never waits, and the engine
// counts it as committed from its start, so however long it stays open it holds back no
// clean-up of old record versions.
class Transaction
{
public:
    enum class Access
    {
        ReadWrite,
        ReadOnly
    };
    explicit Transaction(Attachment& db, Access access = Access::ReadWrite);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();
    void rollback();
    isc_tr_handle* handle() { return &handle_; }

private:
    isc_tr_handle handle_ = 0;
};

// One prepared SQL text. A statement with result columns is a cursor: execute() opens it and
// fetch() moves to the next row, whose columns are read by name or by position.
class Statement
{
public:
    Statement(Attachment& db, Transaction& tr, const QByteArray& sqlUtf8);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void execute();
    // Rows the executed statement inserted, updated or deleted.
    qint64 affectedRows();
    bool fetch();
    // The engine's access plan of the prepared statement, e.g.
    // "PLAN (NOTATKI ORDER NOTATKI_DATAGODZINA_DESC)".
    QString plan() const;
    // Rows fetched so far.
    qint64 rowsFetched() const { return fetched_; }

    int columnCount() const;
    // Position of a column by its name or alias, matched without regard to case; throws when
    // the result has no such column.
    int column(const char* name) const;
    bool isNull(int column) const;
    QString text(int column) const;
    // The raw bytes of a text column, without decoding.
    QByteArray bytes(int column) const;
    qint64 integer(int column) const;
    QDateTime timestamp(int column) const;
    // The date and time of day of a timestamp as stored, not yet placed in the local time zone
    // (placing it costs a time-zone look-up, which adds up over a long listing).
    std::pair<QDate, QTime> timestampParts(int column) const;
    QDate date(int column) const;
    QTime time(int column) const;

    bool isNull(const char* name) const { return isNull(column(name)); }
    QString text(const char* name) const { return text(column(name)); }
    qint64 integer(const char* name) const { return integer(column(name)); }
    QDateTime timestamp(const char* name) const { return timestamp(column(name)); }
    QDate date(const char* name) const { return date(column(name)); }
    QTime time(const char* name) const { return time(column(name)); }

private:
    const XSQLVAR& var(int column) const;

    // Owns the statement handle, so that it is freed also when the constructor throws after
    // allocating it (a prepare the engine refuses).
    class Handle
    {
    public:
        Handle() = default;
        ~Handle();
        Handle(const Handle&) = delete;
        Handle& operator=(const Handle&) = delete;
        isc_stmt_handle* get() { return &value_; }
        isc_stmt_handle value() const { return value_; }

    private:
        isc_stmt_handle value_ = 0;
    };

    Attachment& db_;
    Transaction& tr_;
    Handle handle_;
    std::unique_ptr<char[]> sqldaMemory_;
    XSQLDA* out_ = nullptr;
    std::vector<char> buffer_;
    std::vector<short> nulls_;
    bool open_ = false;
    qint64 fetched_ = 0;
};

// Throws the failure a status vector reports as Error, as every call of this layer does; does
// nothing when it reports success.
void checkStatus(const ISC_STATUS* status);

// Conversions between the engine's date and time encoding and Qt's types.
QDate decodeDate(ISC_DATE date);
QTime decodeTime(ISC_TIME time);

} // namespace fb
