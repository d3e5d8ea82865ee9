#pragma once

// When a note list reloads for changes other programs announce. A burst of announcements costs
// one reload: those that arrive while a reload runs, or within the quiet window after the last
// reload ended, are answered by a single reload at the end of that window; one that arrives
// after a quiet spell is answered at once. Every reload of the list counts, the program's own
// ones too: a reload reads everything committed before it starts, so it answers every
// announcement received until then.
//
// Pure arithmetic on the times it is given; ReloadScheduler runs it with a timer.

#include <chrono>
#include <optional>

class ReloadCoalescer
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kQuietWindow{200};

    explicit ReloadCoalescer(std::chrono::milliseconds window = kQuietWindow) : window_(window) {}

    // Another program changed the notes.
    void changeAnnounced();
    void reloadStarted();
    void reloadFinished(Clock::time_point now);

    // No value: nothing to do until the next call above (nothing announced, or a reload runs).
    // Zero: reload now. Otherwise: ask again after that long.
    std::optional<Clock::duration> reloadIn(Clock::time_point now) const;

private:
    std::chrono::milliseconds window_;
    bool pending_ = false;
    bool reloading_ = false;
    std::optional<Clock::time_point> lastFinished_;
};
