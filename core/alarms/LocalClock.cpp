#include "core/alarms/LocalClock.h"

namespace {
constexpr qint64 kReuseMs = 60 * 1000;
}

QDateTime LocalClock::now()
{
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    if (ms < knownFrom_ || ms >= knownUntil_) {
        offset_ = QDateTime::fromMSecsSinceEpoch(ms).offsetFromUtc();
        // The same offset a minute on: no change of the clock lies in between (changes are
        // months apart), so the offset holds for every reading until then.
        const bool steady =
            QDateTime::fromMSecsSinceEpoch(ms + kReuseMs).offsetFromUtc() == offset_;
        knownFrom_ = ms;
        knownUntil_ = steady ? ms + kReuseMs : ms;
    }
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offset_);
}
