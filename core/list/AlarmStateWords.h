#pragma once

// What a screen reader says about a note-list row: the note's alarm state in words, put
// before the title so that a running alarm is heard first.

#include <QString>

namespace alarm_state_words {

// "running alarm", "planned alarm" or "acknowledged alarm"; empty for a note without an alarm
// and for any value that is no alarm state.
QString forState(int alarmState);

// The row as read aloud: "<words>: <title>" for a note with an alarm, the title alone for one
// without.
QString rowText(int alarmState, const QString& title);

} // namespace alarm_state_words
