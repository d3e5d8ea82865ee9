#include "core/list/ReloadScheduler.h"

ReloadScheduler::ReloadScheduler(QObject* parent, std::chrono::milliseconds window)
    : QObject(parent), coalescer_(window)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &ReloadScheduler::decide);
}

void ReloadScheduler::changeAnnounced()
{
    coalescer_.changeAnnounced();
    decide();
}

void ReloadScheduler::reloadStarted()
{
    coalescer_.reloadStarted();
    timer_.stop();
}

void ReloadScheduler::reloadFinished()
{
    coalescer_.reloadFinished(ReloadCoalescer::Clock::now());
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
