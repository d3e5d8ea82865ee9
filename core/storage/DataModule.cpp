#include "core/storage/DataModule.h"

#include "core/storage/FirebirdEnvironment.h"
#include "core/storage/ServerLogin.h"
#include "core/storage/SettingsStatements.h"

#include <QThread>

Q_LOGGING_CATEGORY(lcDatabase, "quillbox.db")
Q_LOGGING_CATEGORY(lcSql, "quillbox.db.sql", QtWarningMsg)

namespace {
const QString kCharacterSet = QStringLiteral("UTF8");
const QString kModuleName = QStringLiteral("DM");
// The access password is stored in plain text; neither the failure report nor the statement
// trace may carry it into the log.
const QString kSecretKey = QStringLiteral("HasloDostepu");
const QString kSecretMask = QStringLiteral("***");

QString loggable(const QString& key, const QString& value)
{
    return key == kSecretKey ? kSecretMask : value;
}
} // namespace

std::unique_ptr<fb::Statement> DbSession::open(const QString& sql)
{
    qCDebug(lcSql).noquote() << sql;
    auto statement = std::make_unique<fb::Statement>(db_, tr_, sql.toUtf8());
    statement->execute();
    return statement;
}

std::unique_ptr<fb::Statement> DbSession::prepare(const QString& sql)
{
    return std::make_unique<fb::Statement>(db_, tr_, sql.toUtf8());
}

qint64 DbSession::execute(const QString& sql)
{
    return execute(sql, sql);
}

qint64 DbSession::execute(const QString& sql, const QString& traced)
{
    qCDebug(lcSql).noquote() << traced;
    fb::Statement statement(db_, tr_, sql.toUtf8());
    statement.execute();
    return statement.affectedRows();
}

TDM::TDM(QString databasePath, QObject* parent)
    : TDM(std::make_shared<DatabaseFileGuard>(std::move(databasePath)), parent)
{}

TDM::TDM(std::shared_ptr<DatabaseFileGuard> guard, QObject* parent)
    : QObject(parent), path_(guard->databasePath()), guard_(std::move(guard))
{}

TDM::~TDM()
{
    std::lock_guard lock(mutex_);
    try {
        detach();
    } catch (const fb::Error&) {
    }
}

void TDM::attach()
{
    if (!firebird_environment::isRemote(path_)) {
        fb::ErrorKind kind = fb::ErrorKind::Other;
        const QString problem = firebird_environment::localFileProblem(path_, &kind);
        if (!problem.isEmpty())
            throw fb::Error(problem.toStdString(), kind);
    }
    firebird_environment::prepare(path_);
    guard_->check();
    // Before the program's first attach: a file that another program holds open without
    // sharing our lock files must not be opened, or neither would see the other's writes.
    if (!guard_->hasOpened()) {
        const QString problem = firebird_environment::lockSharingProblem(path_);
        if (!problem.isEmpty())
            throw fb::Error(problem.toStdString());
    }
    const server_login::Login login = guard_->login().value_or(server_login::forDatabase(path_));
    db_.attach(path_, login.user, login.password, kCharacterSet);
    guard_->recordOpened();
    // The user name may be logged; the password never is.
    qCDebug(lcSql).noquote() << "-- connected to" << path_ << "as" << login.user;
}

void TDM::detach()
{
    kept_.reset();
    db_.detach();
}

void TDM::ensureConnected()
{
    if (!db_.isAttached())
        attach();
}

void TDM::dropConnection()
{
    qCWarning(lcDatabase).noquote() << "lost the connection to" << path_;
    try {
        detach();
    } catch (const fb::Error&) {
    }
}

bool TDM::Connect(fb::ErrorKind* failure)
{
    std::lock_guard lock(mutex_);
    // A second try covers another user's program creating the shared lock files at the same
    // moment: the engine makes them group-writable only just after creating them.
    constexpr int kTries = 2;
    for (int attempt = 1;; ++attempt) {
        try {
            attach();
            return true;
        } catch (const fb::Error& e) {
            if (attempt < kTries) {
                QThread::msleep(100);
                continue;
            }
            qCWarning(lcDatabase).noquote() << "cannot open" << path_ << ":" << e.text();
            if (failure)
                *failure = e.kind();
            return false;
        }
    }
}

bool TDM::Disconnect()
{
    std::lock_guard lock(mutex_);
    try {
        detach();
        qCDebug(lcSql).noquote() << "-- disconnected";
        return true;
    } catch (const fb::Error& e) {
        qCWarning(lcDatabase).noquote() << "cannot close" << path_ << ":" << e.text();
        return false;
    }
}

void TDM::spendLateCancel()
{
    // The first engine call after a late cancel fails with it; the second then succeeds.
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            transact([](DbSession& db) {
                db.open(QStringLiteral("SELECT 1 FROM RDB$DATABASE"))->fetch();
            });
            return;
        } catch (const fb::Error&) {
        }
    }
}

bool TDM::isConnected() const
{
    std::lock_guard lock(mutex_);
    return db_.isAttached();
}

void TDM::ReportDbError(const QString& message, const QString& where,
                        const QString& errorText) const
{
    qCWarning(lcDatabase).noquote() << where << "-" << message << "-" << errorText;
}

namespace {

// The value stored under key: "-1" when it has no row, the empty text for a NULL value.
QString readSetting(DbSession& db, const QString& key)
{
    auto query = db.open(sql::settings::selectValue(key));
    if (!query->fetch())
        return QStringLiteral("-1");
    const QString value = query->text("Wartosc");
    return value.isNull() ? QStringLiteral("") : value;
}

// Updates the key's first row, or inserts one when it has none.
void storeSetting(DbSession& db, const QString& key, const QString& value)
{
    qint64 id = 0;
    bool exists = false;
    {
        auto query = db.open(sql::settings::selectRow(key));
        if (query->fetch()) {
            id = query->integer("ID");
            exists = true;
        }
    }
    const QString shown = loggable(key, value);
    if (exists)
        db.execute(sql::settings::update(key, value, id), sql::settings::update(key, shown, id));
    else
        db.execute(sql::settings::insert(key, value), sql::settings::insert(key, shown));
}

} // namespace

QString TDM::GetSetting(const QString& key)
{
    try {
        return transact([&](DbSession& db) { return readSetting(db, key); });
    } catch (const fb::Error& e) {
        ReportDbError(QStringLiteral("Nie można pobrać ustawienia ") + key +
                          QStringLiteral(" z konfiguracji!"),
                      kModuleName, e.text());
        return QStringLiteral("-1");
    }
}

QHash<QString, QString> TDM::GetSettings(const QStringList& keys)
{
    try {
        return transact([&](DbSession& db) {
            QHash<QString, QString> values;
            for (const QString& key : keys)
                values.insert(key, readSetting(db, key));
            return values;
        });
    } catch (const fb::Error& e) {
        ReportDbError(QStringLiteral("Nie można pobrać ustawień ") +
                          keys.join(QStringLiteral(", ")) + QStringLiteral(" z konfiguracji!"),
                      kModuleName, e.text());
        QHash<QString, QString> values;
        for (const QString& key : keys)
            values.insert(key, QStringLiteral("-1"));
        return values;
    }
}

bool TDM::SetSetting(const QString& key, const QString& value)
{
    try {
        transact([&](DbSession& db) { storeSetting(db, key, value); });
        return true;
    } catch (const fb::Error& e) {
        ReportDbError(QStringLiteral("Nie można zapisać ustawienia ") + key +
                          QStringLiteral(" o wartości ") + loggable(key, value) +
                          QStringLiteral(" w konfiguracji!"),
                      kModuleName, e.text());
        return false;
    }
}

bool TDM::SetSettings(const QList<std::pair<QString, QString>>& values)
{
    try {
        transact([&](DbSession& db) {
            for (const auto& [key, value] : values)
                storeSetting(db, key, value);
        });
        return true;
    } catch (const fb::Error& e) {
        QStringList pairs;
        for (const auto& [key, value] : values)
            pairs << key + QStringLiteral(" = ") + loggable(key, value);
        ReportDbError(QStringLiteral("Nie można zapisać ustawień ") +
                          pairs.join(QStringLiteral(", ")) + QStringLiteral(" w konfiguracji!"),
                      kModuleName, e.text());
        return false;
    }
}
