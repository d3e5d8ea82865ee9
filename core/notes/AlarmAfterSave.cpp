#include "core/notes/AlarmAfterSave.h"

std::optional<AlarmWrite> alarmAfterSave(int storedState, bool alarmTicked, bool alarmChanged)
{
    const AlarmWrite planned{AlarmPlanned, true};
    const AlarmWrite switchedOff{AlarmNone, false};
    // Readers of the state look at its low byte only, the range the states live in.
    switch (storedState & 0xFF) {
    case AlarmNone:
        if (alarmTicked)
            return planned;
        return std::nullopt;
    case AlarmRunning:
        return AlarmWrite{AlarmAcknowledged, false};
    case AlarmPlanned:
        return alarmTicked ? planned : switchedOff;
    case AlarmAcknowledged:
        if (!alarmChanged)
            return std::nullopt;
        return alarmTicked ? planned : switchedOff;
    default:
        return std::nullopt;
    }
}
