#pragma once

// The one owner of the program's presence in the system tray: the icon, its menu, and the
// notifications shown from it (or, where none can be shown, the alarm window). The main window
// connects to its signals.

#include "core/tray/ClickDebounce.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QSystemTrayIcon>
#include <chrono>
#include <functional>
#include <memory>

class AlarmWindow;
class DesktopNotifications;
class QAction;
class QMenu;
class QTimer;
class QWidget;

class Tray : public QObject
{
    Q_OBJECT
public:
    // How often a tray is looked for while the desktop has none.
    static constexpr std::chrono::milliseconds kHostPollInterval{2000};

    // menuParent owns the menu (a QMenu needs a widget parent to follow its look). hosted: the
    // desktop has a tray now, and the icon is shown in it. Without one the tray is looked for
    // every kHostPollInterval with hostProbe (by default whether Qt finds a system tray), and
    // the icon is shown when one comes: a panel often starts after the programs of a login.
    Tray(QWidget* menuParent, bool hosted, std::function<bool()> hostProbe = {});
    ~Tray() override;

    QSystemTrayIcon* icon() const { return icon_; }
    QMenu* menu() const { return menu_; }
    QAction* openAction() const { return open_; }
    QAction* newNoteAction() const { return newNote_; }
    QAction* closeAction() const { return close_; }
    // The desktop's notification service as the tray sees it: whether it is there, and
    // notifications it refused.
    DesktopNotifications* notifications() const { return notifications_; }

    // Shows the alarm balloon: as a notification of the desktop's notification service when
    // there is one, else (or when the service refuses it) in the alarm window, which stays on
    // top until the user closes it. It never waits for the bus. A balloon that continues a
    // pass takes the place of the pass's previous one, so the last, which lists every alarm of
    // the pass, is what stays; in the one alarm window every balloon replaces the one before.
    void showAlarmBalloon(const QString& title, const QString& text, bool continuesPass);
    // The alarm window; null until a balloon has needed it.
    AlarmWindow* alarmWindow() const { return alarmWindow_.get(); }

    // Shows which alarms run: with the titles of the running alarms (newest first) the icon
    // asks for attention and its tooltip names them; with none, the plain icon and name.
    void showRunningAlarms(const QStringList& titles);
    bool showsAttention() const { return attention_; }

    // Whether the icon is in a tray, so the window can be hidden to it.
    bool isHosted() const { return hosted_; }

signals:
    // A left click on the icon; the activations of a double click make one.
    void clicked();
    // A click on an alarm balloon, or on the alarm window.
    void balloonClicked();
    // A tray came after the start, and the icon is in it now.
    void hostArrived();

private:
    void activated(QSystemTrayIcon::ActivationReason reason);
    void showAlarmWindow(const QString& title, const QString& text);
    void lookForHost();

    QSystemTrayIcon* icon_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* open_ = nullptr;
    QAction* newNote_ = nullptr;
    QAction* close_ = nullptr;
    DesktopNotifications* notifications_ = nullptr;
    bool previousOnBus_ = false; // the last balloon went to the notification service
    ClickDebounce debounce_;
    QElapsedTimer clock_;
    // A window of its own (no parent): it must show while the main window is hidden.
    std::unique_ptr<AlarmWindow> alarmWindow_;
    bool attention_ = false;
    QStringList runningTitles_;
    bool hosted_ = false;
    std::function<bool()> hostProbe_;
    QTimer* hostPoll_ = nullptr;
};
