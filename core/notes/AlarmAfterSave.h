#pragma once

// What saving an existing note does to its stored alarm. The editor first rewrites the note's
// title and message, then reads the alarm state the row holds and asks this table which alarm
// statement, if any, follows.

#include "core/storage/AlarmColumns.h"

#include <optional>

struct AlarmWrite
{
    AlarmState state;
    // Whether the kind, date and time of the editor are written with the state.
    bool withSchedule;

    friend bool operator==(const AlarmWrite&, const AlarmWrite&) = default;
};

// storedState: the row's Alarm value; alarmTicked: the editor's alarm box; alarmChanged: the
// user touched the alarm section since the note was loaded. No value means no statement.
//
// A running alarm is acknowledged whatever the editor shows, since opening the note is the
// acknowledgement. A planned alarm is rewritten from the pickers on every save. An acknowledged
// alarm is rewritten only when the user touched the section, so saving the text alone keeps
// its acknowledgement moment. Any other stored value is left alone.
std::optional<AlarmWrite> alarmAfterSave(int storedState, bool alarmTicked, bool alarmChanged);
