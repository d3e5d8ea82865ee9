#include "gui/platform/SecretStore.h"

#include <QLoggingCategory>
#include <QObject>

#ifdef QUILLBOX_SECRET_STORE
#include <QEventLoop>
#include <qt6keychain/keychain.h>
#endif

namespace {

Q_LOGGING_CATEGORY(lcSecrets, "quillbox.secrets")

#ifdef QUILLBOX_SECRET_STORE
// The entries' service name; each entry's key is the database path it logs in to.
const QString kService = QStringLiteral("Quillbox server login");

// Whether a finished job succeeded; a failure is logged. Its error text names the store's
// problem, never the secret.
bool succeeded(const QKeychain::Job& job)
{
    if (job.error() != QKeychain::NoError && job.error() != QKeychain::EntryNotFound)
        qCWarning(lcSecrets).noquote()
            << "the desktop's secret store did not answer:" << job.errorString();
    return job.error() == QKeychain::NoError;
}
#endif

} // namespace

namespace secret_store {

#ifdef QUILLBOX_SECRET_STORE

bool isBuiltIn()
{
    return true;
}

std::optional<server_login::Login> readLogin(const QString& databasePath)
{
    QKeychain::ReadPasswordJob job(kService);
    job.setAutoDelete(false);
    job.setKey(databasePath);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    if (!succeeded(job))
        return std::nullopt;
    // The user name, a line break, the password: a user name holds no line break.
    const QString entry = job.textData();
    const qsizetype lineBreak = entry.indexOf(QLatin1Char('\n'));
    if (lineBreak <= 0)
        return std::nullopt;
    return server_login::Login{entry.left(lineBreak), entry.mid(lineBreak + 1)};
}

void writeLogin(const QString& databasePath, const server_login::Login& login, QObject* owner,
                const std::function<void(bool)>& done)
{
    // The job deletes itself once it has finished, or goes with its owner.
    auto* job = new QKeychain::WritePasswordJob(kService, owner);
    job->setKey(databasePath);
    job->setTextData(login.user + QLatin1Char('\n') + login.password);
    QObject::connect(job, &QKeychain::Job::finished, owner, [done](QKeychain::Job* finished) {
        const bool stored = succeeded(*finished);
        if (done)
            done(stored);
    });
    job->start();
}

#else

bool isBuiltIn()
{
    return false;
}

std::optional<server_login::Login> readLogin(const QString&)
{
    return std::nullopt;
}

void writeLogin(const QString&, const server_login::Login&, QObject*,
                const std::function<void(bool)>& done)
{
    qCInfo(lcSecrets) << "built without a secret store: the login is not remembered";
    if (done)
        done(false);
}

#endif

} // namespace secret_store
