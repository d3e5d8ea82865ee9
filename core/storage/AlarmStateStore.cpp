#include "core/storage/AlarmStateStore.h"

#include "core/storage/ChangeEvent.h"
#include "core/storage/DataModule.h"

int ReadAlarmState(TDM& dm, qint32 noteId)
{
    return dm.transact([&](DbSession& db) {
        auto query = db.open(sql::alarm::selectState(noteId));
        return query->fetch() ? int(query->integer("Alarm")) : 0;
    });
}

bool SetAlarmState(TDM& dm, qint32 noteId, int state,
                   const std::optional<sql::alarm::Schedule>& schedule, const QDateTime& now,
                   const QString& reporter)
{
    try {
        dm.transact([&](DbSession& db) {
            db.execute(sql::alarm::setState(noteId, state, schedule, now));
            change_event::post(db);
        });
        return true;
    } catch (const fb::Error& e) {
        dm.ReportDbError(QStringLiteral("Can't set the type of alarm!"), reporter, e.text());
        return false;
    }
}
