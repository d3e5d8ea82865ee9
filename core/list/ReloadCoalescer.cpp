#include "core/list/ReloadCoalescer.h"

void ReloadCoalescer::changeAnnounced()
{
    pending_ = true;
}

void ReloadCoalescer::reloadStarted()
{
    pending_ = false;
    reloading_ = true;
}

void ReloadCoalescer::reloadFinished(Clock::time_point now)
{
    reloading_ = false;
    lastFinished_ = now;
}

std::optional<ReloadCoalescer::Clock::duration>
ReloadCoalescer::reloadIn(Clock::time_point now) const
{
    if (!pending_ || reloading_)
        return std::nullopt;
    if (!lastFinished_ || now >= *lastFinished_ + window_)
        return Clock::duration::zero();
    return *lastFinished_ + window_ - now;
}
