#include "core/notes/AcknowledgeOnOpen.h"

#include "core/storage/AlarmColumns.h"
#include "core/storage/AlarmStateStore.h"

bool acknowledgeAlarmOnOpen(TDM& dm, qint32 noteId, const QDateTime& now, const QString& reporter)
{
    // Readers of the state look at its low byte only, the range the states live in.
    if ((ReadAlarmState(dm, noteId) & 0xFF) != AlarmRunning)
        return false;
    SetAlarmState(dm, noteId, AlarmAcknowledged, std::nullopt, now, reporter);
    return true;
}
