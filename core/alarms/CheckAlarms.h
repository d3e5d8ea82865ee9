#pragma once

// One pass of the alarm checker: it finds the due alarms among the notes with an active
// alarm, marks each as running and has the main window show the alarm balloon.

#include <QDateTime>
#include <QString>
#include <functional>

class TDM;

// The clock the alarm code asks for the current local date and time.
using AlarmClock = std::function<QDateTime()>;

// What the main window shows when alarms fire: every alarm fired so far in the pass, two lines
// each, so the last balloon of a pass lists them all.
struct AlarmBalloon
{
    QString title;
    QString text;
    int entries = 0; // alarms listed; a balloon with more than one follows one of the same pass
};

// The balloon's entry for one alarm: "[Alarm: 2024-05-01 08:30] (daily alarm)" and the title,
// each line ending in CR+LF. The first line of a one-off alarm ends in "] ". The title is
// isolated (U+2068 ... U+2069): what it holds reorders nothing of the other entries.
QString alarmBalloonEntry(const QDate& date, const QTime& time, int kind, const QString& title);

// The pass. dm must be a data module of the calling thread alone: its scan stays open while
// the balloon is shown. For each note with a planned or acknowledged alarm, newest first, the
// clock is read and, when the alarm is due, the note is set to running (a failure goes to the
// failure report as "Can't set the type of alarm!" and the balloon is shown all the same) and
// show is called with the balloon so far. show runs the balloon on the main thread and returns
// once it has run; it answers false when it could not, which ends the pass. stop, when given,
// is asked before each note and ends the pass when it answers true. Any database failure of
// the scan ends the pass without a message. Returns the number of alarms fired.
int CheckAlarms(TDM& dm, const AlarmClock& clock,
                const std::function<bool(const AlarmBalloon&)>& show,
                const std::function<bool()>& stop = {});
