#pragma once

// Keeps a top-level window at an outer rectangle, frame included. The window system sizes
// only a window's inside and tells its frame once the window manager has framed the shown
// window; this sizes the inside for the frame as soon as it is known and follows the moves
// and resizes of the shown window.

#include "core/settings/WindowLayout.h"

#include <QObject>
#include <QRect>

class QWidget;

class OuterGeometryKeeper : public QObject
{
public:
    explicit OuterGeometryKeeper(QWidget* window);

    // Gives the window this outer rectangle.
    void setOuter(QRect outer);
    // The window's outer rectangle, whether it is shown or hidden.
    QRect outer() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();
    void follow();

    QWidget* window_;
    window_layout::OuterGeometry geometry_;
};
