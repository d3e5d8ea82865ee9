#include "gui/platform/FontScale.h"

#include "gui/platform/Look.h"

#include <QFontMetricsF>
#include <QImage>
#include <QWidget>
#include <cmath>

namespace font_scale {
namespace {

// Below this the text is the designed size: faces standing in for Tahoma differ a little.
constexpr qreal kLeastGrowth = 1.05;

int scaledEdge(int edge, qreal factor)
{
    return int(std::lround(edge * factor));
}

} // namespace

qreal factor(const QWidget* window)
{
    // A paint device of 96 dots per inch: the resolution the windows were designed at.
    QImage designed(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = int(std::lround(96 / 0.0254));
    designed.setDotsPerMeterX(dotsPerMeter);
    designed.setDotsPerMeterY(dotsPerMeter);
    const qreal designedHeight = QFontMetricsF(look::windowFont(), &designed).height();
    const qreal actualHeight = QFontMetricsF(look::windowFont(), window).height();
    if (designedHeight <= 0)
        return 1.0;
    const qreal ratio = actualHeight / designedHeight;
    return ratio < kLeastGrowth ? 1.0 : ratio;
}

QSize scaled(QSize design, qreal factor)
{
    if (factor == 1.0)
        return design;
    return QSize(scaledEdge(design.width(), factor), scaledEdge(design.height(), factor));
}

QRect scaled(QRect design, qreal factor)
{
    if (factor == 1.0)
        return design;
    const int left = scaledEdge(design.left(), factor);
    const int top = scaledEdge(design.top(), factor);
    const int right = scaledEdge(design.left() + design.width(), factor);
    const int bottom = scaledEdge(design.top() + design.height(), factor);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace font_scale
