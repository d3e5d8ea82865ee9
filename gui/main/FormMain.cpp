#include "gui/main/FormMain.h"

#include "core/notes/AcknowledgeOnOpen.h"
#include "core/storage/DataModule.h"
#include "core/storage/NoteListStatements.h"
#include "core/storage/SaveFailure.h"
#include "gui/access/FormHaslo.h"
#include "gui/main/DialogsOnQuit.h"
#include "gui/main/LiveList.h"
#include "gui/main/MainWindowTray.h"
#include "gui/main/MainWindowWorkers.h"
#include "gui/main/NoteListFill.h"
#include "gui/main/NoteListModel.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/FormUsuwanie.h"
#include "gui/platform/Look.h"
#include "gui/platform/OuterGeometryKeeper.h"
#include "gui/platform/PlainMessage.h"
#include "gui/tray/Tray.h"
#include "gui/web/FormOProgramie.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QTreeView>

FormMainOptions FormMainOptions::forThisDesktop()
{
    FormMainOptions options;
    options.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    return options;
}

TFormMain::TFormMain(TDM& dm, FormMainOptions options, QWidget* parent)
    : QMainWindow(parent), dm_(dm), options_(std::move(options))
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Quillbox"));
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    // With a tray icon to reach it, the window keeps out of the taskbar and task switcher.
    if (options_.trayAvailable)
        flags |= Qt::Tool;
    setWindowFlags(flags);
    // Sizes and positions are those of the outer window, frame included.
    outerGeometry_ = new OuterGeometryKeeper(this);
    look::applyWindowLook(this);

    notesModel_ = new NoteListModel(this);
    setUpControls(this, notesModel_);
    fill_ = new NoteListFill(
        dm_.fileGuard(), *notesModel_, *LVNotatki, [this] { return CurrentNoteId; }, this);
    connectControls();
    tray_ = new Tray(this, options_.trayAvailable, options_.trayProbe);
    updateAndPublicity_ = new UpdateAndPublicitySchedule(
        {options_.webServer, options_.webTimeLimit, options_.downloadDirectory},
        options_.webCheckDelay, this);

    layout_ = new MainWindowLayout(dm_, *outerGeometry_, *LVNotatki->header(), this);
    LoadWindowGeometry();
    LoadColumnWidths();
    LoadNotes();
    liveList_ = new LiveList(
        dm_, *this, *fill_, *LVNotatki, [this] { RefreshNotes(); }, this);
    liveList_->start();
    connectTrayToMainWindow(*tray_, *this, dm_);
    workers_ = new MainWindowWorkers(
        dm_, *this, *notesModel_,
        {options_.alarmInterval, options_.blinkInterval, options_.clock, options_.checkAlarms},
        [this](const AlarmBalloon& balloon) {
            AlarmBalloonTitle = balloon.title;
            AlarmBalloonText = balloon.text;
            alarmBalloonContinuesPass_ = balloon.entries > 1;
            ShowAlarmBalloon();
        },
        [this] { BlinkRunningAlarms(); });
}

TFormMain::~TFormMain()
{
    // Stop the workers while the window they hand calls to is still whole.
    workers_->requestStop();
}

void TFormMain::connectControls()
{
    // Queued: the message waits until the operation that found the loss has ended.
    connect(dm_.fileGuard().get(), &DatabaseFileGuard::lost, this, &TFormMain::announceFileLost,
            Qt::QueuedConnection);
    connect(SBDodaj, &QToolButton::clicked, this, &TFormMain::NewNote);
    connect(SBUsun, &QToolButton::clicked, this, &TFormMain::DeleteSelectedNote);
    connect(SzukanyCiag, &QLineEdit::textChanged, this, &TFormMain::SzukanyCiagChange);
    connect(LVNotatki, &QTreeView::doubleClicked, this, [this] { NotatkaPokazEdytuj->trigger(); });
    connect(LVNotatki->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFormMain::LVNotatkiSelectItem);
    // A new fill's first rows replace the list, which drops the selection without a notice.
    connect(notesModel_, &QAbstractItemModel::modelReset, this, &TFormMain::UpdateCommandState);
    connect(fill_, &NoteListFill::busyChanged, ListFillBusy, &QAction::setVisible);

    connect(Plik, &QMenu::aboutToShow, this, &TFormMain::UpdateCommandState);
    connect(MMNowaNotatka, &QAction::triggered, this, &TFormMain::NewNote);
    connect(MMUsun, &QAction::triggered, this, &TFormMain::DeleteSelectedNote);
    connect(MMPodgladEdycja, &QAction::triggered, this, [this] { NotatkaPokazEdytuj->trigger(); });
    connect(MMHaslo, &QAction::triggered, this, [this] {
        auto* form = new TFormHaslo(dm_, this);
        form->setAttribute(Qt::WA_DeleteOnClose);
        form->exec();
    });
    connect(MMZakoncz, &QAction::triggered, this, &TFormMain::QuitProgram);
    connect(NotatkaPokazEdytuj, &QAction::triggered, this, &TFormMain::NotatkaPokazEdytujExecute);
    connect(Ukryj, &QAction::triggered, this, &TFormMain::UkryjExecute);
    connect(OProgramie, &QAction::triggered, this, &TFormMain::OProgramieClick);
    UpdateCommandState();
}

bool TFormMain::ShowMainWindow()
{
    if (isMinimized())
        showNormal();
    else
        show();
    return true;
}

void TFormMain::hideMainWindow()
{
    if (!tray_->isHosted()) {
        showMinimized();
        return;
    }
    hide();
    // A window shown before a tray came has a taskbar button; from now on the tray icon is the
    // way back to it. The flag is changed while the window is hidden, where it moves nothing.
    if (!windowFlags().testFlag(Qt::Tool))
        setWindowFlag(Qt::Tool, true);
}

void TFormMain::TrayIconClick()
{
    if (TrayClickBusy)
        return;
    // While a dialog is open the click leads back to it rather than hiding it with the window.
    if (bringOpenDialogToFront())
        return;
    TrayClickBusy = true;
    if (isVisible() && !isMinimized()) {
        hideMainWindow();
    } else if (ShowMainWindow()) {
        raise();
        activateWindow();
    }
    TrayClickBusy = false;
}

void TFormMain::UkryjExecute()
{
    if (SzukanyCiag->hasFocus() && !SzukanyCiag->text().trimmed().isEmpty()) {
        SzukanyCiag->clear();
        return;
    }
    hideMainWindow();
}

void TFormMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // The window takes no input while a dialog is open over it; when it becomes the active
    // window (a click on it, an activation still on its way) the keyboard goes to the dialog.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && openDialog_ &&
        openDialog_->isVisible())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (openDialog_ && openDialog_->isVisible()) {
                    openDialog_->raise();
                    openDialog_->activateWindow();
                }
            },
            Qt::QueuedConnection);
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (quitting_) {
        event->accept();
        return;
    }
    event->ignore();
    hideMainWindow();
}

void TFormMain::NewNote()
{
    // One editor at a time: the tray menu stays usable while one is open.
    if (bringOpenDialogToFront())
        return;
    if (!ShowMainWindow())
        return;
    if (!PauseAlarmChecker())
        return;
    showNoteEditor(-1);
    ResumeAlarmChecker();
}

void TFormMain::showNoteEditor(qint32 noteId)
{
    auto* editor = new TFormNotatka(dm_, *this, this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    if (noteId == -1) {
        editor->StatusFormatki->setText(QStringLiteral("New note"));
        editor->NoteId = -1;
    } else {
        editor->NoteId = noteId;
        editor->StatusFormatki->setText(QStringLiteral("View / Edit"));
        editor->LoadNote(noteId);
    }
    runDialog(editor);
}

int TFormMain::runDialog(QDialog* dialog)
{
    dialog->setWindowModality(Qt::WindowModal);
    openDialog_ = dialog;
    return dialog->exec();
}

bool TFormMain::bringOpenDialogToFront()
{
    if (!openDialog_ || !openDialog_->isVisible())
        return false;
    ShowMainWindow();
    openDialog_->raise();
    openDialog_->activateWindow();
    return true;
}

void TFormMain::DeleteSelectedNote()
{
    if (bringOpenDialogToFront())
        return;
    const QModelIndexList selected = LVNotatki->selectionModel()->selectedRows();
    if (selected.size() != 1)
        return;
    auto* form = new TFormUsuwanie(dm_, *this, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->NoteId = selected.first().data(NoteListModel::NoteIdRole).toInt();
    form->setNoteTitle(selected.first().data(Qt::DisplayRole).toString());
    runDialog(form);
}

void TFormMain::NotatkaPokazEdytujExecute()
{
    if (bringOpenDialogToFront())
        return;
    const QModelIndexList selected = LVNotatki->selectionModel()->selectedRows();
    if (selected.size() != 1)
        return;
    const qint32 id = selected.first().data(NoteListModel::NoteIdRole).toInt();
    if (!PauseAlarmChecker())
        return;
    bool acknowledged = false;
    try {
        acknowledged = acknowledgeAlarmOnOpen(dm_, id, QDateTime::currentDateTime(),
                                              // the acknowledgement is the editor's first step
                                              QStringLiteral("FormNotatka"));
    } catch (const fb::Error& e) {
        showPlainMessage(this, e.text());
        ResumeAlarmChecker();
        return;
    }
    if (acknowledged) {
        noteChangeCommitted();
        // The note left the group of running alarms: the top of the list shows it in its new
        // place before the editor covers it.
        if (!SzukanyCiag->text().trimmed().isEmpty())
            RefreshNotes();
        else
            LoadNotes();
        fill_->waitForFirstRows();
    }
    showNoteEditor(id);
    ResumeAlarmChecker();
}

bool TFormMain::PauseAlarmChecker()
{
    return workers_->pauseAlarmChecker();
}

void TFormMain::ResumeAlarmChecker()
{
    workers_->resumeAlarmChecker();
}

void TFormMain::ShowAlarmBalloon()
{
    if (quitting_)
        return;
    tray_->showAlarmBalloon(AlarmBalloonTitle, AlarmBalloonText, alarmBalloonContinuesPass_);
    LoadNotes();
}

void TFormMain::QuitProgram()
{
    if (quitting_)
        return;
    if (!closeDialogsForQuit(*this, openDialog_, true, [this] { return quitting_; }))
        return;
    endProgram();
}

void TFormMain::quitWithoutQuestions()
{
    if (quitting_)
        return;
    closeDialogsForQuit(*this, openDialog_, false, [this] { return quitting_; });
    endProgram();
}

void TFormMain::endProgram()
{
    quitting_ = true;
    updateAndPublicity_->quit();
    layout_->saveShownLayout();
    // The checker closes its connection on its own thread while this one winds down.
    if (TAlarmChecker* checker = alarmChecker())
        checker->askToStop();
    QCoreApplication::exit(0);
}

void TFormMain::UpdateCommandState()
{
    const bool one = LVNotatki->selectionModel()->selectedRows().size() == 1;
    MMUsun->setEnabled(one);
    SBUsun->setEnabled(one);
    MMPodgladEdycja->setEnabled(one);
    NotatkaPokazEdytuj->setEnabled(one);
}

QString TFormMain::searchText() const
{
    return SzukanyCiag->text();
}

void TFormMain::focusNoteList()
{
    LVNotatki->setFocus();
}

bool TFormMain::LoadNotes()
{
    fill_->start(sql::notes::fullList());
    return true;
}

bool TFormMain::SearchNotes(const QString& text)
{
    fill_->start(sql::notes::search(text));
    return true;
}

bool TFormMain::RefreshNotes()
{
    const QString text = SzukanyCiag->text();
    return text.isEmpty() ? LoadNotes() : SearchNotes(text);
}

void TFormMain::noteChangeCommitted()
{
    liveList_->ownChangeCommitted();
}

void TFormMain::SzukanyCiagChange()
{
    RefreshNotes();
}

void TFormMain::LVNotatkiSelectItem(const QItemSelection& selected,
                                    const QItemSelection& deselected)
{
    // The row that became selected names the current note; a click that only unselects leaves
    // it at the unselected note. The current cell, the one a screen reader follows, is the
    // row's title.
    const QModelIndexList rows = selected.isEmpty() ? deselected.indexes() : selected.indexes();
    if (!rows.isEmpty() && notesModel_->rowCount() > 0) {
        const QModelIndex index = rows.last();
        CurrentNoteId = index.data(NoteListModel::NoteIdRole).toInt();
        if (!selected.isEmpty())
            LVNotatki->selectionModel()->setCurrentIndex(index.siblingAtColumn(0),
                                                         QItemSelectionModel::NoUpdate);
    }
    UpdateCommandState();
}

void TFormMain::announceFileLost()
{
    if (dm_.fileGuard()->claimAnnouncement())
        showPlainMessage(this, save_failure::fileLostAnnouncement());
}

void TFormMain::BlinkRunningAlarms()
{
    notesModel_->blinkRunningAlarms();
}

QList<qint32> TFormMain::listedNoteIds() const
{
    fill_->waitUntilComplete();
    return notesModel_->rows().ids();
}

void TFormMain::OProgramieClick()
{
    auto* form = new TFormOProgramie(web::productSiteUrl(options_.webServer), this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->exec();
}
