#pragma once

// A private X desktop for end-to-end tests: an X server (Xvfb), a session bus, a window
// manager (openbox), optionally an XEmbed system tray (trayer) and a notification daemon
// (dunst), all started by the test and ended with it. Programs started with environment()
// run on that desktop; the tools of x11-utils and xdotool look at it and drive it.

#include "support/XvfbServer.h"

#include <QImage>
#include <QList>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <functional>
#include <memory>
#include <vector>

class XDesktop
{
public:
    struct Options
    {
        bool tray = true; // trayer, started with the desktop (else see startTray)
        // dunst; without it the bus starts no notification service on demand either
        bool notifications = true;
    };

    explicit XDesktop(Options options);
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    // False when some part could not be started; whyNot() then says which.
    bool isReady() const { return ready_; }
    const QString& whyNot() const { return whyNot_; }

    // The environment of a program on this desktop: its display and session bus, the xcb
    // platform, and no database engine settings of the test's own.
    QProcessEnvironment environment() const;

    // Starts the XEmbed tray (trayer) and waits for its panel; for a desktop started without
    // one, as a panel that comes up after the programs of a login. False (and whyNot()) when
    // it did not come up.
    bool startTray();
    // Starts XFCE's panel with its status tray (a status-notifier host, and an XEmbed tray
    // too) on a configuration of its own, and waits until its host has registered with the
    // status-notifier watcher on the session bus. False (and whyNot()) when it did not.
    bool startStatusNotifierPanel();
    // The status-notifier items registered with the panel's watcher (bus name and path each).
    QStringList statusNotifierItems() const;
    // What the panel sends for a click on an item (bus name and path, as listed above).
    bool activateStatusNotifierItem(const QString& item) const;
    // What the panel sends for a click on the entry of the item's menu labelled so: the
    // menu's layout is read and the entry's click sent over the menu protocol (dbusmenu), as
    // the panel does. False when the item has no such entry.
    bool clickStatusNotifierMenu(const QString& item, const QString& label) const;

    // Runs a command on this desktop and gives its standard output, trimmed ("" on failure).
    QString run(const QString& program, const QStringList& arguments) const;
    bool xdotool(const QStringList& arguments) const;

    // Top-level windows whose name matches the pattern (xdotool's regular expression).
    QList<quint32> windows(const QString& namePattern, bool visibleOnly) const;
    // Waits until exactly one visible window matches; 0 when none did in time.
    quint32 waitForWindow(const QString& namePattern, int timeoutMs = 30000) const;
    // Waits until no visible window matches.
    bool waitForNoWindow(const QString& namePattern, int timeoutMs = 30000) const;
    // The caption the window manager shows: _NET_WM_NAME.
    QString caption(quint32 window) const;
    // The window's outer rectangle, frame included, on the screen.
    QRect outerGeometry(quint32 window) const;
    // What the window manager lets the user do with the window (_NET_WM_ALLOWED_ACTIONS without
    // its prefix: MOVE, RESIZE, MAXIMIZE_HORZ, ...).
    QStringList allowedActions(quint32 window) const;
    // The window that has the keyboard focus.
    quint32 activeWindow() const;
    // The icon windows docked in the tray now of programs of a WM_CLASS instance.
    QList<quint32> trayIcons(const QString& windowClass) const;
    // The tray icon window of a program (WM_CLASS instance), 0 when not docked in time.
    quint32 waitForTrayIcon(const QString& windowClass, int timeoutMs = 30000) const;
    // What the X server shows in the window now, read with xwd; a null image when it cannot.
    QImage grab(quint32 window) const;
    // A click in the middle of a window: button 1 is the left one, 3 the right one.
    bool click(quint32 window, int button = 1) const;

    // Messages sent to the notification service since the desktop started, as dbus-monitor
    // printed them.
    QString notificationTraffic() const;

private:
    bool startPart(const QString& name, const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& environment = {});
    bool waitFor(const std::function<bool()>& condition, int timeoutMs) const;
    // The state and last output of each part, for a report of what did not come up.
    QString partReport() const;

    bool ready_ = false;
    QString whyNot_;
    std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<QTemporaryFile> busConfig_;
    std::unique_ptr<QTemporaryDir> panelHome_;
    QString display_;
    QString busAddress_;
    std::vector<std::unique_ptr<QProcess>> parts_;
    QProcess* monitor_ = nullptr;
    mutable QByteArray traffic_;
};
