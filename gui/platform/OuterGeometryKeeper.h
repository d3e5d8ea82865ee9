#pragma once

// Keeps a top-level window at an outer rectangle, frame included. The window system sizes
// only a window's inside and tells its frame once the window manager has framed the shown
// window; this sizes the inside for the frame as soon as it is known and follows the moves
// and resizes of the shown, framed window.

#include "core/settings/WindowLayout.h"

#include <QObject>
#include <QRect>

class QWidget;

class OuterGeometryKeeper : public QObject
{
public:
    explicit OuterGeometryKeeper(QWidget* window);
    // positionsReported: whether the platform tells windows their position (not under Wayland).
    OuterGeometryKeeper(QWidget* window, bool positionsReported);

    // Gives the window this outer rectangle where the user can reach it: cut to the screen's
    // free area, and at the default place when its title bar would not lie on one screen
    // (window_layout::reachableGeometry); never smaller than the minimum size, grown with a
    // font larger than designed (gui/platform/FontScale.h).
    void setOuter(QRect outer);
    // The window's outer rectangle, whether it is shown or hidden. Where the platform tells
    // windows nothing of their position, the position is the one given: the window's size is
    // all there is to learn.
    QRect outer() const;
    // Whether the window has been shown since the keeper began keeping it: a rectangle the
    // user never saw is not one the user chose.
    bool hasBeenShown() const { return shown_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();
    void follow(bool showing);

    QWidget* window_;
    window_layout::OuterGeometry geometry_;
    QSize minimum_ = window_layout::kMinimumSize;
    QPoint givenPosition_;
    bool positionsReported_;
    bool shown_ = false;
};
