#include "gui/main/FormMain.h"

#include "core/settings/WindowLayout.h"
#include "core/storage/AlarmColumns.h"
#include "core/storage/AlarmStateStore.h"
#include "core/storage/DataModule.h"
#include "core/storage/NoteListStatements.h"
#include "core/storage/SaveFailure.h"
#include "core/web/WebChecks.h"
#include "gui/access/FormHaslo.h"
#include "gui/main/BlinkGate.h"
#include "gui/main/NoteListFill.h"
#include "gui/main/NoteListModel.h"
#include "gui/main/NoteListView.h"
#include "gui/main/WindowShortcutFilter.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/FormUsuwanie.h"
#include "gui/platform/AnchorLayout.h"
#include "gui/platform/CursorBlinkPause.h"
#include "gui/platform/Icons.h"
#include "gui/platform/Look.h"
#include "gui/platform/OuterGeometryKeeper.h"
#include "gui/platform/PlainMessage.h"
#include "gui/tray/Tray.h"
#include "gui/web/BrowserEngine.h"
#include "gui/web/FormOProgramie.h"
#include "gui/web/PublicityLoader.h"
#include "gui/web/Update.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

namespace {

const QString kTitleWidthKey = QStringLiteral("TytulSzerokosc");
const QString kDateWidthKey = QStringLiteral("DataSzerokosc");
const QString kWidthKey = QStringLiteral("FormMainWidth");
const QString kHeightKey = QStringLiteral("FormMainHeight");
const QString kTopKey = QStringLiteral("FormMainTop");
const QString kLeftKey = QStringLiteral("FormMainLeft");

constexpr QSize kDesignClientSize{292, 535};

} // namespace

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

    buildControls();
    buildMenus();
    buildTrayIcon();
    buildWebChecks();

    LoadWindowGeometry();
    LoadColumnWidths();
    LoadNotes();

    if (options_.checkAlarms) {
        AlarmChecker = new TAlarmChecker(options_.checkAlarms, options_.alarmInterval, this);
    } else {
        AlarmChecker = new TAlarmChecker(
            dm_.fileGuard(), options_.clock,
            [this](const AlarmBalloon& balloon) {
                AlarmBalloonTitle = balloon.title;
                AlarmBalloonText = balloon.text;
                alarmBalloonContinuesPass_ = balloon.entries > 1;
                ShowAlarmBalloon();
            },
            options_.alarmInterval, this);
    }
    AlarmChecker->start();
    BlinkingItems =
        new TBlinkingItems([this] { BlinkRunningAlarms(); }, options_.blinkInterval, this);
    // The beat runs only while a running alarm is listed and the window is shown.
    BlinkingItems->setActive(false);
    BlinkingItems->start();
    blinkGate_ = new BlinkGate(*this, *notesModel_, BlinkingItems, this);
    // Shown with nobody at it, the window would still wake twice a second for the search
    // box's blinking cursor.
    new CursorBlinkPause(CursorBlinkPause::kIdleTimeout, this);
}

TFormMain::~TFormMain()
{
    // Stop the workers while the window they hand calls to is still whole.
    if (AlarmChecker)
        AlarmChecker->requestStop();
    if (BlinkingItems)
        BlinkingItems->requestStop();
}

void TFormMain::buildControls()
{
    auto* client = new QWidget(this);
    auto* layout = new AnchorLayout(client, kDesignClientSize);
    using E = AnchorLayout::Edge;

    LVNotatki = new NoteListView(client);
    LVNotatki->setObjectName(QStringLiteral("LVNotatki"));
    notesModel_ = new NoteListModel(this);
    LVNotatki->setModel(notesModel_);
    fill_ = new NoteListFill(
        dm_.fileGuard(), *notesModel_, *LVNotatki, [this] { return CurrentNoteId; }, this);
    // Queued: the message waits until the operation that found the loss has ended.
    connect(dm_.fileGuard().get(), &DatabaseFileGuard::lost, this, &TFormMain::announceFileLost,
            Qt::QueuedConnection);
    LVNotatki->setRootIsDecorated(false);
    LVNotatki->setSelectionMode(QAbstractItemView::SingleSelection);
    LVNotatki->setSelectionBehavior(QAbstractItemView::SelectRows);
    LVNotatki->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LVNotatki->setUniformRowHeights(true);
    LVNotatki->header()->setSectionsClickable(false);
    LVNotatki->header()->setSectionsMovable(false);
    LVNotatki->header()->setStretchLastSection(false);
    LVNotatki->header()->setMinimumSectionSize(window_layout::kMinimumColumnWidth);
    layout->addWidget(LVNotatki, QRect(7, 6, 279, 492), E::Left | E::Top | E::Right | E::Bottom);

    SBDodaj = new QToolButton(client);
    SBDodaj->setObjectName(QStringLiteral("SBDodaj"));
    SBDodaj->setAutoRaise(true);
    SBDodaj->setIcon(icons::newNote());
    SBDodaj->setToolTip(QStringLiteral("New note"));
    SBDodaj->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(SBDodaj, QRect(6, 504, 25, 25), E::Left | E::Bottom);

    auto* trashDisabled = new QLabel(client);
    trashDisabled->setObjectName(QStringLiteral("ImageKoszDisabled"));
    trashDisabled->setPixmap(icons::trashDisabled());
    trashDisabled->setAlignment(Qt::AlignCenter);
    layout->addWidget(trashDisabled, QRect(34, 505, 25, 24), E::Left | E::Bottom);

    SBUsun = new QToolButton(client);
    SBUsun->setObjectName(QStringLiteral("SBUsun"));
    SBUsun->setAutoRaise(true);
    SBUsun->setIcon(icons::trash());
    SBUsun->setToolTip(QStringLiteral("Delete"));
    SBUsun->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(SBUsun, QRect(34, 504, 25, 25), E::Left | E::Bottom);

    auto* magnifier = new QLabel(client);
    magnifier->setObjectName(QStringLiteral("Image1"));
    magnifier->setPixmap(icons::magnifier());
    layout->addWidget(magnifier, QRect(81, 509, 13, 16), E::Left | E::Bottom);

    auto* searchLabel = new QLabel(QStringLiteral("Search:"), client);
    searchLabel->setObjectName(QStringLiteral("Label2"));
    QFont bold = searchLabel->font();
    bold.setBold(true);
    searchLabel->setFont(bold);
    layout->addWidget(searchLabel, QRect(QPoint(99, 511), searchLabel->sizeHint()),
                      E::Left | E::Bottom);

    SzukanyCiag = new QLineEdit(client);
    SzukanyCiag->setObjectName(QStringLiteral("SzukanyCiag"));
    SzukanyCiag->setMaxLength(50);
    layout->addWidget(SzukanyCiag, QRect(144, 508, 142, 21), E::Left | E::Bottom);
    // A partly read list must not pass for the whole one.
    ListFillBusy = SzukanyCiag->addAction(style()->standardIcon(QStyle::SP_BrowserReload),
                                          QLineEdit::TrailingPosition);
    ListFillBusy->setObjectName(QStringLiteral("ListFillBusy"));
    ListFillBusy->setToolTip(QStringLiteral("Reading notes..."));
    ListFillBusy->setVisible(false);

    setCentralWidget(client);
    QWidget::setTabOrder(SzukanyCiag, LVNotatki);
    SzukanyCiag->setFocus();

    connect(SBDodaj, &QToolButton::clicked, this, &TFormMain::NewNote);
    connect(SBUsun, &QToolButton::clicked, this, &TFormMain::DeleteSelectedNote);
    connect(SzukanyCiag, &QLineEdit::textChanged, this, &TFormMain::SzukanyCiagChange);
    connect(LVNotatki, &QTreeView::doubleClicked, this, [this] { NotatkaPokazEdytuj->trigger(); });
    connect(LVNotatki->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFormMain::LVNotatkiSelectItem);
    // A new fill's first rows replace the list, which drops the selection without a notice.
    connect(notesModel_, &QAbstractItemModel::modelReset, this, &TFormMain::UpdateCommandState);
    connect(fill_, &NoteListFill::busyChanged, ListFillBusy, &QAction::setVisible);
}

void TFormMain::buildMenus()
{
    Plik = menuBar()->addMenu(QStringLiteral("File"));
    Plik->setObjectName(QStringLiteral("Plik"));
    connect(Plik, &QMenu::aboutToShow, this, &TFormMain::UpdateCommandState);

    auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                          const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        return action;
    };
    MMNowaNotatka = addItem(Plik, "MMNowaNotatka", QStringLiteral("New note"), Qt::Key_Insert);
    MMUsun = addItem(Plik, "MMUsun", QStringLiteral("Delete"), Qt::Key_Delete);
    MMPodgladEdycja = addItem(Plik, "MMPodgladEdycja", QStringLiteral("View / Edit"), Qt::Key_F2);
    Plik->addSeparator()->setObjectName(QStringLiteral("N3"));
    MMHaslo = addItem(Plik, "MMHaslo", QStringLiteral("Configure password"));
    Plik->addSeparator()->setObjectName(QStringLiteral("N2"));
    MMZakoncz = addItem(Plik, "MMZakoncz", QStringLiteral("Close"));

    QMenu* info = menuBar()->addMenu(QStringLiteral("Info"));
    info->setObjectName(QStringLiteral("Info"));
    OProgramie = addItem(info, "OProgramie", QStringLiteral("About..."));

    NotatkaPokazEdytuj = new QAction(QStringLiteral("View / Edit"), this);
    NotatkaPokazEdytuj->setObjectName(QStringLiteral("NotatkaPokazEdytuj"));
    NotatkaPokazEdytuj->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    NotatkaPokazEdytuj->setShortcutContext(Qt::WindowShortcut);
    addAction(NotatkaPokazEdytuj);
    Ukryj = new QAction(QStringLiteral("Hide"), this);
    Ukryj->setObjectName(QStringLiteral("Ukryj"));
    Ukryj->setShortcut(Qt::Key_Escape);
    Ukryj->setShortcutContext(Qt::WindowShortcut);
    addAction(Ukryj);

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

    auto* filter = new WindowShortcutFilter(
        {QKeySequence(Qt::Key_Insert), QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_F2),
         QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Escape)},
        this);
    filter->watch(SzukanyCiag);
    filter->watch(LVNotatki);
    UpdateCommandState();
}

void TFormMain::buildTrayIcon()
{
    tray_ = new Tray(this, options_.trayAvailable);
    TrayIcon = tray_->icon();
    PopupMenu = tray_->menu();
    PMOtworz = tray_->openAction();
    PMNowaNotatka = tray_->newNoteAction();
    PMZakoncz = tray_->closeAction();
    connect(PMOtworz, &QAction::triggered, this, [this] {
        if (!bringOpenDialogToFront())
            ShowMainWindow();
    });
    connect(PMNowaNotatka, &QAction::triggered, this, &TFormMain::NewNote);
    connect(PMZakoncz, &QAction::triggered, this, &TFormMain::QuitProgram);
    connect(tray_, &Tray::clicked, this, &TFormMain::TrayIconClick);
    connect(tray_, &Tray::balloonClicked, this, [this] {
        ShowMainWindow();
        raise();
        activateWindow();
        LoadNotes();
    });
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
    if (options_.trayAvailable)
        hide();
    else
        showMinimized();
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
    int state = AlarmNone;
    try {
        state = ReadAlarmState(dm_, id);
    } catch (const fb::Error& e) {
        showPlainMessage(this, e.text());
        ResumeAlarmChecker();
        return;
    }
    if ((state & 0xFF) == AlarmRunning) {
        // Opening the note acknowledges its alarm: it leaves the top group and stops blinking
        // before the editor shows.
        SetAlarmState(dm_, id, AlarmAcknowledged, std::nullopt, QDateTime::currentDateTime());
        if (!SzukanyCiag->text().trimmed().isEmpty())
            RefreshNotes();
        else
            LoadNotes();
        // The top of the list shows the note moved out of the running group before the
        // editor covers it.
        fill_->waitForFirstRows();
    }
    showNoteEditor(id);
    ResumeAlarmChecker();
}

bool TFormMain::PauseAlarmChecker()
{
    if (!AlarmChecker || AlarmChecker->isStopRequested())
        return false;
    return AlarmChecker->pause();
}

void TFormMain::ResumeAlarmChecker()
{
    if (AlarmChecker && !AlarmChecker->isStopRequested() && AlarmChecker->isPaused())
        AlarmChecker->resume();
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
    quitting_ = true;
    dm_.Disconnect();
    DeleteDownloadedFiles();
    SaveWindowGeometry();
    SaveColumnWidths();
    QCoreApplication::exit(0);
}

void TFormMain::LoadWindowGeometry()
{
    using namespace window_layout;
    StoredGeometry stored;
    stored.width = parseStored(dm_.GetSetting(kWidthKey));
    stored.height = parseStored(dm_.GetSetting(kHeightKey));
    stored.top = parseStored(dm_.GetSetting(kTopKey));
    stored.left = parseStored(dm_.GetSetting(kLeftKey));
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->geometry();
    const QScreen* primary = QGuiApplication::primaryScreen();
    outerGeometry_->setOuter(
        resolveGeometry(stored, primary ? primary->geometry().size() : QSize(), screens));
}

void TFormMain::LoadColumnWidths()
{
    using namespace window_layout;
    QHeaderView* header = LVNotatki->header();
    header->resizeSection(
        0, resolveColumnWidth(parseStored(dm_.GetSetting(kTitleWidthKey)), kDefaultTitleWidth));
    header->resizeSection(
        1, resolveColumnWidth(parseStored(dm_.GetSetting(kDateWidthKey)), kDefaultDateWidth));
}

void TFormMain::SaveWindowGeometry()
{
    const QRect outer = outerGeometry_->outer();
    dm_.SetSetting(kHeightKey, QString::number(outer.height()));
    dm_.SetSetting(kWidthKey, QString::number(outer.width()));
    dm_.SetSetting(kTopKey, QString::number(outer.top()));
    dm_.SetSetting(kLeftKey, QString::number(outer.left()));
}

void TFormMain::SaveColumnWidths()
{
    dm_.SetSetting(kTitleWidthKey, QString::number(LVNotatki->header()->sectionSize(0)));
    dm_.SetSetting(kDateWidthKey, QString::number(LVNotatki->header()->sectionSize(1)));
}

int TFormMain::selectedCount() const
{
    return int(LVNotatki->selectionModel()->selectedRows().size());
}

void TFormMain::UpdateCommandState()
{
    const bool one = selectedCount() == 1;
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

void TFormMain::SzukanyCiagChange()
{
    RefreshNotes();
}

void TFormMain::LVNotatkiSelectItem(const QItemSelection& selected,
                                    const QItemSelection& deselected)
{
    // The row that became selected names the current note; a click that only unselects leaves
    // it at the unselected note.
    const QModelIndexList rows = selected.isEmpty() ? deselected.indexes() : selected.indexes();
    if (!rows.isEmpty() && notesModel_->rowCount() > 0) {
        const QModelIndex index = rows.last();
        CurrentNoteId = index.data(NoteListModel::NoteIdRole).toInt();
        if (!selected.isEmpty())
            LVNotatki->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
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

void TFormMain::buildWebChecks()
{
    webChecks_ = new WebChecks(
        {options_.webServer, options_.webTimeLimit, options_.downloadDirectory}, this);
    connect(webChecks_, &WebChecks::updateChecked, this, [this](bool otherVersion) {
        if (otherVersion && !quitting_) {
            fUpdate = new TfUpdate(web::productSiteUrl(options_.webServer), this);
            fUpdate->show();
        }
        CheckPublicity();
    });
    connect(webChecks_, &WebChecks::publicityChecked, this, [this](bool offered) {
        // Where the browser engine cannot start, it would end the program: no window then.
        if (!offered || quitting_ || !browser_engine::canStart(browser_engine::currentConditions()))
            return;
        web::GetLimits probeLimits;
        probeLimits.timeLimit = options_.webTimeLimit;
        Reklama = publicity_loader::createWindow(web::publicityPageUrl(options_.webServer),
                                                 probeLimits, this);
        if (!Reklama)
            return;
        Reklama->show();
        Reklama->raise();
        Reklama->activateWindow();
    });

    tUpdateAndPublicity = new QTimer(this);
    tUpdateAndPublicity->setObjectName(QStringLiteral("tUpdateAndPublicity"));
    tUpdateAndPublicity->setInterval(options_.webCheckDelay);
    connect(tUpdateAndPublicity, &QTimer::timeout, this, &TFormMain::tUpdateAndPublicityTimer);
    tUpdateAndPublicity->start();
}

void TFormMain::tUpdateAndPublicityTimer()
{
    // Nothing starts the timer again: the checks run once per run.
    tUpdateAndPublicity->stop();
    CheckUpdate();
}

void TFormMain::CheckUpdate()
{
    webChecks_->checkUpdate();
}

void TFormMain::CheckPublicity()
{
    webChecks_->checkPublicity();
}

void TFormMain::DeleteDownloadedFiles()
{
    webChecks_->deleteDownloadedFiles();
}

void TFormMain::OProgramieClick()
{
    auto* form = new TFormOProgramie(web::productSiteUrl(options_.webServer), this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->exec();
}
