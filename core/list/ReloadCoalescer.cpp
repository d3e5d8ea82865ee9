#include "core/list/ReloadCoalescer.h"

#include <algorithm>

void ReloadCoalescer::changeAnnounced(Clock::time_point now)
{
    if (!pending_)
        firstPending_ = now;
    lastPending_ = now;
    pending_ = true;
}

void ReloadCoalescer::reloadStarted()
{
    pending_ = false;
    reloading_ = true;
}

void ReloadCoalescer::reloadFinished()
{
    reloading_ = false;
}

std::optional<ReloadCoalescer::Clock::duration>
ReloadCoalescer::reloadIn(Clock::time_point now) const
{
    if (!pending_ || reloading_)
        return std::nullopt;
    const Clock::time_point due = std::min(lastPending_ + window_, firstPending_ + longest_);
    if (now >= due)
        return Clock::duration::zero();
    return due - now;
}
