#pragma once

// How much larger than designed a window's text is drawn. The fixed windows were laid out in
// pixels for Tahoma 8 pt at 96 dots per inch; a desktop with a larger font resolution
// (QT_FONT_DPI=144, a large-print setting) draws the same text larger, and the designed
// rectangles would cut it. Their rectangles grow by this factor, so the layout keeps its
// proportions; at the designed font it is exactly 1 and nothing moves by a pixel.

#include <QRect>
#include <QSize>

class QWidget;

namespace font_scale {

// The height of the house font (look::windowFont) drawn on the window's screen against its
// height at the designed 96 dots per inch; 1 when the text is not larger (or larger by less
// than rounding may make it). Whatever font the widget itself has, only the resolution counts.
qreal factor(const QWidget* window);

// A design size or rectangle at the factor; each edge is scaled, so rectangles that touched at
// the design still touch.
QSize scaled(QSize design, qreal factor);
QRect scaled(QRect design, qreal factor);

} // namespace font_scale
