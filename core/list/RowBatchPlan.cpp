#include "core/list/RowBatchPlan.h"

#include <algorithm>

RowBatchPlan::RowBatchPlan(qsizetype firstBatch, Clock::time_point start)
    : threshold_(std::clamp<qsizetype>(firstBatch, 1, kLargestBatch)), since_(start)
{}

bool RowBatchPlan::isDue(qsizetype rows, Clock::time_point now) const
{
    return rows >= threshold_ || (rows > 0 && now - since_ >= kLongestWait);
}

void RowBatchPlan::sent(Clock::time_point now)
{
    threshold_ = std::min(threshold_ * 4, kLargestBatch);
    since_ = now;
}
