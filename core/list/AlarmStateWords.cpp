#include "core/list/AlarmStateWords.h"

#include "core/storage/AlarmColumns.h"

namespace alarm_state_words {

QString forState(int alarmState)
{
    switch (alarmState) {
    case AlarmRunning:
        return QStringLiteral("running alarm");
    case AlarmPlanned:
        return QStringLiteral("planned alarm");
    case AlarmAcknowledged:
        return QStringLiteral("acknowledged alarm");
    default:
        return {};
    }
}

QString rowText(int alarmState, const QString& title)
{
    const QString words = forState(alarmState);
    return words.isEmpty() ? title : words + QStringLiteral(": ") + title;
}

} // namespace alarm_state_words
