#include "core/notes/QuitSave.h"

QuitAlarm quitAlarm(const EditorAlarmState& editor, AlarmVerdict verdict)
{
    const bool okChecks = editor.ticked && (editor.newNote || editor.changed);
    if (okChecks && verdict != AlarmVerdict::Accepted)
        return QuitAlarm::LeaveStored;
    return QuitAlarm::AsShown;
}
