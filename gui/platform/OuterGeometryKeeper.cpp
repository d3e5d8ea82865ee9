#include "gui/platform/OuterGeometryKeeper.h"

#include "gui/platform/FontScale.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

QList<window_layout::ScreenArea> screenAreas()
{
    QList<window_layout::ScreenArea> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas << window_layout::ScreenArea{primary->geometry(), primary->availableGeometry()};
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            areas << window_layout::ScreenArea{screen->geometry(), screen->availableGeometry()};
    }
    return areas;
}

} // namespace

OuterGeometryKeeper::OuterGeometryKeeper(QWidget* window)
    : OuterGeometryKeeper(window,
                          window_layout::platformReportsPositions(QGuiApplication::platformName()))
{}

OuterGeometryKeeper::OuterGeometryKeeper(QWidget* window, bool positionsReported)
    : QObject(window), window_(window), positionsReported_(positionsReported)
{
    window_->installEventFilter(this);
}

void OuterGeometryKeeper::setOuter(QRect outer)
{
    givenPosition_ = outer.topLeft();
    // With a font larger than designed the window needs more room for its controls.
    minimum_ = font_scale::scaled(window_layout::kMinimumSize, font_scale::factor(window_));
    geometry_ = window_layout::OuterGeometry(
        window_layout::reachableGeometry(outer, screenAreas(), minimum_), minimum_);
    apply();
}

QRect OuterGeometryKeeper::outer() const
{
    // Until a frame is known the window is its own outer rectangle: its position is the outer
    // corner it was given, and its size has no frame to add.
    QRect outer = geometry_.isFramed() ? geometry_.outer() : QRect(window_->pos(), window_->size());
    if (!positionsReported_)
        outer.moveTopLeft(givenPosition_);
    return outer;
}

bool OuterGeometryKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && event->type() == QEvent::Show)
        shown_ = true;
    if (watched == window_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                               event->type() == QEvent::Show))
        follow(event->type() == QEvent::Show);
    return QObject::eventFilter(watched, event);
}

void OuterGeometryKeeper::apply()
{
    window_->setMinimumSize(geometry_.minimumClientSize());
    window_->resize(geometry_.clientSize());
    // A top-level window's position is that of its outer corner.
    window_->move(geometry_.outer().topLeft());
}

void OuterGeometryKeeper::follow(bool showing)
{
    const QWindow* handle = window_->windowHandle();
    if (!window_->isVisible() || !handle)
        return;
    // Shown before it was ever framed, the window is its own outer rectangle: the one it was
    // given, here or by a size or position set while it was hidden. The show event comes
    // before the window is mapped, so this is still the rectangle the program asked for.
    if (showing && !geometry_.isFramed())
        geometry_ = window_layout::OuterGeometry(QRect(window_->pos(), window_->size()), minimum_);
    if (geometry_.windowReported(window_->geometry(), handle->frameMargins()))
        apply();
}
