#include "core/alarms/PeriodicWorker.h"

#include <QDeadlineTimer>

PeriodicWorker::PeriodicWorker(std::chrono::milliseconds interval, Pass pass, QObject* parent)
    : QThread(parent), interval_(interval), pass_(std::move(pass))
{}

PeriodicWorker::~PeriodicWorker()
{
    requestStop();
}

bool PeriodicWorker::pause()
{
    QMutexLocker lock(&mutex_);
    if (stop_)
        return false;
    paused_ = true;
    while (inPass_) {
        if (!takeAndRunPendingLocked(lock))
            changed_.wait(&mutex_);
    }
    return true;
}

void PeriodicWorker::resume()
{
    QMutexLocker lock(&mutex_);
    paused_ = false;
    changed_.wakeAll();
}

bool PeriodicWorker::isPaused() const
{
    QMutexLocker lock(&mutex_);
    return paused_;
}

void PeriodicWorker::setActive(bool active)
{
    QMutexLocker lock(&mutex_);
    if (active_ == active)
        return;
    active_ = active;
    changed_.wakeAll();
}

bool PeriodicWorker::isActive() const
{
    QMutexLocker lock(&mutex_);
    return active_;
}

bool PeriodicWorker::isStopRequested() const
{
    QMutexLocker lock(&mutex_);
    return stop_;
}

void PeriodicWorker::requestStop()
{
    askToStop();
    wait();
}

void PeriodicWorker::askToStop()
{
    QMutexLocker lock(&mutex_);
    stop_ = true;
    // A stopping worker is not paused: it runs no pass any more either way.
    paused_ = false;
    if (pendingCall_) {
        pendingCall_ = nullptr;
        callDone_ = false;
    }
    changed_.wakeAll();
}

bool PeriodicWorker::handOff(const std::function<void()>& call)
{
    QMutexLocker lock(&mutex_);
    if (stop_)
        return false;
    pendingCall_ = &call;
    callDone_ = false;
    changed_.wakeAll();
    QMetaObject::invokeMethod(this, &PeriodicWorker::runPendingCall, Qt::QueuedConnection);
    // A call already running on the main thread is waited for even when a stop comes in: it
    // still uses the caller's function object.
    while ((!callDone_ && !stop_) || callRunning_)
        changed_.wait(&mutex_);
    pendingCall_ = nullptr;
    return callDone_;
}

void PeriodicWorker::runPendingCall()
{
    QMutexLocker lock(&mutex_);
    takeAndRunPendingLocked(lock);
}

bool PeriodicWorker::takeAndRunPendingLocked(QMutexLocker<QMutex>& lock)
{
    if (!pendingCall_ || callDone_ || stop_)
        return false;
    const std::function<void()>* call = pendingCall_;
    pendingCall_ = nullptr;
    callRunning_ = true;
    lock.unlock();
    (*call)();
    lock.relock();
    callRunning_ = false;
    callDone_ = true;
    changed_.wakeAll();
    return true;
}

void PeriodicWorker::run()
{
    QMutexLocker lock(&mutex_);
    while (!stop_) {
        // Inactive, the thread waits without a deadline: no wake-up until there is work.
        while (!active_ && !stop_)
            changed_.wait(&mutex_);
        QDeadlineTimer sleep(interval_);
        while (!stop_ && active_ && !sleep.hasExpired())
            changed_.wait(&mutex_, sleep);
        if (!active_)
            continue; // made inactive while sleeping: the interval starts afresh when active
        while (paused_ && !stop_)
            changed_.wait(&mutex_);
        if (stop_)
            break;
        inPass_ = true;
        lock.unlock();
        pass_(*this);
        lock.relock();
        inPass_ = false;
        changed_.wakeAll();
    }
}
