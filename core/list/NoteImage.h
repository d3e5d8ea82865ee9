#pragma once

// The image index of a note-list row: which of the four list pictures it shows.

namespace note_image {

enum NoteImage
{
    StandardNote = 0,     // a yellow sticky note: no alarm
    PlannedAlarm = 1,     // the note with a small red alarm sign: planned or acknowledged
    RunningAlarm = 2,     // a red alarm sign: fired, not yet opened
    RunningAlarmRays = 3, // the alarm sign with rays: second blink frame of a running alarm
};

// The image of a note listed outside the running group: 0 for a note without an alarm, 1 for
// a planned or acknowledged alarm; any other state shows as a plain note.
int forState(int alarmState);

} // namespace note_image
