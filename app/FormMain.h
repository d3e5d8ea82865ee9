#pragma once

// TFormMain: the tray-resident main window. It owns the tray icon and its menu, the menu bar,
// the window-wide shortcuts, the note list with its search box, the background workers, and
// the quit sequence.

#include "alarms/AlarmChecker.h"
#include "app/NoteListHost.h"

#include <QMainWindow>
#include <QPointer>
#include <chrono>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QStandardItemModel;
class QSystemTrayIcon;
class QToolButton;
class QTreeView;
class TDM;

struct FormMainOptions
{
    // Whether the desktop offers a system tray; without one the window is shown at start and
    // its close box minimises it.
    bool trayAvailable = true;
    std::chrono::milliseconds alarmInterval = TAlarmChecker::kInterval;
    // One pass of the alarm checker, run on its thread.
    PeriodicWorker::Pass checkAlarms;

    static FormMainOptions forThisDesktop();
};

class TFormMain : public QMainWindow, public NoteListHost
{
    Q_OBJECT
public:
    TFormMain(TDM& dm, FormMainOptions options, QWidget* parent = nullptr);
    ~TFormMain() override;

    // Shell commands.
    bool ShowMainWindow();
    void TrayIconClick();
    void NewNote();
    void DeleteSelectedNote();
    void UkryjExecute();
    void QuitProgram();
    bool PauseAlarmChecker();
    void ResumeAlarmChecker();

    // Layout persistence.
    void LoadWindowGeometry();
    void LoadColumnWidths();
    void SaveWindowGeometry();
    void SaveColumnWidths();

    // Opens the note editor modally: for a new note when noteId is -1, otherwise for that note
    // in view/edit mode. The caller has paused the alarm checker.
    void showNoteEditor(qint32 noteId);

    // Note list.
    void UpdateCommandState();
    void NotatkaPokazEdytujExecute();

    // NoteListHost
    qint32 currentNoteId() const override { return CurrentNoteId; }
    void setCurrentNoteId(qint32 id) override { CurrentNoteId = id; }
    QString searchText() const override;
    void focusNoteList() override;
    bool LoadNotes() override;
    bool RefreshNotes() override;
    QList<qint32> listedNoteIds() const override;
    QWidget* dialogParent() override { return this; }

    // The note that every list reload selects again.
    qint32 CurrentNoteId = 0;
    QString AlarmBalloonTitle;
    QString AlarmBalloonText;

    // Controls, named as the program names them.
    QTreeView* LVNotatki = nullptr;
    QLineEdit* SzukanyCiag = nullptr;
    QToolButton* SBDodaj = nullptr;
    QToolButton* SBUsun = nullptr;
    QSystemTrayIcon* TrayIcon = nullptr;
    QMenu* PopupMenu = nullptr;
    QMenu* Plik = nullptr;
    QAction* MMNowaNotatka = nullptr;
    QAction* MMUsun = nullptr;
    QAction* MMPodgladEdycja = nullptr;
    QAction* MMHaslo = nullptr;
    QAction* MMZakoncz = nullptr;
    QAction* OProgramie = nullptr;
    QAction* PMOtworz = nullptr;
    QAction* PMNowaNotatka = nullptr;
    QAction* PMZakoncz = nullptr;
    QAction* NotatkaPokazEdytuj = nullptr;
    QAction* Ukryj = nullptr;

    TAlarmChecker* alarmChecker() const { return AlarmChecker; }
    bool isQuitting() const { return quitting_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildTrayIcon();
    void hideMainWindow();
    int selectedCount() const;

    TDM& dm_;
    const FormMainOptions options_;
    QStandardItemModel* notesModel_ = nullptr;
    QPointer<TAlarmChecker> AlarmChecker;
    bool TrayClickBusy = false;
    bool quitting_ = false;
};
