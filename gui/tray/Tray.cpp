#include "gui/tray/Tray.h"

#include "gui/platform/Icons.h"
#include "gui/tray/DesktopNotifications.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QWidget>

Tray::Tray(QWidget* owner, bool show) : QObject(owner), menu_(std::make_unique<QMenu>())
{
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
    icon_->setToolTip(QStringLiteral("Quillbox"));
    icon_->setContextMenu(menu_.get());
    clock_.start();
    connect(icon_, &QSystemTrayIcon::activated, this, &Tray::activated);
    connect(icon_, &QSystemTrayIcon::messageClicked, this, &Tray::balloonClicked);
    if (show)
        icon_->show();

    notifications_ = new DesktopNotifications(QDBusConnection::sessionBus(), this);
    connect(notifications_, &DesktopNotifications::activated, this, &Tray::balloonClicked);
    connect(notifications_, &DesktopNotifications::failed, this, &Tray::showTrayBalloon);
}

Tray::~Tray()
{
    // The icon, a child, goes after the members: it must not keep the menu meanwhile.
    icon_->setContextMenu(nullptr);
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
    // when nobody takes it, failed() brings it back to the tray balloon.
    if (notifications_->service() != DesktopNotifications::Service::Missing) {
        const QIcon picture = icon_->icon();
        notifications_->notify(QStringLiteral("Quillbox"), title, text,
                               picture.pixmap(QSize(32, 32), 1.0).toImage(),
                               continuesPass && previousOnBus_);
        previousOnBus_ = true;
        return;
    }
    previousOnBus_ = false;
    showTrayBalloon(title, text);
}

void Tray::showTrayBalloon(const QString& title, const QString& text)
{
    // No display time: where the platform honours it, the balloon stays until it is clicked.
    icon_->showMessage(title, text, QSystemTrayIcon::Information, 0);
}
