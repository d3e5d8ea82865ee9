#pragma once

// The main window's size, position and column widths as read from the settings: defaults for
// missing values, the minimum sizes, and the rescue of a window stored where the user could not
// reach it.

#include <QList>
#include <QMargins>
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

// A screen: its whole area and the part left free by panels.
struct ScreenArea
{
    QRect geometry;
    QRect available;
};

// The height of the strip at the top of the outer rectangle that the title bar takes, at most.
inline constexpr int kTitleBarHeight = 30;

// The outer rectangle a window is shown at so that the user can reach it: the wanted one when
// its whole title bar lies within the free area of one screen, its size cut to that area;
// otherwise the default position on the primary screen (screens.first()), with the size cut to
// that screen's free area and the window inside it. Without screens the wanted rectangle stands.
// The window is never smaller than minimum (kMinimumSize, grown with a larger font).
QRect reachableGeometry(QRect wanted, const QList<ScreenArea>& screens,
                        QSize minimum = kMinimumSize);

// Whether windows on this platform (QGuiApplication::platformName()) learn and choose their
// position on the screen. Under Wayland the compositor places windows and tells them nothing.
bool platformReportsPositions(const QString& platformName);

int resolveColumnWidth(int stored, int defaultWidth);

// The main window's outer rectangle, frame included, which is what the settings hold. The
// window system places a window by its outer corner but sizes only its inside, and the frame
// is known only once the window manager has framed the shown window: until then the frame is
// taken as none, so a window that was never shown keeps the rectangle it was given.
class OuterGeometry
{
public:
    // minimum: the smallest outer size (kMinimumSize, grown with a larger font).
    explicit OuterGeometry(QRect outer = {}, QSize minimum = kMinimumSize)
        : outer_(outer), minimum_(minimum)
    {}

    QRect outer() const { return outer_; }
    // The inside size that gives outer() with the frame known now, and the smallest inside
    // size, so that the window's outer size never goes below the minimum.
    QSize clientSize() const;
    QSize minimumClientSize() const;
    // Whether a frame has been reported since the window was given its rectangle.
    bool isFramed() const { return !frame_.isNull(); }

    // The frame of the shown window as the window system reports it now. True when it differs
    // from the frame known so far: the window must then take clientSize() and its outer corner
    // again, so that its outer rectangle stays outer(). A frame reported as none once a real
    // one is known is a window not yet framed again after being hidden, and changes nothing.
    bool frameReported(QMargins frame);
    // The shown window's inside rectangle on the screen after a move or a resize, by the user
    // or the window manager.
    void clientChanged(QRect client) { outer_ = client.marginsAdded(frame_); }

    // What the shown window reports after a move or a resize: its inside rectangle on the screen
    // and its frame as the window system tells them now. A window whose frame reads as none is
    // not framed yet, or not again since it was hidden: the window manager is still placing it,
    // and where it has it for that moment (the screen's corner, inside a frame not yet moved)
    // is no place the user chose, so nothing is kept. True when the frame changed: the window
    // must then take clientSize() and outer().topLeft() again.
    bool windowReported(QRect client, QMargins frame);

private:
    QRect outer_;
    QSize minimum_;
    QMargins frame_;
};

} // namespace window_layout
