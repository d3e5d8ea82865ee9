#include "core/alarms/AlarmDueRule.h"

#include <QVarLengthArray>
#include <algorithm>

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kJulianDayOfEpoch = 2440588; // 1970-01-01
// Two wall-clock readings further apart than this keep their order in real time: a change of
// the clock (a daylight-saving change moves it by one hour, at most two) cannot reverse it.
constexpr qint64 kLargestClockChange = 3 * 3600;

// A local date and time of day as seconds since 1970-01-01 00:00 on a clock that never
// changes: the order of wall-clock readings, with no time zone looked up.
qint64 wallSeconds(const QDate& day, const QTime& time)
{
    const qint64 secondOfDay = time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
    return (day.toJulianDay() - kJulianDayOfEpoch) * kSecondsPerDay + secondOfDay;
}

int localOffsetAt(qint64 instant)
{
    return QDateTime::fromSecsSinceEpoch(instant).offsetFromUtc();
}

// What the local clock reads at an instant (seconds since the epoch), in wall seconds.
qint64 wallAt(qint64 instant)
{
    return instant + localOffsetAt(instant);
}

// The instants at which the local clock reads wall, earliest first: none when the clock
// jumps over it, two when the clock is put back over it.
QVarLengthArray<qint64, 3> instantsReading(qint64 wall)
{
    QVarLengthArray<qint64, 3> found;
    // A change of the clock lies within hours of the reading; the offsets a day before and a
    // day after are those on either side of it.
    for (const qint64 probe : {wall - kSecondsPerDay, wall, wall + kSecondsPerDay}) {
        const qint64 candidate = wall - localOffsetAt(probe);
        if (wallAt(candidate) == wall && !found.contains(candidate))
            found.append(candidate);
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The first instant at which the local clock reads wall or later: the first of two readings
// in an hour put back, the moment of the jump for a reading the clock jumps over.
qint64 firstInstantReaching(qint64 wall)
{
    const auto found = instantsReading(wall);
    if (!found.isEmpty())
        return found.front();
    const int before = localOffsetAt(wall - kSecondsPerDay);
    const int after = localOffsetAt(wall + kSecondsPerDay);
    qint64 low = wall - std::max(before, after);  // the clock reads less than wall here
    qint64 high = wall - std::min(before, after); // and at least wall here
    if (wallAt(low) >= wall || wallAt(high) < wall)
        return high;
    while (high - low > 1) {
        const qint64 middle = low + (high - low) / 2;
        (wallAt(middle) >= wall ? high : low) = middle;
    }
    return high;
}

// The instant of an acknowledgement the clock read as wall. When the clock read it twice (the
// hour put back), the later reading, provided that it has already happened: an
// acknowledgement lies in the past.
qint64 acknowledgementInstant(qint64 wall, qint64 now)
{
    const auto found = instantsReading(wall);
    if (found.isEmpty())
        return firstInstantReaching(wall);
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        if (*it <= now)
            return *it;
    }
    return found.front();
}

// Whether today is a day on which the alarm can fire.
bool isMatchingDay(const AlarmValues& alarm, const QDate& today)
{
    switch (alarm.kind) {
    case AlarmOnce:
        return alarm.state != AlarmAcknowledged && today >= alarm.date;
    case AlarmDaily:
        return true;
    case AlarmWeekly:
        return today.dayOfWeek() == alarm.date.dayOfWeek();
    case AlarmMonthly:
        return today.day() == alarm.date.day();
    case AlarmAnnual:
        return today.month() == alarm.date.month() && today.day() == alarm.date.day();
    default:
        return false;
    }
}

// Whether the acknowledgement came before today's occurrence (both wall seconds).
bool acknowledgedBefore(qint64 acknowledged, qint64 occurrence, const QDateTime& now)
{
    // A reading at or after the occurrence's happened after the first moment the clock showed
    // the occurrence, whatever the clock did in between.
    if (acknowledged >= occurrence)
        return false;
    if (occurrence - acknowledged >= kLargestClockChange)
        return true;
    // Shortly before on the clock: with the clock put back in between, the acknowledgement
    // may have come after the occurrence's first moment, answering its firing.
    return acknowledgementInstant(acknowledged, now.toSecsSinceEpoch()) <
           firstInstantReaching(occurrence);
}

} // namespace

QString AlarmKindLabel(int kind)
{
    switch (kind) {
    case AlarmDaily:
        return QStringLiteral("(daily alarm)");
    case AlarmWeekly:
        return QStringLiteral("(weekly alarm)");
    case AlarmMonthly:
        return QStringLiteral("(monthly alarm)");
    case AlarmAnnual:
        return QStringLiteral("(annual alarm)");
    default:
        return QString();
    }
}

bool IsAlarmDue(const AlarmValues& alarm, const QDateTime& now)
{
    if (alarm.state != AlarmPlanned && alarm.state != AlarmAcknowledged)
        return false;
    if (!alarm.date.isValid() || !alarm.time.isValid() || !now.isValid())
        return false;
    const QDate today = now.date();
    if (!isMatchingDay(alarm, today))
        return false;
    // A one-off alarm of an earlier day is overdue whatever the time of day now: missed while
    // the computer was off, it fires at the first pass.
    if (alarm.kind == AlarmOnce && alarm.date < today)
        return true;
    // The time of day has come when the clock shows it or a later time of the day, so a time
    // the clock jumps over is reached at the jump.
    const qint64 occurrence = wallSeconds(today, alarm.time);
    if (wallSeconds(today, now.time()) < occurrence)
        return false;
    if (alarm.kind == AlarmOnce || !alarm.acknowledgedDate.isValid())
        return true;
    return acknowledgedBefore(wallSeconds(alarm.acknowledgedDate, alarm.acknowledgedTime),
                              occurrence, now);
}
