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

QRect reachableGeometry(QRect wanted, const QList<ScreenArea>& screens, QSize minimum)
{
    if (screens.isEmpty())
        return wanted;
    for (const ScreenArea& screen : screens) {
        const QSize size = wanted.size().boundedTo(screen.available.size()).expandedTo(minimum);
        const QRect titleBar(wanted.topLeft(), QSize(size.width(), kTitleBarHeight));
        if (screen.available.contains(titleBar))
            return QRect(wanted.topLeft(), size);
    }
    const ScreenArea& primary = screens.first();
    const QRect& free = primary.available;
    const QSize size = wanted.size().boundedTo(free.size()).expandedTo(minimum);
    // The default corner of the stored layout, moved into the free area should a panel cover it.
    const int left = std::clamp(primary.geometry.width() - size.width() - kRightMargin, free.left(),
                                std::max(free.left(), free.right() + 1 - size.width()));
    const int top = std::clamp(primary.geometry.height() - size.height() - kBottomMargin,
                               free.top(), std::max(free.top(), free.bottom() + 1 - size.height()));
    return QRect(QPoint(left, top), size);
}

bool platformReportsPositions(const QString& platformName)
{
    return !platformName.startsWith(QLatin1String("wayland"));
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
    return minimum_.shrunkBy(frame_).expandedTo(QSize(1, 1));
}

bool OuterGeometry::frameReported(QMargins frame)
{
    if (frame == frame_ || (frame.isNull() && !frame_.isNull()))
        return false;
    frame_ = frame;
    return true;
}

bool OuterGeometry::windowReported(QRect client, QMargins frame)
{
    if (frame.isNull())
        return false;
    if (frameReported(frame))
        return true;
    clientChanged(client);
    return false;
}

} // namespace window_layout
