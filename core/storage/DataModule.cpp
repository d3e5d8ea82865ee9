#include "core/storage/DataModule.h"

#include "core/storage/FirebirdEnvironment.h"
#include "core/storage/SettingsStatements.h"

#include <QCoreApplication>
#include <QThread>

Q_LOGGING_CATEGORY(lcDatabase, "quillbox.db")
Q_LOGGING_CATEGORY(lcSql, "quillbox.db.sql", QtWarningMsg)

namespace {
const QString kUser = QStringLiteral("sysdba");
const QString kPassword = QStringLiteral("ironbirch");
const QString kCharacterSet = QStringLiteral("UTF8");
const QString kModuleName = QStringLiteral("DM");
} // namespace

std::unique_ptr<fb::Statement> DbSession::open(const QString& sql)
{
    qCDebug(lcSql).noquote() << sql;
    auto statement = std::make_unique<fb::Statement>(db_, tr_, sql.toUtf8());
    statement->execute();
    return statement;
}

qint64 DbSession::execute(const QString& sql)
{
    qCDebug(lcSql).noquote() << sql;
    fb::Statement statement(db_, tr_, sql.toUtf8());
    statement.execute();
    return statement.affectedRows();
}

TDM::TDM(QString databasePath, QObject* parent) : QObject(parent), path_(std::move(databasePath)) {}

TDM::~TDM()
{
    std::lock_guard lock(mutex_);
    try {
        db_.detach();
    } catch (const fb::Error&) {
    }
}

QString TDM::defaultDatabasePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/dbn.ib");
}

void TDM::attach()
{
    firebird_environment::prepare(path_);
    db_.attach(path_, kUser, kPassword, kCharacterSet);
    qCDebug(lcSql).noquote() << "-- connected to" << path_;
}

void TDM::ensureConnected()
{
    if (!db_.isAttached())
        attach();
}

bool TDM::Connect()
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
            return false;
        }
    }
}

bool TDM::Disconnect()
{
    std::lock_guard lock(mutex_);
    try {
        db_.detach();
        qCDebug(lcSql).noquote() << "-- disconnected";
        return true;
    } catch (const fb::Error& e) {
        qCWarning(lcDatabase).noquote() << "cannot close" << path_ << ":" << e.text();
        return false;
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

QString TDM::GetSetting(const QString& key)
{
    try {
        return transact([&](DbSession& db) {
            auto query = db.open(sql::settings::selectValue(key));
            if (!query->fetch())
                return QStringLiteral("-1");
            const QString value = query->text("Wartosc");
            return value.isNull() ? QStringLiteral("") : value;
        });
    } catch (const fb::Error& e) {
        ReportDbError(QStringLiteral("Nie można pobrać ustawienia ") + key +
                          QStringLiteral(" z konfiguracji!"),
                      kModuleName, e.text());
        return QStringLiteral("-1");
    }
}

bool TDM::SetSetting(const QString& key, const QString& value)
{
    try {
        transact([&](DbSession& db) {
            qint64 id = 0;
            bool exists = false;
            {
                auto query = db.open(sql::settings::selectRow(key));
                if (query->fetch()) {
                    id = query->integer("ID");
                    exists = true;
                }
            }
            db.execute(exists ? sql::settings::update(key, value, id)
                              : sql::settings::insert(key, value));
        });
        return true;
    } catch (const fb::Error& e) {
        ReportDbError(QStringLiteral("Nie można zapisać ustawienia ") + key +
                          QStringLiteral(" o wartości ") + value +
                          QStringLiteral(" w konfiguracji!"),
                      kModuleName, e.text());
        return false;
    }
}
