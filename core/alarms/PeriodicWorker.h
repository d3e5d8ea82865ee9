#pragma once

// A background thread that sleeps for an interval and then runs one pass, over and over.
// A pass that must touch the user interface hands a call to the main thread with handOff()
// and waits for it, as the list and the tray belong to the main thread.
//
// The main thread can pause the worker: pause() returns once no pass is running, and no new
// pass starts until resume(). While it waits, pause() itself runs any call the pass hands off,
// so a pass blocked on the main thread can always finish. requestStop() ends the thread
// without another pass; a call handed off after it is dropped, never run.
//
// A worker that has nothing to do for a while is made inactive with setActive(false): it then
// sleeps without waking at all until setActive(true), after which a full interval passes
// before the next pass. A new worker is active.

#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <chrono>
#include <functional>

class PeriodicWorker : public QThread
{
    Q_OBJECT
public:
    using Pass = std::function<void(PeriodicWorker&)>;

    PeriodicWorker(std::chrono::milliseconds interval, Pass pass, QObject* parent = nullptr);
    // Stops the thread and waits for it.
    ~PeriodicWorker() override;

    // Main thread: true once the worker is paused (also when it was already paused); false
    // when it has been asked to stop.
    bool pause();
    void resume();
    bool isPaused() const;
    // Main thread: whether the worker beats at all. Unlike pause(), never waits.
    void setActive(bool active);
    bool isActive() const;
    bool isStopRequested() const;
    // Asks the thread to stop and waits until it has; pending hand-offs are dropped and a pause
    // ends.
    void requestStop();
    // The same without waiting: the thread ends (closing what it holds) while the caller goes
    // on; requestStop() or the destructor waits for it later.
    void askToStop();

    // Worker thread: runs call on the main thread and waits until it has run. False when the
    // call was dropped because the worker is stopping.
    bool handOff(const std::function<void()>& call);

protected:
    void run() override;

private:
    void runPendingCall(); // main thread
    bool takeAndRunPendingLocked(QMutexLocker<QMutex>& lock);

    const std::chrono::milliseconds interval_;
    const Pass pass_;
    mutable QMutex mutex_;
    QWaitCondition changed_;
    bool stop_ = false;
    bool paused_ = false;
    bool active_ = true;
    bool inPass_ = false;
    const std::function<void()>* pendingCall_ = nullptr;
    bool callDone_ = false;
    bool callRunning_ = false;
};
