#include "core/storage/ServerLogin.h"

#include "core/storage/FirebirdEnvironment.h"

namespace server_login {

Login builtIn()
{
    return {QStringLiteral("sysdba"), QStringLiteral("ironbirch")};
}

Login choose(const QString& databasePath, const QProcessEnvironment& environment)
{
    Login login = builtIn();
    if (!firebird_environment::isRemote(databasePath))
        return login;
    const QString user = environment.value(QStringLiteral("ISC_USER"));
    const QString password = environment.value(QStringLiteral("ISC_PASSWORD"));
    if (!user.isEmpty())
        login.user = user;
    if (!password.isEmpty())
        login.password = password;
    return login;
}

bool mayAskTheUser(const QString& databasePath, const QProcessEnvironment& environment)
{
    return firebird_environment::isRemote(databasePath) &&
           environment.value(QStringLiteral("ISC_PASSWORD")).isEmpty();
}

Login forDatabase(const QString& databasePath)
{
    return choose(databasePath, QProcessEnvironment::systemEnvironment());
}

} // namespace server_login
