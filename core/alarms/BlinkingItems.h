#pragma once

// TBlinkingItems: the beat of the running-alarm icons. Every 500 ms it hands the main window's
// blink to the main thread and waits until it has run; it never touches a window itself and
// is never paused.

#include "core/alarms/PeriodicWorker.h"

class TBlinkingItems : public PeriodicWorker
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kInterval{500};

    explicit TBlinkingItems(std::function<void()> blinkRunningAlarms,
                            std::chrono::milliseconds interval = kInterval,
                            QObject* parent = nullptr)
        : PeriodicWorker(
              interval,
              [blink = std::move(blinkRunningAlarms)](PeriodicWorker& worker) {
                  worker.handOff(blink);
              },
              parent)
    {
        setObjectName(QStringLiteral("BlinkingItems"));
    }
};
