#pragma once

// TAlarmChecker: the background thread that looks for due alarms every ten seconds. Its pass is
// given by the owner; the main window pauses it while a note editor is open.

#include "core/alarms/PeriodicWorker.h"

class TAlarmChecker : public PeriodicWorker
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kInterval{10000};

    explicit TAlarmChecker(Pass checkAlarms, std::chrono::milliseconds interval = kInterval,
                           QObject* parent = nullptr)
        : PeriodicWorker(interval, std::move(checkAlarms), parent)
    {
        setObjectName(QStringLiteral("AlarmChecker"));
    }
};
