#include "core/settings/WindowLayout.h"

#include <algorithm>

namespace window_layout {

int parseStored(const QString& text)
{
    const qsizetype digitsFrom = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (text.size() == digitsFrom)
        return kMissing;
    for (qsizetype i = digitsFrom; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return kMissing;
    }
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : kMissing;
}

QRect resolveGeometry(const StoredGeometry& stored, QSize primaryScreen,
                      const QList<QRect>& screens)
{
    const int width =
        std::max(stored.width == kMissing ? kDefaultWidth : stored.width, kMinimumSize.width());
    const int height =
        std::max(stored.height == kMissing ? kDefaultHeight : stored.height, kMinimumSize.height());
    const int defaultTop = primaryScreen.height() - height - kBottomMargin;
    const int defaultLeft = primaryScreen.width() - width - kRightMargin;
    QRect rect(stored.left == kMissing ? defaultLeft : stored.left,
               stored.top == kMissing ? defaultTop : stored.top, width, height);
    const bool visible = std::any_of(screens.begin(), screens.end(),
                                     [&](const QRect& screen) { return screen.intersects(rect); });
    if (!visible)
        rect.moveTopLeft(QPoint(defaultLeft, defaultTop));
    return rect;
}

int resolveColumnWidth(int stored, int defaultWidth)
{
    return std::max(stored == kMissing ? defaultWidth : stored, kMinimumColumnWidth);
}

QSize OuterGeometry::clientSize() const
{
    return outer_.size().shrunkBy(frame_);
}

QSize OuterGeometry::minimumClientSize() const
{
    return kMinimumSize.shrunkBy(frame_).expandedTo(QSize(1, 1));
}

bool OuterGeometry::frameReported(QMargins frame)
{
    if (frame == frame_ || (frame.isNull() && !frame_.isNull()))
        return false;
    frame_ = frame;
    return true;
}

} // namespace window_layout
