#include "core/list/RowBatchPlan.h"

#include <algorithm>

RowBatchPlan::RowBatchPlan(qsizetype firstBatch, Clock::time_point start)
    : screenful_(std::clamp<qsizetype>(firstBatch, 1, kLargestBatch)), threshold_(screenful_),
      since_(start)
{}

bool RowBatchPlan::isDue(qsizetype rows, Clock::time_point now) const
{
    if (rows >= threshold_)
        return true;
    const auto wait = sentRows_ < screenful_ ? std::chrono::milliseconds(kLongestWait) : kLaterWait;
    return rows > 0 && now - since_ >= wait;
}

void RowBatchPlan::sent(qsizetype rows, Clock::time_point now)
{
    threshold_ = std::min(threshold_ * 4, kLargestBatch);
    sentRows_ += rows;
    since_ = now;
}
