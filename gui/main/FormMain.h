#pragma once

// TFormMain: the tray-resident main window. It owns the tray (gui/tray, connected in
// MainWindowTray), the note list with its search box, the background workers
// (MainWindowWorkers) and the quit sequence, and connects its controls (MainWindowControls) to
// its commands.

#include "core/alarms/AlarmChecker.h"
#include "core/alarms/BlinkingItems.h"
#include "core/alarms/LocalClock.h"
#include "core/web/WebAddresses.h"
#include "gui/main/MainWindowControls.h"
#include "gui/main/MainWindowLayout.h"
#include "gui/main/MainWindowWorkers.h"
#include "gui/notes/NoteListHost.h"
#include "gui/web/UpdateAndPublicitySchedule.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>
#include <chrono>
#include <functional>

class LiveList;
class NoteListFill;
class NoteListModel;
class OuterGeometryKeeper;
class QItemSelection;
class TDM;
class Tray;

struct FormMainOptions
{
    // Whether the desktop offers a system tray at start. Without one the window is shown at
    // start and its close box minimises it, until a tray comes (then it hides to the tray).
    bool trayAvailable = true;
    // When set, replaces the look for a tray that comes after the start (see Tray).
    std::function<bool()> trayProbe;
    std::chrono::milliseconds alarmInterval = TAlarmChecker::kInterval;
    std::chrono::milliseconds blinkInterval = TBlinkingItems::kInterval;
    // The clock the alarm checker reads for each note.
    AlarmClock clock = localClockReader();
    // When set, replaces the alarm checker's pass over the database (run on its thread).
    PeriodicWorker::Pass checkAlarms;
    // The maker's web server (scheme, host, port) of the update and publicity checks, also the
    // product web site; the delay of the once-per-run check after start-up; the time limit of
    // each web request; the folder of the downloaded files (empty: the per-user one).
    QUrl webServer = web::defaultServer();
    std::chrono::milliseconds webCheckDelay = std::chrono::minutes(3);
    std::chrono::milliseconds webTimeLimit = std::chrono::seconds(30);
    QString downloadDirectory;

    static FormMainOptions forThisDesktop();
};

class TFormMain : public QMainWindow, public NoteListHost, private MainWindowControls
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
    // The quit sequence of the "Close" commands. An open note editor with changes first asks
    // whether to save them; Cancel, or a save OK refuses, keeps the program running.
    void QuitProgram();
    // The quit sequence of log-out and the termination signals, which cannot wait for an
    // answer: an open note editor's changes are saved without a question (saveForQuit).
    void quitWithoutQuestions();
    bool PauseAlarmChecker();
    void ResumeAlarmChecker();
    // Run on the main thread for the alarm checker, which waits: shows AlarmBalloonTitle and
    // AlarmBalloonText from the tray and reloads the full list.
    void ShowAlarmBalloon();

    // Update and publicity checks, once per run after webCheckDelay (see
    // UpdateAndPublicitySchedule).
    void tUpdateAndPublicityTimer() { updateAndPublicity_->tUpdateAndPublicityTimer(); }
    void CheckUpdate() { updateAndPublicity_->CheckUpdate(); }
    void CheckPublicity() { updateAndPublicity_->CheckPublicity(); }
    void DeleteDownloadedFiles() { updateAndPublicity_->DeleteDownloadedFiles(); }
    void OProgramieClick();
    UpdateAndPublicitySchedule* updateAndPublicity() const { return updateAndPublicity_; }
    WebChecks* webChecks() const { return updateAndPublicity_->webChecks(); }

    // Layout persistence (see MainWindowLayout).
    void LoadWindowGeometry() { layout_->loadWindowGeometry(); }
    void LoadColumnWidths() { layout_->loadColumnWidths(); }
    void SaveWindowGeometry() { layout_->saveWindowGeometry(); }
    void SaveColumnWidths() { layout_->saveColumnWidths(); }

    // Opens the note editor modally: for a new note when noteId is -1, otherwise for that note
    // in view/edit mode. The caller has paused the alarm checker.
    void showNoteEditor(qint32 noteId);
    // The note editor or delete question open now; null when none is.
    QDialog* openDialog() const { return openDialog_; }
    // Shows the window with the open dialog in front; false when no dialog is open.
    bool bringOpenDialogToFront();

    // Note list.
    void UpdateCommandState();
    void NotatkaPokazEdytujExecute();
    // Fills the list with the notes containing text. Like every fill of the list it is read
    // off the GUI thread and streams in (NoteListFill); a newer fill makes it stale. True when
    // the fill was started.
    bool SearchNotes(const QString& text);
    // A change of the search text: RefreshNotes.
    void SzukanyCiagChange();
    // Tells the user once that the database file was moved or replaced while the program ran.
    void announceFileLost();
    // Switches images 2 and 3 of the running alarms at the top of the list.
    void BlinkRunningAlarms();
    NoteListModel* notesModel() const { return notesModel_; }
    NoteListFill* noteListFill() const { return fill_; }
    // Reloads the list when other programs change the notes.
    LiveList* liveList() const { return liveList_; }

    // NoteListHost
    qint32 currentNoteId() const override { return CurrentNoteId; }
    void setCurrentNoteId(qint32 id) override { CurrentNoteId = id; }
    QString searchText() const override;
    void focusNoteList() override;
    // Fills the list with every note; true when the fill was started.
    bool LoadNotes() override;
    bool RefreshNotes() override;
    void noteChangeCommitted() override;
    // Waits for a fill under way to complete (without freezing the window).
    QList<qint32> listedNoteIds() const override;
    QWidget* dialogParent() override { return this; }

    // The note that every list reload selects again.
    qint32 CurrentNoteId = 0;
    QString AlarmBalloonTitle;
    QString AlarmBalloonText;

    // The controls that are driven from outside the window.
    using MainWindowControls::ListFillBusy;
    using MainWindowControls::LVNotatki;
    using MainWindowControls::MMHaslo;
    using MainWindowControls::MMNowaNotatka;
    using MainWindowControls::MMPodgladEdycja;
    using MainWindowControls::MMUsun;
    using MainWindowControls::MMZakoncz;
    using MainWindowControls::OProgramie;
    using MainWindowControls::SBUsun;
    using MainWindowControls::SzukanyCiag;

    // The tray icon and its menu.
    Tray* tray() const { return tray_; }
    TAlarmChecker* alarmChecker() const { return workers_->alarmChecker(); }
    TBlinkingItems* blinkingItems() const { return workers_->blinkingItems(); }
    bool isQuitting() const { return quitting_; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectControls();
    void hideMainWindow();
    void LVNotatkiSelectItem(const QItemSelection& selected, const QItemSelection& deselected);
    // Runs a dialog modal to this window only, so the tray icon and its menu stay usable.
    int runDialog(QDialog* dialog);
    // Ends the program: disconnects, deletes the downloads, stores the layout and leaves
    // every running event loop, the dialogs' ones included.
    void endProgram();

    TDM& dm_;
    const FormMainOptions options_;
    NoteListModel* notesModel_ = nullptr;
    NoteListFill* fill_ = nullptr;
    LiveList* liveList_ = nullptr;
    MainWindowWorkers* workers_ = nullptr;
    OuterGeometryKeeper* outerGeometry_ = nullptr;
    MainWindowLayout* layout_ = nullptr;
    Tray* tray_ = nullptr;
    UpdateAndPublicitySchedule* updateAndPublicity_ = nullptr;
    QPointer<QDialog> openDialog_;
    bool TrayClickBusy = false;
    bool alarmBalloonContinuesPass_ = false;
    bool quitting_ = false;
};
