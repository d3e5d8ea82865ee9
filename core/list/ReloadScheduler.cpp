#include "core/list/ReloadScheduler.h"

ReloadScheduler::ReloadScheduler(QObject* parent) : QObject(parent), timer_(this)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &ReloadScheduler::decide);
}

void ReloadScheduler::changeAnnounced()
{
    coalescer_.changeAnnounced(ReloadCoalescer::Clock::now());
    // A timer already running ends before the new due time; it asks again then.
    decide();
}

void ReloadScheduler::reloadStarted()
{
    coalescer_.reloadStarted();
    timer_.stop();
}

void ReloadScheduler::reloadFinished()
{
    coalescer_.reloadFinished();
    decide();
}

void ReloadScheduler::decide()
{
    const auto wait = coalescer_.reloadIn(ReloadCoalescer::Clock::now());
    if (!wait)
        return;
    if (*wait == ReloadCoalescer::Clock::duration::zero()) {
        Q_EMIT reloadDue();
        return;
    }
    if (!timer_.isActive())
        timer_.start(std::chrono::ceil<std::chrono::milliseconds>(*wait));
}
