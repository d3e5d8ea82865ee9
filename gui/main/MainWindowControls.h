#pragma once

// The main window's controls as built: the note list, the search box and the buttons below
// it, the File and Info menus, and the actions that act window-wide. They are built once into
// the window, which connects them to its commands.

class QAbstractItemModel;
class QAction;
class QLineEdit;
class QMainWindow;
class QMenu;
class QToolButton;
class QTreeView;

class MainWindowControls
{
public:
    // Builds every control into window: its central widget, its menu bar and its own actions.
    // The list shows notes.
    void setUpControls(QMainWindow* window, QAbstractItemModel* notes);

    // Named as the program names them.
    QTreeView* LVNotatki = nullptr;
    QLineEdit* SzukanyCiag = nullptr;
    QToolButton* SBDodaj = nullptr;
    QToolButton* SBUsun = nullptr;
    // Shown in the search box while a fill of the list is under way.
    QAction* ListFillBusy = nullptr;
    QMenu* Plik = nullptr;
    QAction* MMNowaNotatka = nullptr;
    QAction* MMUsun = nullptr;
    QAction* MMPodgladEdycja = nullptr;
    QAction* MMHaslo = nullptr;
    QAction* MMZakoncz = nullptr;
    QAction* OProgramie = nullptr;
    QAction* NotatkaPokazEdytuj = nullptr;
    QAction* Ukryj = nullptr;

private:
    void setUpClientArea(QMainWindow* window, QAbstractItemModel* notes);
    void setUpCommands(QMainWindow* window);
};
