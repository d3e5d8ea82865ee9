#include "core/tray/ClickDebounce.h"

bool ClickDebounce::accept(qint64 nowMs, int intervalMs)
{
    if (last_ && nowMs - *last_ < intervalMs)
        return false;
    last_ = nowMs;
    return true;
}

void ClickDebounce::handled(qint64 nowMs)
{
    if (last_ && nowMs > *last_)
        last_ = nowMs;
}
