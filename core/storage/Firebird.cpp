#include "core/storage/Firebird.h"

#include <cstring>
#include <limits>

namespace fb {
namespace {

// Date of the engine's day 0 (17 November 1858) as a Julian day number.
constexpr qint64 kEngineEpochJulianDay = 2400001;
constexpr int kTimeUnitsPerMs = 10; // the engine counts time of day in 1/10000 s

[[noreturn]] void raise(const ISC_STATUS* status)
{
    QByteArray text;
    const ISC_STATUS* cursor = status;
    char line[1024];
    while (fb_interpret(line, sizeof line, &cursor) > 0) {
        if (!text.isEmpty())
            text += '\n';
        text += line;
    }
    if (text.isEmpty())
        text = "unknown database error";
    throw Error(text.toStdString(), kindOf(status));
}

void check(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1] != 0)
        raise(status);
}

void appendDpb(QByteArray& dpb, char tag, const QByteArray& value)
{
    dpb += tag;
    dpb += char(value.size());
    dpb += value;
}

int storageSize(const XSQLVAR& v)
{
    switch (v.sqltype & ~1) {
    case SQL_VARYING:
        return v.sqllen + int(sizeof(short));
    case SQL_TEXT:
        return v.sqllen;
    default:
        return v.sqllen > 0 ? v.sqllen : 8;
    }
}

} // namespace

void checkStatus(const ISC_STATUS* status)
{
    check(status);
}

QDate decodeDate(ISC_DATE date)
{
    return QDate::fromJulianDay(qint64(date) + kEngineEpochJulianDay);
}

QTime decodeTime(ISC_TIME time)
{
    return QTime::fromMSecsSinceStartOfDay(int(time / kTimeUnitsPerMs));
}

Attachment::~Attachment()
{
    cancelHandle_ = 0;
    if (handle_ == 0)
        return;
    ISC_STATUS_ARRAY status;
    isc_detach_database(status, &handle_);
    handle_ = 0;
}

void Attachment::attach(const QString& path, const QString& user, const QString& password,
                        const QString& charset)
{
    if (handle_ != 0)
        return;
    QByteArray dpb;
    dpb += char(isc_dpb_version1);
    appendDpb(dpb, isc_dpb_user_name, user.toUtf8());
    appendDpb(dpb, isc_dpb_password, password.toUtf8());
    appendDpb(dpb, isc_dpb_lc_ctype, charset.toUtf8());
    const QByteArray file = path.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_db_handle handle = 0;
    isc_attach_database(status, short(file.size()), file.constData(), &handle, short(dpb.size()),
                        dpb.constData());
    check(status);
    handle_ = handle;
    cancelHandle_ = handle;
}

void Attachment::cancelRunningCall()
{
    isc_db_handle handle = cancelHandle_;
    if (handle == 0)
        return;
    ISC_STATUS_ARRAY status;
    fb_cancel_operation(status, &handle, fb_cancel_raise);
}

void Attachment::detach()
{
    cancelHandle_ = 0;
    if (handle_ == 0)
        return;
    ISC_STATUS_ARRAY status;
    isc_detach_database(status, &handle_);
    if (status[0] == 1 && status[1] != 0) {
        // The handle is unusable whatever the engine says; forget it so a later attach starts
        // afresh.
        handle_ = 0;
        raise(status);
    }
    handle_ = 0;
}

Transaction::Transaction(Attachment& db, Access access)
{
    // Read committed with record versions sees every committed write at once; waiting with a
    // time limit lets two instances update the same row without failing at the first conflict.
    static const char readWrite[] = {isc_tpb_version3,
                                     isc_tpb_write,
                                     isc_tpb_read_committed,
                                     isc_tpb_rec_version,
                                     isc_tpb_wait,
                                     isc_tpb_lock_timeout,
                                     1,
                                     10};
    static const char readOnly[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                                    isc_tpb_rec_version};
    const bool writes = access == Access::ReadWrite;
    ISC_STATUS_ARRAY status;
    isc_start_transaction(status, &handle_, 1, db.handle(),
                          short(writes ? sizeof readWrite : sizeof readOnly),
                          writes ? readWrite : readOnly);
    check(status);
}

Transaction::~Transaction()
{
    if (handle_ != 0) {
        ISC_STATUS_ARRAY status;
        isc_rollback_transaction(status, &handle_);
        // A cancel request from another thread (Attachment::cancelRunningCall) may land on the
        // rollback itself; it is spent then, and a second try releases the transaction.
        if (handle_ != 0)
            isc_rollback_transaction(status, &handle_);
    }
}

void Transaction::commit()
{
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &handle_);
    check(status);
    handle_ = 0;
}

void Transaction::rollback()
{
    if (handle_ == 0)
        return;
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &handle_);
    handle_ = 0;
    check(status);
}

Statement::Statement(Attachment& db, Transaction& tr, const QByteArray& sqlUtf8) : db_(db), tr_(tr)
{
    if (sqlUtf8.size() > std::numeric_limits<unsigned short>::max())
        throw Error("statement text exceeds 65535 bytes");
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, db_.handle(), handle_.get());
    check(status);

    auto allocate = [this](short columns) {
        sqldaMemory_ = std::make_unique<char[]>(XSQLDA_LENGTH(columns));
        std::memset(sqldaMemory_.get(), 0, XSQLDA_LENGTH(columns));
        out_ = reinterpret_cast<XSQLDA*>(sqldaMemory_.get());
        out_->version = SQLDA_VERSION1;
        out_->sqln = columns;
    };
    allocate(1);
    isc_dsql_prepare(status, tr_.handle(), handle_.get(),
                     static_cast<unsigned short>(sqlUtf8.size()), sqlUtf8.constData(),
                     SQL_DIALECT_V6, out_);
    check(status);
    if (out_->sqld > out_->sqln) {
        const short columns = out_->sqld;
        allocate(columns);
        isc_dsql_describe(status, handle_.get(), SQLDA_VERSION1, out_);
        check(status);
    }

    const int columns = out_->sqld;
    std::vector<int> offsets(columns);
    int total = 0;
    for (int i = 0; i < columns; ++i) {
        total = (total + 7) & ~7;
        offsets[i] = total;
        total += storageSize(out_->sqlvar[i]);
    }
    buffer_.assign(std::size_t(total) + 8, 0);
    nulls_.assign(std::size_t(columns), 0);
    for (int i = 0; i < columns; ++i) {
        out_->sqlvar[i].sqldata = buffer_.data() + offsets[i];
        out_->sqlvar[i].sqlind = &nulls_[std::size_t(i)];
    }
}

Statement::Handle::~Handle()
{
    if (value_ != 0) {
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &value_, DSQL_drop);
        // As for a rollback: a cancel request may land on the release, so it is tried twice.
        if (value_ != 0)
            isc_dsql_free_statement(status, &value_, DSQL_drop);
    }
}

Statement::~Statement() = default;

void Statement::execute()
{
    ISC_STATUS_ARRAY status;
    isc_dsql_execute(status, tr_.handle(), handle_.get(), SQLDA_VERSION1, nullptr);
    check(status);
    open_ = out_->sqld > 0;
}

qint64 Statement::affectedRows()
{
    static const char items[] = {isc_info_sql_records};
    char answer[64] = {};
    ISC_STATUS_ARRAY status;
    isc_dsql_sql_info(status, handle_.get(), short(sizeof items), items, short(sizeof answer),
                      answer);
    check(status);
    if (answer[0] != isc_info_sql_records)
        return 0;
    // isc_info_sql_records, its length, then one counter per kind of change: a tag, a length
    // and the value, ended by isc_info_end.
    qint64 changed = 0;
    const char* cursor = answer + 3;
    const char* const end = answer + sizeof answer;
    while (cursor + 3 <= end && *cursor != isc_info_end) {
        const char tag = *cursor;
        const short length = short(isc_vax_integer(cursor + 1, 2));
        if (length < 0 || cursor + 3 + length > end)
            break;
        const qint64 value = isc_vax_integer(cursor + 3, length);
        if (tag == isc_info_req_insert_count || tag == isc_info_req_update_count ||
            tag == isc_info_req_delete_count)
            changed += value;
        cursor += 3 + length;
    }
    return changed;
}

bool Statement::fetch()
{
    if (!open_)
        return false;
    ISC_STATUS_ARRAY status;
    const ISC_STATUS rc = isc_dsql_fetch(status, handle_.get(), SQLDA_VERSION1, out_);
    if (rc == 100) {
        open_ = false;
        return false;
    }
    check(status);
    ++fetched_;
    return true;
}

QString Statement::plan() const
{
    // The answer is one item: the tag, a two-byte length and the text.
    const char items[] = {isc_info_sql_get_plan};
    std::vector<char> answer(32767);
    ISC_STATUS_ARRAY status;
    isc_stmt_handle handle = handle_.value();
    isc_dsql_sql_info(status, &handle, short(sizeof items), items, short(answer.size()),
                      answer.data());
    check(status);
    if (answer[0] != isc_info_sql_get_plan)
        throw Error("the engine gave no access plan");
    const int length = int(isc_vax_integer(answer.data() + 1, 2));
    return QString::fromUtf8(answer.data() + 3, length).trimmed();
}

int Statement::columnCount() const
{
    return out_->sqld;
}

int Statement::column(const char* name) const
{
    const std::size_t length = std::strlen(name);
    for (int i = 0; i < out_->sqld; ++i) {
        const XSQLVAR& v = out_->sqlvar[i];
        if (std::size_t(v.aliasname_length) == length &&
            qstrnicmp(v.aliasname, name, uint(length)) == 0)
            return i;
    }
    throw Error(std::string("column unknown: ") + name);
}

const XSQLVAR& Statement::var(int column) const
{
    if (column < 0 || column >= out_->sqld)
        throw Error("column index out of range");
    return out_->sqlvar[column];
}

bool Statement::isNull(int column) const
{
    const XSQLVAR& v = var(column);
    return (v.sqltype & 1) && *v.sqlind < 0;
}

QByteArray Statement::bytes(int column) const
{
    const XSQLVAR& v = var(column);
    if (isNull(column))
        return {};
    switch (v.sqltype & ~1) {
    case SQL_VARYING: {
        short length;
        std::memcpy(&length, v.sqldata, sizeof length);
        return QByteArray(v.sqldata + sizeof length, length);
    }
    case SQL_TEXT: {
        int length = v.sqllen;
        while (length > 0 && v.sqldata[length - 1] == ' ')
            --length;
        return QByteArray(v.sqldata, length);
    }
    default:
        return text(column).toUtf8();
    }
}

QString Statement::text(int column) const
{
    const XSQLVAR& v = var(column);
    if (isNull(column))
        return {};
    switch (v.sqltype & ~1) {
    case SQL_VARYING: {
        short length;
        std::memcpy(&length, v.sqldata, sizeof length);
        return QString::fromUtf8(v.sqldata + sizeof length, length);
    }
    case SQL_TEXT:
        return QString::fromUtf8(bytes(column));
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
    case SQL_BOOLEAN:
        return QString::number(integer(column));
    case SQL_TIMESTAMP:
        return timestamp(column).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case SQL_TYPE_DATE:
        return date(column).toString(QStringLiteral("yyyy-MM-dd"));
    case SQL_TYPE_TIME:
        return time(column).toString(QStringLiteral("hh:mm:ss"));
    default:
        throw Error("column cannot be read as text");
    }
}

qint64 Statement::integer(int column) const
{
    const XSQLVAR& v = var(column);
    if (isNull(column))
        return 0;
    qint64 value;
    switch (v.sqltype & ~1) {
    case SQL_SHORT: {
        short s;
        std::memcpy(&s, v.sqldata, sizeof s);
        value = s;
        break;
    }
    case SQL_LONG: {
        ISC_LONG l;
        std::memcpy(&l, v.sqldata, sizeof l);
        value = l;
        break;
    }
    case SQL_INT64: {
        ISC_INT64 l;
        std::memcpy(&l, v.sqldata, sizeof l);
        value = l;
        break;
    }
    case SQL_BOOLEAN:
        return v.sqldata[0] ? 1 : 0;
    case SQL_VARYING:
    case SQL_TEXT: {
        bool ok = false;
        const qint64 parsed = text(column).trimmed().toLongLong(&ok);
        if (!ok)
            throw Error("column value is not an integer");
        return parsed;
    }
    default:
        throw Error("column cannot be read as an integer");
    }
    for (int scale = v.sqlscale; scale < 0; ++scale)
        value /= 10;
    return value;
}

QDateTime Statement::timestamp(int column) const
{
    if (isNull(column))
        return {};
    const auto [day, time] = timestampParts(column);
    return QDateTime(day, time);
}

std::pair<QDate, QTime> Statement::timestampParts(int column) const
{
    const XSQLVAR& v = var(column);
    if (isNull(column))
        return {};
    switch (v.sqltype & ~1) {
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, v.sqldata, sizeof ts);
        return {decodeDate(ts.timestamp_date), decodeTime(ts.timestamp_time)};
    }
    case SQL_TYPE_DATE:
        return {date(column), QTime(0, 0)};
    default:
        throw Error("column cannot be read as a date and time");
    }
}

QDate Statement::date(int column) const
{
    const XSQLVAR& v = var(column);
    if (isNull(column))
        return {};
    switch (v.sqltype & ~1) {
    case SQL_TYPE_DATE: {
        ISC_DATE d;
        std::memcpy(&d, v.sqldata, sizeof d);
        return decodeDate(d);
    }
    case SQL_TIMESTAMP:
        return timestamp(column).date();
    default:
        throw Error("column cannot be read as a date");
    }
}

QTime Statement::time(int column) const
{
    const XSQLVAR& v = var(column);
    if (isNull(column))
        return {};
    switch (v.sqltype & ~1) {
    case SQL_TYPE_TIME: {
        ISC_TIME t;
        std::memcpy(&t, v.sqldata, sizeof t);
        return decodeTime(t);
    }
    case SQL_TIMESTAMP:
        return timestamp(column).time();
    default:
        throw Error("column cannot be read as a time of day");
    }
}

} // namespace fb
