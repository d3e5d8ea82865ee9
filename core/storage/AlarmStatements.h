#pragma once

// Statement texts that read and write a note's alarm state.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

namespace sql::alarm {

// The kind, date and time written when an alarm is planned.
struct Schedule
{
    int kind = 0;
    QDate date;
    QTime time;
};

// The alarm checker's scan: every note with an active alarm, newest first, with only the
// columns the due rule reads. The texts stay in the table: a message is up to 5,000
// characters, and the scan runs every few seconds over every planned alarm.
// SELECT ID, Alarm, AlarmRodzaj, AlarmData, AlarmGodzina, AlarmArchiwum FROM NOTATKI
// WHERE Alarm = 2 OR Alarm = 3 ORDER BY DataGodzina DESC
QString scan();

// The title of a note whose alarm fires.
// SELECT Tytul FROM NOTATKI WHERE ID = 17
QString selectTitle(qint32 noteId);

// SELECT Alarm FROM NOTATKI WHERE ID = 17
QString selectState(qint32 noteId);

// UPDATE NOTATKI SET Alarm = <state>[, AlarmRodzaj = .., AlarmData = .., AlarmGodzina = .. ]
// , AlarmArchiwum = <now when acknowledged, else NULL> WHERE ID = <id>. The schedule is
// written only when given and its kind is not -1.
QString setState(qint32 noteId, int state, const std::optional<Schedule>& schedule,
                 const QDateTime& now);

} // namespace sql::alarm
