#include "core/storage/SettingsStore.h"

#include "core/storage/DataModule.h"
#include "core/storage/SettingsStatements.h"

namespace settings_store {

std::optional<QString> readValue(TDM& dm, const QString& key)
{
    return dm.transact([&](DbSession& db) -> std::optional<QString> {
        auto query = db.open(sql::settings::selectValue(key));
        if (!query->fetch())
            return std::nullopt;
        const QString value = query->text("Wartosc");
        return value.isNull() ? QStringLiteral("") : value;
    });
}

} // namespace settings_store
