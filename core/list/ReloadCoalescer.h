#pragma once

// When a note list reloads for changes other programs announce. A burst of announcements costs
// one reload: each announcement that arrives within the quiet window of the one before it, or
// while a reload runs, joins the burst, and the list reloads once the burst has been quiet for
// the window. A burst that never goes quiet (another program importing thousands of notes)
// still reloads the list once per longest wait, so the list never lags far behind.
// Every reload of the list counts, the program's own ones too: a reload reads everything
// committed before it starts, so it answers every announcement received until then.
//
// Pure arithmetic on the times it is given; ReloadScheduler runs it with a timer.

#include <chrono>
#include <optional>

class ReloadCoalescer
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kQuietWindow{200};
    static constexpr std::chrono::milliseconds kLongestWait{2000};

    explicit ReloadCoalescer(std::chrono::milliseconds window = kQuietWindow,
                             std::chrono::milliseconds longest = kLongestWait)
        : window_(window), longest_(longest)
    {}

    // Another program changed the notes.
    void changeAnnounced(Clock::time_point now);
    void reloadStarted();
    void reloadFinished();

    // No value: nothing to do until the next call above (nothing announced, or a reload runs).
    // Zero: reload now. Otherwise: ask again after that long.
    std::optional<Clock::duration> reloadIn(Clock::time_point now) const;

private:
    std::chrono::milliseconds window_;
    std::chrono::milliseconds longest_;
    bool pending_ = false;
    bool reloading_ = false;
    // The first and the last announcement not answered by a reload yet.
    Clock::time_point firstPending_;
    Clock::time_point lastPending_;
};
