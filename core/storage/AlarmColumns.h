#pragma once

// The alarm states and recurrence kinds stored with each note.

// Values of NOTATKI.Alarm.
enum AlarmState : int
{
    AlarmNone = 0,
    AlarmRunning = 1,      // fired, not yet opened by the user
    AlarmPlanned = 2,      // set in the editor, not fired since
    AlarmAcknowledged = 3, // fired and opened since
};

// Values of NOTATKI.AlarmRodzaj: the position in the editor's kind list.
enum AlarmKind : int
{
    AlarmOnce = 0,
    AlarmDaily = 1,
    AlarmWeekly = 2,
    AlarmMonthly = 3,
    AlarmAnnual = 4,
};
