#pragma once

// The main window's size, position and column widths as read from the settings: defaults for
// missing values, the minimum sizes, and the rescue of a window stored off every screen.

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

namespace window_layout {

inline constexpr QSize kMinimumSize{300, 350};
inline constexpr int kDefaultWidth = 300;
inline constexpr int kDefaultHeight = 400;
inline constexpr int kRightMargin = 40;
inline constexpr int kBottomMargin = 60;
inline constexpr int kDefaultTitleWidth = 155;
inline constexpr int kDefaultDateWidth = 100;
inline constexpr int kMinimumColumnWidth = 100;
// The settings store's marker for a missing value.
inline constexpr int kMissing = -1;

// A stored setting as an integer: a decimal integer text (optional minus sign, digits only)
// gives its value, anything else reads as missing.
int parseStored(const QString& text);

struct StoredGeometry
{
    int width = kMissing;
    int height = kMissing;
    int top = kMissing;
    int left = kMissing;
};

// The window rectangle (outer position, window size) for the stored values. A missing size
// takes its default and a size below the minimum is raised; a missing edge takes its default
// near the bottom-right corner of the primary screen, and so does a position whose rectangle
// lies entirely off every present screen.
QRect resolveGeometry(const StoredGeometry& stored, QSize primaryScreen,
                      const QList<QRect>& screens);

int resolveColumnWidth(int stored, int defaultWidth);

} // namespace window_layout
