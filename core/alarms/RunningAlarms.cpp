#include "core/alarms/RunningAlarms.h"

#include "core/storage/DataModule.h"
#include "core/storage/NoteListStatements.h"

namespace running_alarms {

std::optional<QStringList> titles(TDM& dm)
{
    try {
        return dm.watch([](DbSession& db) {
            auto query = db.open(sql::notes::fullList().running);
            const int title = query->column("Tytul");
            QStringList titles;
            while (query->fetch())
                titles << query->text(title);
            return titles;
        });
    } catch (const fb::Error& e) {
        qCDebug(lcDatabase).noquote() << "running alarms not read:" << e.text();
        return std::nullopt;
    }
}

} // namespace running_alarms
