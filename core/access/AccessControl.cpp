#include "core/access/AccessControl.h"

#include "core/access/PasswordRules.h"
#include "core/storage/DataModule.h"
#include "core/storage/SettingsStore.h"

namespace access_password {

QString LoadPassword(TDM& dm, const QString& where)
{
    try {
        return settings_store::readValue(dm, kPasswordKey).value_or(QString());
    } catch (const fb::Error& e) {
        dm.ReportDbError(QStringLiteral("Can't retrieve password!"), where, e.text());
        return QString();
    }
}

bool SavePassword(TDM& dm, const QString& password)
{
    return dm.SetSetting(kPasswordKey, password);
}

bool CheckAccess(TDM& dm, const std::function<void()>& showLoginWindow)
{
    bool guarded = false;
    try {
        guarded = isProtectedBy(settings_store::readValue(dm, kPasswordKey));
    } catch (const fb::Error& e) {
        dm.ReportDbError(
            QStringLiteral("Nie można sprawdzić czy dostęp do programu jest strzeżony hasłem!"),
            QStringLiteral("DM"), e.text());
    }
    if (guarded) {
        dm.AccessGranted = false;
        showLoginWindow();
    } else {
        dm.AccessGranted = true;
    }
    return dm.AccessGranted;
}

bool CheckPassword(TDM& dm, const QString& entry, const QString& where)
{
    try {
        const std::optional<QString> stored = settings_store::readValue(dm, kPasswordKey);
        return stored && passwordMatches(*stored, entry);
    } catch (const fb::Error& e) {
        dm.ReportDbError(QStringLiteral("Can't check if password ") + kPasswordMask +
                             QStringLiteral(" is correct!"),
                         where, e.text());
        return false;
    }
}

} // namespace access_password
