#pragma once

// The main window's background work: the alarm checker, which looks for due alarms and has the
// window show them; the blink beat of the running alarms at the top of the list, which runs only
// while one is listed and the window is shown; and the pause of the search box's blinking cursor
// while nobody is at the window. Each thread is a child of the window.

#include "core/alarms/AlarmChecker.h"
#include "core/alarms/BlinkingItems.h"
#include "core/alarms/LocalClock.h"

#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>

class NoteListModel;
class QWidget;
class TDM;

class MainWindowWorkers : public QObject
{
    Q_OBJECT
public:
    struct Settings
    {
        std::chrono::milliseconds alarmInterval = TAlarmChecker::kInterval;
        std::chrono::milliseconds blinkInterval = TBlinkingItems::kInterval;
        AlarmClock clock;
        // When set, replaces the alarm checker's pass over the database.
        PeriodicWorker::Pass checkAlarms;
    };

    // Starts the threads. showBalloon runs on the main thread inside the pass that fired the
    // alarms; blink switches the running alarms' pictures on each beat.
    MainWindowWorkers(TDM& dm, QWidget& window, NoteListModel& model, const Settings& settings,
                      TAlarmChecker::ShowBalloon showBalloon, std::function<void()> blink);

    // Asks both threads to end; called while the window they hand their calls to is whole.
    void requestStop();

    TAlarmChecker* alarmChecker() const { return alarmChecker_; }
    TBlinkingItems* blinkingItems() const { return blinkingItems_; }

    // Holds the alarm checker between passes (it waits for a pass under way); false when it
    // is stopping or could not be held.
    bool pauseAlarmChecker();
    void resumeAlarmChecker();

private:
    QPointer<TAlarmChecker> alarmChecker_;
    QPointer<TBlinkingItems> blinkingItems_;
};
