#pragma once

// TAlarmChecker: the background thread that looks for due alarms every ten seconds and has
// the main window show the alarm balloon. The main window pauses it while a note editor is
// open.
//
// The checker reads and writes the database on a connection of its own, opened on its thread
// at the first pass and closed when the thread ends: the main thread's connection is never
// used by two threads, no operation of one thread can interleave with one of the other, and a
// pass can keep its scan open while it waits for the main thread to show a balloon and reload
// the list. A pass stops at the next note when the checker is paused or stopped, so a pause
// or a stop waits at most for one note.

#include "core/alarms/CheckAlarms.h"
#include "core/alarms/PeriodicWorker.h"

#include <memory>

class DatabaseFileGuard;
class TDM;

class TAlarmChecker : public PeriodicWorker
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kInterval{10000};

    // Runs on the main thread, inside the pass that fired the alarms.
    using ShowBalloon = std::function<void(const AlarmBalloon&)>;

    // The checker of the note database the guard watches, reading the time from clock. Its
    // connection shares the guard of the window's, so a file moved or replaced is found, and
    // announced, once for the whole program, whichever connection finds it.
    TAlarmChecker(std::shared_ptr<DatabaseFileGuard> guard, AlarmClock clock,
                  ShowBalloon showBalloon, std::chrono::milliseconds interval = kInterval,
                  QObject* parent = nullptr);
    // A checker whose pass is given (for tests of what surrounds it).
    explicit TAlarmChecker(Pass checkAlarms, std::chrono::milliseconds interval = kInterval,
                           QObject* parent = nullptr);
    // Stops the thread while the members its pass uses are still whole.
    ~TAlarmChecker() override;

protected:
    void run() override;

private:
    void checkAlarms(PeriodicWorker& self);

    const std::shared_ptr<DatabaseFileGuard> guard_;
    const AlarmClock clock_;
    const ShowBalloon showBalloon_;
    TDM* dm_ = nullptr; // the running thread's own connection
};
