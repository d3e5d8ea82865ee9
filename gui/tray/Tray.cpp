#include "gui/tray/Tray.h"

#include "core/tray/TrayToolTip.h"
#include "gui/platform/Icons.h"
#include "gui/tray/AlarmWindow.h"
#include "gui/tray/DesktopNotifications.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

Tray::Tray(QWidget* menuParent, bool hosted, std::function<bool()> hostProbe)
    : QObject(menuParent), hosted_(hosted), hostProbe_(std::move(hostProbe))
{
    menu_ = new QMenu(menuParent);
    menu_->setObjectName(QStringLiteral("PopupMenu"));
    open_ = menu_->addAction(QStringLiteral("Open"));
    open_->setObjectName(QStringLiteral("PMOtworz"));
    menu_->setDefaultAction(open_);
    newNote_ = menu_->addAction(QStringLiteral("New note"));
    newNote_->setObjectName(QStringLiteral("PMNowaNotatka"));
    menu_->addSeparator()->setObjectName(QStringLiteral("N1"));
    close_ = menu_->addAction(QStringLiteral("Close"));
    close_->setObjectName(QStringLiteral("PMZakoncz"));

    icon_ = new QSystemTrayIcon(icons::trayIcon(), this);
    icon_->setToolTip(tray_tooltip::text({}));
    icon_->setContextMenu(menu_);
    clock_.start();
    connect(icon_, &QSystemTrayIcon::activated, this, &Tray::activated);
    if (hosted_) {
        icon_->show();
    } else {
        if (!hostProbe_)
            hostProbe_ = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
        hostPoll_ = new QTimer(this);
        hostPoll_->setInterval(kHostPollInterval);
        connect(hostPoll_, &QTimer::timeout, this, &Tray::lookForHost);
        hostPoll_->start();
    }

    notifications_ = new DesktopNotifications(QDBusConnection::sessionBus(), this);
    connect(notifications_, &DesktopNotifications::activated, this, &Tray::balloonClicked);
    connect(notifications_, &DesktopNotifications::failed, this, &Tray::showAlarmWindow);
}

Tray::~Tray() = default;

void Tray::lookForHost()
{
    if (!hostProbe_())
        return;
    // Once shown, the icon docks again by itself should the tray go and come back.
    hostPoll_->stop();
    hosted_ = true;
    icon_->show();
    emit hostArrived();
}

void Tray::activated(QSystemTrayIcon::ActivationReason reason)
{
    // An XEmbed tray reports a double click as a click and then a double click; a
    // status-notifier panel as two activations. Either way it is one click.
    if (reason != QSystemTrayIcon::Trigger && reason != QSystemTrayIcon::DoubleClick)
        return;
    if (!debounce_.accept(clock_.elapsed(),
                          QGuiApplication::styleHints()->mouseDoubleClickInterval()))
        return;
    emit clicked();
    debounce_.handled(clock_.elapsed());
}

void Tray::showAlarmBalloon(const QString& title, const QString& text, bool continuesPass)
{
    // While the bus has not yet said whether the service is there, the notification is tried:
    // when nobody takes it, failed() brings it to the alarm window.
    if (notifications_->service() != DesktopNotifications::Service::Missing) {
        notifications_->notify(QStringLiteral("Quillbox"), title, text,
                               icons::trayIcon().pixmap(QSize(32, 32), 1.0).toImage(),
                               continuesPass && previousOnBus_);
        previousOnBus_ = true;
        return;
    }
    previousOnBus_ = false;
    showAlarmWindow(title, text);
}

void Tray::showAlarmWindow(const QString& title, const QString& text)
{
    // The tray icon's own balloon is no way out: a status-notifier panel turns it into one more
    // notification, which the missing service cannot show either.
    if (!alarmWindow_) {
        alarmWindow_ = std::make_unique<AlarmWindow>();
        connect(alarmWindow_.get(), &AlarmWindow::opened, this, &Tray::balloonClicked);
    }
    alarmWindow_->showAlarm(title, text);
}

void Tray::showRunningAlarms(const QStringList& titles)
{
    const bool attention = !titles.isEmpty();
    if (attention != attention_) {
        attention_ = attention;
        icon_->setIcon(attention ? icons::trayAttentionIcon() : icons::trayIcon());
    }
    if (titles != runningTitles_) {
        runningTitles_ = titles;
        icon_->setToolTip(tray_tooltip::text(titles));
    }
}
