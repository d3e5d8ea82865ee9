#pragma once

// The current local date and time, cheap enough to read for every note of a check pass.
//
// Turning the system clock into local time costs a time-zone look-up (with the zone taken
// from /etc/localtime, a file check too), several microseconds: more than everything else a
// pass does for a note. This clock looks the offset from UTC up once and uses it again for
// the rest of the minute, after making sure that the offset does not change within that
// minute; a daylight-saving change is thus seen at its very second.

#include <QDateTime>
#include <functional>

class LocalClock
{
public:
    QDateTime now();

private:
    qint64 knownFrom_ = 0;  // milliseconds since the epoch; the offset holds from here
    qint64 knownUntil_ = 0; // to here (excluded)
    int offset_ = 0;        // seconds ahead of UTC
};

// A reader of a clock of its own, for a clock seam that takes std::function<QDateTime()>.
inline std::function<QDateTime()> localClockReader()
{
    return [clock = LocalClock()]() mutable { return clock.now(); };
}
