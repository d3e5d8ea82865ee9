#include "gui/platform/OuterGeometryKeeper.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

OuterGeometryKeeper::OuterGeometryKeeper(QWidget* window) : QObject(window), window_(window)
{
    window_->installEventFilter(this);
}

void OuterGeometryKeeper::setOuter(QRect outer)
{
    geometry_ = window_layout::OuterGeometry(outer);
    apply();
}

QRect OuterGeometryKeeper::outer() const
{
    // Until a frame is known the window is its own outer rectangle: its position is the outer
    // corner it was given, and its size has no frame to add.
    return geometry_.isFramed() ? geometry_.outer() : QRect(window_->pos(), window_->size());
}

bool OuterGeometryKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                               event->type() == QEvent::Show))
        follow();
    return QObject::eventFilter(watched, event);
}

void OuterGeometryKeeper::apply()
{
    window_->setMinimumSize(geometry_.minimumClientSize());
    window_->resize(geometry_.clientSize());
    // A top-level window's position is that of its outer corner.
    window_->move(geometry_.outer().topLeft());
}

void OuterGeometryKeeper::follow()
{
    const QWindow* handle = window_->windowHandle();
    if (!window_->isVisible() || !handle)
        return;
    // Until the frame is known the window is its own outer rectangle; this also keeps a size
    // or position given while it was hidden.
    if (!geometry_.isFramed())
        geometry_ = window_layout::OuterGeometry(QRect(window_->pos(), window_->size()));
    if (geometry_.frameReported(handle->frameMargins()))
        apply();
    else
        geometry_.clientChanged(window_->geometry());
}
