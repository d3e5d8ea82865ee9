#include "core/storage/AlarmStatements.h"

#include "core/storage/AlarmColumns.h"
#include "core/storage/SqlText.h"

namespace sql::alarm {

QString scan()
{
    return QStringLiteral("SELECT ID, Alarm, AlarmRodzaj, AlarmData, AlarmGodzina, "
                          "AlarmArchiwum FROM NOTATKI WHERE Alarm = ") +
           number(AlarmPlanned) + QStringLiteral(" OR ") + QStringLiteral("Alarm = ") +
           number(AlarmAcknowledged) + QStringLiteral(" ") +
           QStringLiteral("ORDER BY DataGodzina DESC");
}

QString selectTitle(qint32 noteId)
{
    return QStringLiteral("SELECT Tytul FROM NOTATKI WHERE ID = ") + number(noteId);
}

QString selectState(qint32 noteId)
{
    return QStringLiteral("SELECT Alarm FROM NOTATKI WHERE ID = ") + number(noteId);
}

QString setState(qint32 noteId, int state, const std::optional<Schedule>& schedule,
                 const QDateTime& now)
{
    QString scheduleText;
    if (schedule && schedule->kind != -1) {
        scheduleText =
            QStringLiteral(", AlarmRodzaj = ") + number(schedule->kind) + QStringLiteral(", ") +
            QStringLiteral("AlarmData = ") + dateLiteral(schedule->date) + QStringLiteral(", ") +
            QStringLiteral("AlarmGodzina = ") + timeLiteral(schedule->time) + QStringLiteral(" ");
    }
    const QString acknowledgement =
        state == AlarmAcknowledged
            ? QStringLiteral(", AlarmArchiwum = ") + timestampLiteral(now) + QStringLiteral(" ")
            : QStringLiteral(", AlarmArchiwum = NULL ");
    return QStringLiteral("UPDATE NOTATKI SET Alarm = ") + number(state) + scheduleText +
           acknowledgement + QStringLiteral("WHERE ") + QStringLiteral("ID = ") + number(noteId);
}

} // namespace sql::alarm
