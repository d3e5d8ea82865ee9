#pragma once

// The alarm due rule without a database or a window: the label that names a recurrence kind in
// the alarm notification, and the rule that decides whether a note's alarm fires now.
//
// Every date and time of the alarm columns is a local wall-clock reading without a time zone,
// as the note row stores it. The rule compares such readings; where a daylight-saving change
// makes a reading ambiguous it works out the real moments, so that one occurrence never fires
// twice and none is skipped when the clock is put back or forward.

#include "core/storage/AlarmColumns.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// The alarm columns of one note row. Integer columns read as NULL are -1, date and time
// columns read as NULL are null values.
struct AlarmValues
{
    int state = -1;         // Alarm, an AlarmState
    int kind = -1;          // AlarmRodzaj, an AlarmKind
    QDate date;             // AlarmData
    QTime time;             // AlarmGodzina
    QDate acknowledgedDate; // AlarmArchiwum: when the user last opened a fired alarm
    QTime acknowledgedTime;
};

// "(daily alarm)", "(weekly alarm)", "(monthly alarm)", "(annual alarm)" for kinds 1-4; the
// empty text for the one-off kind and for any other value.
QString AlarmKindLabel(int kind);

// Whether the alarm fires at now (the current local date and time).
//
// Only planned (2) and acknowledged (3) alarms can be due, and never with a date or time of
// day missing or a kind outside 0-4.
// - One-off: not acknowledged; its moment (its date at its time of day) has come, so one of an
//   earlier day is due at once.
// - Daily, weekly (the weekday of its date), monthly (the day of the month of its date, so
//   the 31st only in months that have one) and yearly (the month and day of its date, so
//   29 February only in leap years): today is a matching day, its time of day has come today,
//   and it has not been acknowledged since that moment (the occurrence). A repeating alarm
//   thus fires once for each occurrence, at the occurrence's time, however late the previous
//   one was acknowledged; the date of a repeating alarm is not a start date.
bool IsAlarmDue(const AlarmValues& alarm, const QDateTime& now);
