#pragma once

// The check of an alarm moment chosen in the editor before it is saved.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

enum class AlarmVerdict
{
    Accepted,
    DateBeforeToday, // the date picker is at fault
    TimeNotInFuture, // today's date with a time that has already come: the time picker
};

// A date after today is accepted with any time; today's date needs a time later than now,
// compared to the second (the picker keeps the seconds it was given even though it shows only
// hours and minutes).
AlarmVerdict validateAlarm(QDate date, QTime time, const QDateTime& now);

// The message shown for a refused moment; empty for an accepted one.
QString alarmVerdictMessage(AlarmVerdict verdict);
