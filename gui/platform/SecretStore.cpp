#include "gui/platform/SecretStore.h"

#include <QLoggingCategory>

#ifdef QUILLBOX_SECRET_STORE
#include <QEventLoop>
#include <qt6keychain/keychain.h>
#endif

namespace {

Q_LOGGING_CATEGORY(lcSecrets, "quillbox.secrets")

#ifdef QUILLBOX_SECRET_STORE
// The entries' service name; each entry's key is the database path it logs in to.
const QString kService = QStringLiteral("Quillbox server login");

// Runs the job to its end; true when it succeeded. Its error text names the store's problem,
// never the secret.
bool run(QKeychain::Job& job)
{
    job.setAutoDelete(false);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
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
    job.setKey(databasePath);
    if (!run(job))
        return std::nullopt;
    // The user name, a line break, the password: a user name holds no line break.
    const QString entry = job.textData();
    const qsizetype lineBreak = entry.indexOf(QLatin1Char('\n'));
    if (lineBreak <= 0)
        return std::nullopt;
    return server_login::Login{entry.left(lineBreak), entry.mid(lineBreak + 1)};
}

bool writeLogin(const QString& databasePath, const server_login::Login& login)
{
    QKeychain::WritePasswordJob job(kService);
    job.setKey(databasePath);
    job.setTextData(login.user + QLatin1Char('\n') + login.password);
    return run(job);
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

bool writeLogin(const QString&, const server_login::Login&)
{
    qCInfo(lcSecrets) << "built without a secret store: the login is not remembered";
    return false;
}

#endif

} // namespace secret_store
