#pragma once

// The one owner of the program's presence in the system tray: the icon, its menu, and the
// notifications shown from it. The main window connects to its signals.

#include "core/tray/ClickDebounce.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

class DesktopNotifications;
class QAction;
class QMenu;
class QWidget;

class Tray : public QObject
{
    Q_OBJECT
public:
    // The tray belongs to the main window (owner).
    Tray(QWidget* owner, bool show);
    ~Tray() override;

    QSystemTrayIcon* icon() const { return icon_; }
    QMenu* menu() const { return menu_.get(); }
    QAction* openAction() const { return open_; }
    QAction* newNoteAction() const { return newNote_; }
    QAction* closeAction() const { return close_; }
    // The desktop's notification service as the tray sees it: whether it is there, and
    // notifications it refused.
    DesktopNotifications* notifications() const { return notifications_; }

    // Shows the alarm balloon: as a notification of the desktop's notification service when
    // there is one, else (or when the service refuses it) as the tray icon's own balloon with
    // the information icon. It never waits for the bus. A balloon
    // that continues a pass takes the place of the pass's previous one, so the last, which
    // lists every alarm of the pass, is what stays.
    void showAlarmBalloon(const QString& title, const QString& text, bool continuesPass);

signals:
    // A left click on the icon; the activations of a double click make one.
    void clicked();
    // A click on an alarm balloon.
    void balloonClicked();

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void showTrayBalloon(const QString& title, const QString& text);

    QSystemTrayIcon* icon_ = nullptr;
    // A window of its own, not a child of the main window: a dialog modal to the main window
    // (the note editor) blocks the main window's children, and the tray menu must still open
    // then, to close the program.
    std::unique_ptr<QMenu> menu_;
    QAction* open_ = nullptr;
    QAction* newNote_ = nullptr;
    QAction* close_ = nullptr;
    DesktopNotifications* notifications_ = nullptr;
    bool previousOnBus_ = false; // the last balloon went to the notification service
    ClickDebounce debounce_;
    QElapsedTimer clock_;
};
