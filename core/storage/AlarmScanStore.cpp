#include "core/storage/AlarmScanStore.h"

#include "core/storage/AlarmStatements.h"
#include "core/storage/DataModule.h"

namespace alarm_scan_store {

void scan(TDM& dm, const std::function<bool(const ScannedAlarm&)>& visit)
{
    dm.watch([&](DbSession& db) {
        auto query = db.open(sql::alarm::scan());
        const int id = query->column("ID");
        const int state = query->column("Alarm");
        const int kind = query->column("AlarmRodzaj");
        const int date = query->column("AlarmData");
        const int time = query->column("AlarmGodzina");
        const int acknowledged = query->column("AlarmArchiwum");
        auto integerOrMinusOne = [&](int column) {
            return query->isNull(column) ? -1 : int(query->integer(column));
        };
        ScannedAlarm row;
        row.title = [&db, &row] {
            auto titleQuery = db.open(sql::alarm::selectTitle(row.id));
            return titleQuery->fetch() ? titleQuery->text(0) : QString();
        };
        while (query->fetch()) {
            row.id = qint32(query->integer(id));
            row.state = integerOrMinusOne(state);
            row.kind = integerOrMinusOne(kind);
            row.date = query->date(date);
            row.time = query->time(time);
            const auto [day, dayTime] = query->timestampParts(acknowledged);
            row.acknowledgedDate = day;
            row.acknowledgedTime = dayTime;
            if (!visit(row))
                return;
        }
    });
}

} // namespace alarm_scan_store
