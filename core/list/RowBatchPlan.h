#pragma once

// When the list's worker hands the rows read so far to the window. The first batch goes as soon
// as a screenful is in, so the list shows something at once; later batches grow fourfold up to
// a cap, so a long fill costs the window few insertions (the view lays out every row again
// after each). Until a screenful has gone, a batch that has waited for kLongestWait goes
// whatever its size, so a search whose matches lie far apart still fills the screen as they
// are found; below the screen, rows wait up to kLaterWait.

#include <QtGlobal>
#include <chrono>

class RowBatchPlan
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr qsizetype kLargestBatch = 16384;
    static constexpr std::chrono::milliseconds kLongestWait{100};
    static constexpr std::chrono::milliseconds kLaterWait{1000};

    RowBatchPlan(qsizetype firstBatch, Clock::time_point start);

    // Whether a batch holding rows rows, the first read since the last one went, goes now.
    bool isDue(qsizetype rows, Clock::time_point now) const;
    // Records that a batch of rows rows went at now.
    void sent(qsizetype rows, Clock::time_point now);
    // The number of rows that makes the next batch due.
    qsizetype threshold() const { return threshold_; }

private:
    const qsizetype screenful_;
    qsizetype threshold_;
    qsizetype sentRows_ = 0;
    Clock::time_point since_;
};
