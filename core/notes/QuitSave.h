#pragma once

// What an editor stores when the program ends under it without anybody to ask: log-out and
// termination signals. Nothing typed may be lost, so the title and message are always stored;
// the alarm is stored as shown only where OK would accept it.

#include "core/notes/AlarmValidation.h"

enum class QuitAlarm
{
    // The alarm section as the editor shows it, as OK would store it.
    AsShown,
    // The stored alarm stays as it was; a new note gets none.
    LeaveStored
};

struct EditorAlarmState
{
    bool newNote = false;
    // The editor's alarm box.
    bool ticked = false;
    // The user touched the alarm section since the note was loaded.
    bool changed = false;
};

// OK checks the moment of a new note's ticked alarm, and of an existing note's ticked alarm
// that the user touched; the verdict is that check's, made now.
QuitAlarm quitAlarm(const EditorAlarmState& editor, AlarmVerdict verdict);
