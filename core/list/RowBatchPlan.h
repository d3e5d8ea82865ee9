#pragma once

// When the list's worker hands the rows read so far to the window. The first batch goes as soon
// as a screenful is in, so the list shows something at once; later batches grow fourfold up to
// a cap, so a long fill costs the window few insertions. A batch that has waited for
// kLongestWait goes whatever its size, so a search whose matches lie far apart still shows
// each one soon after it is found.

#include <QtGlobal>
#include <chrono>

class RowBatchPlan
{
public:
    using Clock = std::chrono::steady_clock;
    static constexpr qsizetype kLargestBatch = 16384;
    static constexpr std::chrono::milliseconds kLongestWait{100};

    RowBatchPlan(qsizetype firstBatch, Clock::time_point start);

    // Whether a batch holding rows rows, the first read since the last one went, goes now.
    bool isDue(qsizetype rows, Clock::time_point now) const;
    // Records that a batch went at now.
    void sent(Clock::time_point now);
    // The number of rows that makes the next batch due.
    qsizetype threshold() const { return threshold_; }

private:
    qsizetype threshold_;
    Clock::time_point since_;
};
