#pragma once

// The one owner of the program's presence in the system tray: the icon, its menu, and the
// notifications shown from it. The main window connects to its signals.

#include <QObject>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

class Tray : public QObject
{
    Q_OBJECT
public:
    // menuParent owns the menu (a QMenu needs a widget parent to follow its look).
    Tray(QWidget* menuParent, bool show);

    QSystemTrayIcon* icon() const { return icon_; }
    QMenu* menu() const { return menu_; }
    QAction* openAction() const { return open_; }
    QAction* newNoteAction() const { return newNote_; }
    QAction* closeAction() const { return close_; }

signals:
    // A left click on the icon.
    void clicked();

private:
    QSystemTrayIcon* icon_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* open_ = nullptr;
    QAction* newNote_ = nullptr;
    QAction* close_ = nullptr;
};
