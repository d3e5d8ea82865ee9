#include "gui/platform/Icons.h"

#include "core/list/NoteImage.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace icons {
namespace {

QPixmap canvas(int w = 16, int h = 16)
{
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawStickyNote(QPainter& p, QRectF r)
{
    QPainterPath path;
    const qreal fold = r.width() * 0.3;
    path.moveTo(r.topLeft());
    path.lineTo(r.right(), r.top());
    path.lineTo(r.right(), r.bottom() - fold);
    path.lineTo(r.right() - fold, r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(QColor(160, 130, 0), 1));
    p.setBrush(QColor(255, 226, 60));
    p.drawPath(path);
    p.setBrush(QColor(230, 190, 20));
    QPainterPath corner;
    corner.moveTo(r.right(), r.bottom() - fold);
    corner.lineTo(r.right() - fold, r.bottom() - fold);
    corner.lineTo(r.right() - fold, r.bottom());
    corner.closeSubpath();
    p.drawPath(corner);
    p.setPen(QPen(QColor(170, 140, 40), 1));
    for (qreal y = r.top() + 4; y < r.bottom() - fold; y += 3)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void drawAlarmSign(QPainter& p, QRectF r)
{
    p.setPen(QPen(QColor(120, 0, 0), 1));
    p.setBrush(QColor(220, 20, 20));
    const QRectF bell =
        r.adjusted(r.width() * 0.15, r.height() * 0.15, -r.width() * 0.15, -r.height() * 0.1);
    p.drawEllipse(bell);
    p.setPen(QPen(Qt::white, qMax<qreal>(1.0, r.width() / 10)));
    const QPointF c = bell.center();
    p.drawLine(c, QPointF(c.x(), bell.top() + bell.height() * 0.25));
    p.drawLine(c, QPointF(bell.right() - bell.width() * 0.25, c.y()));
}

QPixmap draw(int index)
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (index) {
    case note_image::StandardNote:
        drawStickyNote(p, QRectF(1.5, 1.5, 13, 13));
        break;
    case note_image::PlannedAlarm:
        drawStickyNote(p, QRectF(1.5, 1.5, 13, 13));
        drawAlarmSign(p, QRectF(7, 7, 9, 9));
        break;
    case note_image::RunningAlarm:
        drawAlarmSign(p, QRectF(1, 1, 14, 14));
        break;
    case note_image::RunningAlarmRays:
        drawAlarmSign(p, QRectF(3, 3, 10, 10));
        p.setPen(QPen(QColor(220, 20, 20), 1.2));
        p.drawLine(QPointF(1, 8), QPointF(3, 8));
        p.drawLine(QPointF(13, 8), QPointF(15, 8));
        p.drawLine(QPointF(2, 2), QPointF(4, 4));
        p.drawLine(QPointF(14, 2), QPointF(12, 4));
        p.drawLine(QPointF(8, 0.5), QPointF(8, 2.5));
        break;
    default:
        break;
    }
    return pixmap;
}

QPixmap drawTrash(bool enabled)
{
    QPixmap pixmap = canvas(22, 22);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor body = enabled ? QColor(90, 90, 110) : QColor(185, 185, 185);
    p.setPen(QPen(body, 1.5));
    p.setBrush(enabled ? QColor(170, 175, 195) : QColor(225, 225, 225));
    p.drawRect(QRectF(6, 7, 10, 12));
    p.drawLine(QPointF(4, 6), QPointF(18, 6));
    p.drawLine(QPointF(9, 4), QPointF(13, 4));
    for (int x : {9, 11, 13})
        p.drawLine(QPointF(x, 9), QPointF(x, 17));
    return pixmap;
}

// A button's picture with a disabled form that is plainly out of use: the toolkit's own
// greying barely changes pictures that are grey-blue already, like the trash can.
QIcon buttonIcon(const QPixmap& normal, const QPixmap& disabled)
{
    QIcon icon(normal);
    icon.addPixmap(disabled, QIcon::Disabled);
    return icon;
}

QIcon buttonIcon(const QPixmap& normal)
{
    return buttonIcon(normal, greyed(normal));
}

// A picture drawn on the 16-pixel grid of the note-list images, scaled to size x size pixels.
QImage onNoteGrid(int size, const std::function<void(QPainter&)>& paint)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    paint(p);
    return image;
}

// A tray picture drawn anew for each size a panel may ask for, and at twice the pixels for
// scaled screens, so that no panel shows it scaled up from a smaller one.
QIcon atTraySizes(QImage (*picture)(int size))
{
    QIcon icon;
    for (const int size : kTrayIconSizes) {
        icon.addPixmap(QPixmap::fromImage(picture(size)));
        QPixmap doubled = QPixmap::fromImage(picture(2 * size));
        doubled.setDevicePixelRatio(2);
        icon.addPixmap(doubled);
    }
    return icon;
}

} // namespace

QPixmap greyed(const QPixmap& picture)
{
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // Grey of the pixel's lightness, lifted two thirds of the way to white, and half
            // as opaque.
            const int grey = 170 + qGray(line[x]) / 3;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
        }
    }
    return QPixmap::fromImage(image);
}

QPixmap noteImage(int index)
{
    return draw(index);
}

QImage applicationIcon(int size)
{
    return onNoteGrid(size, [](QPainter& p) { drawStickyNote(p, QRectF(1.5, 1.5, 13, 13)); });
}

QImage attentionImage(int size)
{
    return onNoteGrid(size, [](QPainter& p) {
        drawStickyNote(p, QRectF(1.5, 1.5, 13, 13));
        drawAlarmSign(p, QRectF(7, 7, 9, 9));
    });
}

QIcon trayIcon()
{
    return atTraySizes(applicationIcon);
}

QIcon trayAttentionIcon()
{
    return atTraySizes(attentionImage);
}

QIcon newNote()
{
    QPixmap pixmap = canvas(22, 22);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawStickyNote(p, QRectF(3.5, 3.5, 15, 15));
    p.setPen(QPen(QColor(0, 130, 0), 2.5));
    p.drawLine(QPointF(16, 1), QPointF(16, 9));
    p.drawLine(QPointF(12, 5), QPointF(20, 5));
    return buttonIcon(pixmap);
}

QIcon trash()
{
    // Disabled, the button shows the greyed can that lies beneath it.
    return buttonIcon(drawTrash(true), drawTrash(false));
}

QPixmap trashDisabled()
{
    return drawTrash(false);
}

QPixmap magnifier()
{
    QPixmap pixmap = canvas(13, 16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 80), 1.6));
    p.setBrush(QColor(200, 225, 250));
    p.drawEllipse(QRectF(1, 2, 8, 8));
    p.setPen(QPen(QColor(60, 60, 80), 2.4));
    p.drawLine(QPointF(8, 9.5), QPointF(12, 14));
    return pixmap;
}

QPixmap alarmSign()
{
    QPixmap pixmap = canvas(17, 18);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    drawAlarmSign(p, QRectF(0.5, 1, 16, 16));
    return pixmap;
}

QIcon okMark()
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 140, 0), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(3, 8.5), QPointF(6.5, 12), QPointF(13, 4)}));
    return buttonIcon(pixmap);
}

QIcon cancelMark()
{
    QPixmap pixmap = canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 20, 20), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
    return buttonIcon(pixmap);
}

} // namespace icons
