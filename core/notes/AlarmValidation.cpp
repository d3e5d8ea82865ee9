#include "core/notes/AlarmValidation.h"

namespace {

QTime toSecond(QTime time)
{
    return QTime(time.hour(), time.minute(), time.second());
}

} // namespace

AlarmVerdict validateAlarm(QDate date, QTime time, const QDateTime& now)
{
    const QDate today = now.date();
    if (date < today)
        return AlarmVerdict::DateBeforeToday;
    if (date == today && toSecond(time) <= toSecond(now.time()))
        return AlarmVerdict::TimeNotInFuture;
    return AlarmVerdict::Accepted;
}

QString alarmVerdictMessage(AlarmVerdict verdict)
{
    switch (verdict) {
    case AlarmVerdict::DateBeforeToday:
        return QStringLiteral("Alarm date can't be earlier than today's!");
    case AlarmVerdict::TimeNotInFuture:
        return QStringLiteral("Alarm time must be later than the current!");
    case AlarmVerdict::Accepted:
        break;
    }
    return {};
}
