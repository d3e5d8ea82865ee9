#include "core/alarms/CheckAlarms.h"

#include "core/alarms/AlarmDueRule.h"
#include "core/storage/AlarmScanStore.h"
#include "core/storage/AlarmStateStore.h"
#include "core/storage/DataModule.h"
#include "core/text/Isolation.h"

namespace {

const QString kBalloonTitle = QStringLiteral("Quillbox A L A R M");
const QString kLineEnd = QStringLiteral("\r\n");
const QString kReporter = QStringLiteral("AlarmChecker");

} // namespace

QString alarmBalloonEntry(const QDate& date, const QTime& time, int kind, const QString& title)
{
    return QStringLiteral("[Alarm: ") + date.toString(QStringLiteral("yyyy-MM-dd")) +
           QStringLiteral(" ") + time.toString(QStringLiteral("HH:mm")) + QStringLiteral("]") +
           QStringLiteral(" ") + AlarmKindLabel(kind) + kLineEnd + isolation::isolated(title) +
           kLineEnd;
}

int CheckAlarms(TDM& dm, const AlarmClock& clock,
                const std::function<bool(const AlarmBalloon&)>& show,
                const std::function<bool()>& stop)
{
    AlarmBalloon balloon;
    try {
        alarm_scan_store::scan(dm, [&](const alarm_scan_store::ScannedAlarm& row) {
            if (stop && stop())
                return false;
            const AlarmValues alarm{
                row.state,           row.kind, row.date, row.time, row.acknowledgedDate,
                row.acknowledgedTime};
            if (!IsAlarmDue(alarm, clock()))
                return true;
            balloon.title = kBalloonTitle;
            balloon.text += alarmBalloonEntry(row.date, row.time, row.kind, row.title());
            ++balloon.entries;
            // Running before the list is reloaded, so the reloaded list shows it at the top.
            SetAlarmState(dm, row.id, AlarmRunning, std::nullopt, QDateTime(), kReporter);
            return show(balloon);
        });
    } catch (const fb::Error& e) {
        // The next pass starts afresh, on a connection opened again.
        qCDebug(lcDatabase).noquote()
            << "alarm check pass stopped by a database error:" << e.text();
        dm.Disconnect();
    }
    return balloon.entries;
}
