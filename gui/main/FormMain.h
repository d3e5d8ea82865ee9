#pragma once

// TFormMain: the tray-resident main window. It owns the tray (gui/tray), the menu bar,
// the window-wide shortcuts, the note list with its search box, the background workers, and
// the quit sequence.

#include "core/alarms/AlarmChecker.h"
#include "core/alarms/BlinkingItems.h"
#include "gui/notes/NoteListHost.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <chrono>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class NoteListModel;
class NoteListSearch;
class NoteRows;
class QItemSelection;
class QSystemTrayIcon;
class QToolButton;
class QTreeView;
class TDM;
class Tray;

struct FormMainOptions
{
    // Whether the desktop offers a system tray; without one the window is shown at start and
    // its close box minimises it.
    bool trayAvailable = true;
    std::chrono::milliseconds alarmInterval = TAlarmChecker::kInterval;
    std::chrono::milliseconds blinkInterval = TBlinkingItems::kInterval;
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
    // The note editor or delete question open now; null when none is.
    QDialog* openDialog() const { return openDialog_; }

    // Note list.
    void UpdateCommandState();
    void NotatkaPokazEdytujExecute();
    // Empties the list and fills it with the notes containing text; false when a statement
    // failed, the rows read until then staying listed.
    bool SearchNotes(const QString& text);
    // A change of the search text: the list is filled again off the GUI thread (the search
    // when the text is not empty, otherwise the full list) and shows the result of the newest
    // text once it is read. Any reload run meanwhile makes the pending result stale.
    void SzukanyCiagChange();
    // Switches images 2 and 3 of the running alarms at the top of the list.
    void BlinkRunningAlarms();
    NoteListModel* notesModel() const { return notesModel_; }
    NoteListSearch* noteListSearch() const { return search_; }

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
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildTrayIcon();
    void hideMainWindow();
    int selectedCount() const;
    // Shows the rows of a fill, selects CurrentNoteId's row again and scrolls it into view.
    void showNotes(NoteRows&& rows);
    void LVNotatkiSelectItem(const QItemSelection& selected, const QItemSelection& deselected);
    // Runs a dialog modal to this window only, so the tray icon and its menu stay usable.
    int runDialog(QDialog* dialog);
    // Shows the window with the open dialog in front; false when no dialog is open.
    bool bringOpenDialogToFront();

    TDM& dm_;
    const FormMainOptions options_;
    NoteListModel* notesModel_ = nullptr;
    NoteListSearch* search_ = nullptr;
    Tray* tray_ = nullptr;
    QPointer<TAlarmChecker> AlarmChecker;
    QPointer<TBlinkingItems> BlinkingItems;
    QPointer<QDialog> openDialog_;
    bool TrayClickBusy = false;
    bool quitting_ = false;
};
