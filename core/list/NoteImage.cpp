#include "core/list/NoteImage.h"

#include "core/storage/AlarmColumns.h"

namespace note_image {

int forState(int alarmState)
{
    switch (alarmState) {
    case AlarmPlanned:
    case AlarmAcknowledged:
        return PlannedAlarm;
    default:
        return StandardNote;
    }
}

} // namespace note_image
