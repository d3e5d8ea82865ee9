#pragma once

// The program's pictures, drawn in code so the executable needs no files beside it.

#include <QIcon>
#include <QPixmap>

namespace icons {

// The four note-list images, in list order: a yellow sticky note; the note with a small red
// alarm sign; a red alarm sign; the alarm sign with rays (second blink frame).
enum NoteImage
{
    StandardNote = 0,
    PlannedAlarm = 1,
    RunningAlarm = 2,
    RunningAlarmRays = 3
};
QPixmap noteImage(int index);

QIcon trayIcon();
QIcon newNote();
QIcon trash();
QPixmap trashDisabled();
QPixmap magnifier();
QPixmap alarmSign();
// The pictures of the note editor's OK and Cancel buttons: a green tick and a red cross.
QIcon okMark();
QIcon cancelMark();

} // namespace icons
