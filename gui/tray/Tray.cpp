#include "gui/tray/Tray.h"

#include "gui/platform/Icons.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

Tray::Tray(QWidget* menuParent, bool show) : QObject(menuParent)
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
    icon_->setToolTip(QStringLiteral("Quillbox"));
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    emit clicked();
            });
    if (show)
        icon_->show();
}
