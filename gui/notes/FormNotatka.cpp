#include "gui/notes/FormNotatka.h"

#include "core/notes/AlarmAfterSave.h"
#include "core/notes/AlarmValidation.h"
#include "core/notes/MemoText.h"
#include "core/notes/QuitSave.h"
#include "core/storage/DataModule.h"
#include "core/storage/NoteStore.h"
#include "core/storage/SaveFailure.h"
#include "gui/notes/AlarmPickers.h"
#include "gui/notes/LimitedMemo.h"
#include "gui/notes/NoteListHost.h"
#include "gui/notes/TitleValidator.h"
#include "gui/platform/AnchorLayout.h"
#include "gui/platform/FixedDialog.h"
#include "gui/platform/FontScale.h"
#include "gui/platform/Icons.h"
#include "gui/platform/Look.h"
#include "gui/platform/PlainMessage.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimeEdit>

namespace {

const QString kWindowName = QStringLiteral("FormNotatka");
const QString kNewNoteCaption = QStringLiteral("New note");
const QString kDeletedMeanwhileMessage =
    QStringLiteral("This note was deleted meanwhile. It is saved as a new note.");
const QString kChangedElsewhereMessage =
    QStringLiteral("This note was changed elsewhere while you were editing it. Your text is saved "
                   "as a new note.");

constexpr QSize kDesignClientSize{392, 273};

} // namespace

TFormNotatka::TFormNotatka(TDM& dm, NoteListHost& noteList, QWidget* parent, Clock clock)
    : QDialog(parent), dm_(dm), noteList_(noteList), clock_(std::move(clock))
{
    setObjectName(kWindowName);
    setWindowTitle(QStringLiteral("Quillbox - Note"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    look::applyWindowLook(this);
    buildControls();
    // A font larger than designed opens the window larger in proportion (gui/platform/FontScale.h).
    const QSize openingSize = font_scale::scaled(kDesignClientSize, font_scale::factor(this));
    resize(openingSize);
    // The window may grow but never shrinks below the size it opens at (400 by 300 with a
    // frame of 4 pixels a side and a 23-pixel caption); the window manager adds its own frame.
    setMinimumSize(openingSize);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FormCreate();

    connect(cAlarm, &QCheckBox::toggled, this, &TFormNotatka::cAlarmClick);
    connect(cbAlarm, &QComboBox::currentIndexChanged, this, &TFormNotatka::cbAlarmChange);
    connect(dtDate, &QDateEdit::dateChanged, this, &TFormNotatka::cbAlarmChange);
    connect(dtTime, &QTimeEdit::timeChanged, this, &TFormNotatka::cbAlarmChange);
    connect(Tresc, &LimitedMemo::textChanged, this, &TFormNotatka::UpdateCharsLeft);
    connect(OK, &QPushButton::clicked, this, &TFormNotatka::OKClick);
    connect(Anuluj, &QPushButton::clicked, Zamknij, &QAction::trigger);
    connect(Zamknij, &QAction::triggered, this, &QDialog::reject);
}

TFormNotatka::~TFormNotatka() = default;

void TFormNotatka::buildControls()
{
    auto* layout = new AnchorLayout(this, kDesignClientSize, font_scale::factor(this));
    using E = AnchorLayout::Edge;
    QFont bold = font();
    bold.setBold(true);

    Label1 = new QLabel(QStringLiteral("Title"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(bold);
    layout->addWidgetAt(Label1, QPoint(8, 8));

    Tytul = new QLineEdit(this);
    Tytul->setObjectName(QStringLiteral("Tytul"));
    // The validator holds the title to its limit; the edit's own limit would count UTF-16
    // units and cut an emoji in half.
    Tytul->setValidator(new TitleValidator(Tytul));
    layout->addWidget(Tytul, QRect(8, 23, 142, 19));
    Label1->setBuddy(Tytul);

    pAlarm = new QLabel(this);
    pAlarm->setObjectName(QStringLiteral("pAlarm"));
    pAlarm->setPixmap(icons::alarmSign());
    pAlarm->setAccessibleName(QStringLiteral("Alarm sign"));
    layout->addWidget(pAlarm, QRect(168, 22, 17, 18));

    // The row is a few pixels wider than designed for Tahoma: the face standing in for it
    // needs them for the check box's focus frame to keep clear of the date picker and for the
    // date to keep clear of the picker's drop-down arrow.
    cAlarm = new QCheckBox(QStringLiteral("Alarm"), this);
    cAlarm->setObjectName(QStringLiteral("cAlarm"));
    layout->addWidgetAt(cAlarm, QPoint(188, 24));

    dtDate = new AlarmDateEdit(this);
    dtDate->setObjectName(QStringLiteral("dtDate"));
    dtDate->setAccessibleName(QStringLiteral("Alarm date"));
    dtDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtDate->setCalendarPopup(true);
    dtDate->hide();
    layout->addWidget(dtDate, QRect(242, 20, 86, 21));

    dtTime = new AlarmTimeEdit(this);
    dtTime->setObjectName(QStringLiteral("dtTime"));
    dtTime->setAccessibleName(QStringLiteral("Alarm time"));
    dtTime->setDisplayFormat(QStringLiteral("HH:mm"));
    dtTime->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    dtTime->hide();
    // A spin box is drawn one pixel inside its rectangle at the top and the bottom: one pixel
    // more on each side makes it look as tall as the date picker beside it.
    layout->addWidget(dtTime, QRect(331, 19, 56, 23));

    // The recurrence kinds, in the order of their stored values. The list is never shown: new
    // alarms are one-off and existing ones keep their kind.
    cbAlarm = new QComboBox(this);
    cbAlarm->setObjectName(QStringLiteral("cbAlarm"));
    cbAlarm->addItems({QStringLiteral("tylko raz"), QStringLiteral("codziennie"),
                       QStringLiteral("co tydzień"), QStringLiteral("co miesiąc"),
                       QStringLiteral("co rok")});
    cbAlarm->hide();
    layout->addWidget(cbAlarm, QRect(242, 42, 82, 21));

    Label2 = new QLabel(QStringLiteral("Message"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(bold);
    layout->addWidgetAt(Label2, QPoint(8, 49));

    Tresc = new LimitedMemo(memo_text::kMaxLength, this);
    Tresc->setObjectName(QStringLiteral("Tresc"));
    Label2->setBuddy(Tresc);
    Tresc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Tresc->setTabChangesFocus(true);
    layout->addWidget(Tresc, QRect(8, 64, 376, 135), E::Left | E::Top | E::Right | E::Bottom);

    // Right-aligned under the memo's right edge, wide enough for the longest count.
    LBIloscZnakow = new QLabel(this);
    LBIloscZnakow->setObjectName(QStringLiteral("LBIloscZnakow"));
    LBIloscZnakow->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int counterWidth = std::max(
        77,
        LBIloscZnakow->fontMetrics().horizontalAdvance(QStringLiteral("Characters left 5000")) + 4);
    layout->addWidget(
        LBIloscZnakow,
        QRect(384 - counterWidth, 205, counterWidth, LBIloscZnakow->fontMetrics().height()),
        E::Right | E::Bottom);

    Bevel1 = fixed_dialog::addBevel(layout, QRect(0, 227, kDesignClientSize.width(), 2),
                                    E::Left | E::Right | E::Bottom);

    StatusFormatki = new QLabel(this);
    StatusFormatki->setObjectName(QStringLiteral("StatusFormatki"));
    QFont statusFont = font();
    statusFont.setPointSize(10);
    StatusFormatki->setFont(statusFont);
    QPalette statusPalette = StatusFormatki->palette();
    statusPalette.setColor(QPalette::WindowText, QColor(128, 0, 0));
    StatusFormatki->setPalette(statusPalette);
    layout->addWidget(StatusFormatki,
                      QRect(8, 242, 200, StatusFormatki->fontMetrics().height() + 2),
                      E::Left | E::Bottom);

    OK = fixed_dialog::addOkButton(layout, QRect(226, 240, 75, 25), QStringLiteral("OK"),
                                   E::Right | E::Bottom);
    OK->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    Anuluj = fixed_dialog::addCancelButton(layout, QRect(307, 240, 75, 25),
                                           QStringLiteral("Cancel"), E::Right | E::Bottom);
    Anuluj->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    Zamknij = fixed_dialog::addCloseAction(this, QStringLiteral("Close"));

    QWidget::setTabOrder(Tytul, cAlarm);
    QWidget::setTabOrder(cAlarm, dtDate);
    QWidget::setTabOrder(dtDate, dtTime);
    QWidget::setTabOrder(dtTime, Tresc);
    QWidget::setTabOrder(Tresc, OK);
    QWidget::setTabOrder(OK, Anuluj);
    QWidget::setTabOrder(Anuluj, cbAlarm);
    Tytul->setFocus();
}

void TFormNotatka::FormCreate()
{
    UpdateCharsLeft();
    const QDateTime now = clock_();
    dtDate->setDate(now.date());
    dtTime->setTime(now.time());
    cbAlarm->setCurrentIndex(0);
}

void TFormNotatka::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void TFormNotatka::FormShow()
{
    if (StatusFormatki->text() == kNewNoteCaption)
        Tytul->setText(GetDefaultTitle());
    Tytul->selectAll();
    shownTitle_ = Tytul->text();
    shownMessage_ = Tresc->storedText();
}

void TFormNotatka::UpdateCharsLeft()
{
    LBIloscZnakow->setText(QStringLiteral("Characters left ") +
                           QString::number(memo_text::kMaxLength - Tresc->storedLength()));
}

QString TFormNotatka::GetDefaultTitle()
{
    try {
        return QStringLiteral("Note no ") + QString::number(note_store::countNotes(dm_) + 1);
    } catch (const fb::Error& e) {
        dm_.ReportDbError(QStringLiteral("Unable to get default title!"), kWindowName, e.text());
        return QStringLiteral("n. a.");
    }
}

bool TFormNotatka::LoadNote(qint32 noteId)
{
    bool loaded = true;
    try {
        if (const auto note = note_store::readNote(dm_, noteId)) {
            loaded_ = std::make_unique<note_store::NoteText>(
                note_store::NoteText{note->title, note->message});
            Tytul->setText(note->title);
            Tresc->setStoredText(note->message);
            LoadAlarmSection(*note);
        }
    } catch (const fb::Error& e) {
        dm_.ReportDbError(QStringLiteral("Can't get data!"), kWindowName, e.text());
        loaded = false;
    }
    // The loading itself went through the change handlers.
    AlarmChanged = false;
    return loaded;
}

void TFormNotatka::LoadAlarmSection(const note_store::StoredNote& note)
{
    if (note.alarm == AlarmRunning || note.alarm == AlarmPlanned ||
        note.alarm == AlarmAcknowledged) {
        cAlarm->setChecked(true);
        // A kind outside the list leaves it without a selection; saving then keeps the
        // stored schedule.
        cbAlarm->setCurrentIndex(note.kind >= AlarmOnce && note.kind <= AlarmAnnual ? note.kind
                                                                                    : -1);
        if (note.alarmDate.isValid())
            dtDate->setDate(note.alarmDate);
        if (note.alarmTime.isValid())
            dtTime->setTime(note.alarmTime);
    } else {
        cAlarm->setChecked(false);
    }
}

qint32 TFormNotatka::InsertNote(const QString& title, const QString& message)
{
    return insertNoteRow(title, message, true);
}

qint32 TFormNotatka::insertNoteRow(const QString& title, const QString& message, bool withAlarm)
{
    sql::note::NewNoteRow row;
    row.title = title;
    row.message = message;
    row.created = clock_();
    row.state = withAlarm && cAlarm->isChecked() ? AlarmPlanned : AlarmNone;
    row.kind = cbAlarm->currentIndex();
    row.alarmDate = dtDate->date();
    row.alarmTime = dtTime->time();
    try {
        const qint32 id = note_store::insertNote(dm_, row);
        noteList_.noteChangeCommitted();
        return id;
    } catch (const fb::Error& e) {
        lastSaveKind_ = e.kind();
        dm_.ReportDbError(QStringLiteral("Can't add new note!"), kWindowName, e.text());
        return -1;
    }
}

bool TFormNotatka::hasChanges() const
{
    return AlarmChanged || Tytul->text() != shownTitle_ || Tresc->storedText() != shownMessage_;
}

bool TFormNotatka::saveForQuit()
{
    const QuitAlarm alarm = quitAlarm({NoteId == -1, cAlarm->isChecked(), AlarmChanged},
                                      validateAlarm(dtDate->date(), dtTime->time(), clock_()));
    const bool alarmAsShown = alarm == QuitAlarm::AsShown;
    // A new note is saved as OK saves it; so is one whose row is gone or holds another text.
    const auto saveNew = [&] {
        const QString title =
            Tytul->text().isEmpty() && NoteId == -1 ? GetDefaultTitle() : Tytul->text();
        const qint32 id = insertNoteRow(title, Tresc->storedText(), alarmAsShown);
        if (id == -1)
            return false;
        NoteId = id;
        noteList_.setCurrentNoteId(id);
        return true;
    };
    if (NoteId == -1)
        return saveNew();
    std::optional<note_store::NoteText> loaded;
    if (loaded_)
        loaded = *loaded_;
    try {
        const auto outcome = note_store::saveExistingNote(
            dm_, NoteId, loaded, Tytul->text(), Tresc->storedText(),
            [this, alarmAsShown](int storedState) -> std::optional<note_store::AlarmUpdate> {
                if (!alarmAsShown)
                    return std::nullopt;
                return alarmAfterSaving(storedState);
            },
            clock_());
        if (outcome != note_store::SaveOutcome::Saved)
            return saveNew();
        return true;
    } catch (const fb::Error& e) {
        dm_.ReportDbError(QStringLiteral("Can't save changes in note!"), kWindowName, e.text());
        return false;
    }
}

void TFormNotatka::OKClick()
{
    // The only database error that reaches here is the read of the stored alarm state; nothing
    // of the note is saved then, and the editor stays open to save again.
    lastSaveKind_ = fb::ErrorKind::Other;
    try {
        if (NoteId == -1) {
            if (!cAlarm->isChecked() || ValidateAlarm())
                SaveNewNote();
        } else {
            if (AlarmChanged && cAlarm->isChecked() && !ValidateAlarm())
                return;
            SaveExistingNote();
        }
    } catch (const fb::Error& e) {
        showPlainMessage(this, e.text());
    }
}

void TFormNotatka::SaveNewNote()
{
    // An emptied title gets a number counted now, not when the editor opened. Tytul itself is
    // left as typed until the note is stored.
    const QString title = Tytul->text().isEmpty() ? GetDefaultTitle() : Tytul->text();
    const qint32 id = InsertNote(title, Tresc->storedText());
    if (id == -1) {
        reportNotSaved();
        return;
    }
    Tytul->setText(title);
    noteList_.setCurrentNoteId(id);
    if (!noteList_.searchText().isEmpty())
        noteList_.focusNoteList();
    noteList_.LoadNotes();
    accept();
}

void TFormNotatka::SaveExistingNote()
{
    // An emptied title is stored empty: the proposed title is for new notes only. The text and
    // the alarm are one transaction: a refused alarm write keeps the old text too.
    // A note changed elsewhere since it was loaded is not overwritten: what was typed becomes
    // a note of its own and both texts are kept.
    std::optional<note_store::NoteText> loaded;
    if (loaded_)
        loaded = *loaded_;
    auto outcome = note_store::SaveOutcome::Saved;
    try {
        outcome = note_store::saveExistingNote(
            dm_, NoteId, loaded, Tytul->text(), Tresc->storedText(),
            [this](int storedState) { return alarmAfterSaving(storedState); }, clock_());
    } catch (const note_store::SaveError& e) {
        lastSaveKind_ = e.kind();
        switch (e.step()) {
        case note_store::SaveStep::AlarmRead:
            throw fb::Error(e);
        case note_store::SaveStep::Text:
            dm_.ReportDbError(QStringLiteral("Can't save changes in note!"), kWindowName, e.text());
            break;
        case note_store::SaveStep::AlarmWrite:
            dm_.ReportDbError(QStringLiteral("Can't set the type of alarm!"), kWindowName,
                              e.text());
            break;
        }
        reportNotSaved();
        return;
    }
    switch (outcome) {
    case note_store::SaveOutcome::Saved:
        break;
    case note_store::SaveOutcome::Deleted:
        saveAsNewNote(kDeletedMeanwhileMessage);
        return;
    case note_store::SaveOutcome::ChangedElsewhere:
        saveAsNewNote(kChangedElsewhereMessage);
        return;
    }
    noteList_.noteChangeCommitted();
    noteList_.RefreshNotes();
    accept();
}

void TFormNotatka::saveAsNewNote(const QString& why)
{
    // Another program deleted or changed the note while it was open here. What was typed
    // becomes a new note (title, message and alarm as shown) rather than being lost.
    showPlainMessage(this, why);
    const qint32 id = InsertNote(Tytul->text(), Tresc->storedText());
    if (id == -1) {
        reportNotSaved();
        return;
    }
    NoteId = id;
    noteList_.setCurrentNoteId(id);
    if (!noteList_.searchText().isEmpty())
        noteList_.focusNoteList();
    noteList_.LoadNotes();
    accept();
}

void TFormNotatka::reportNotSaved()
{
    // The reason, when the user can act on it. A database file moved or replaced meanwhile is
    // announced once in the whole program; should this be the first time, the editor says it.
    if (lastSaveKind_ == fb::ErrorKind::FileMoved && dm_.fileGuard()->claimAnnouncement()) {
        showPlainMessage(this, save_failure::noteNotSavedMessage(fb::ErrorKind::Other) +
                                   QStringLiteral("\n\n") + save_failure::fileLostAnnouncement());
        return;
    }
    showPlainMessage(this, save_failure::noteNotSavedMessage(lastSaveKind_));
}

bool TFormNotatka::ValidateAlarm()
{
    const AlarmVerdict verdict = validateAlarm(dtDate->date(), dtTime->time(), clock_());
    if (verdict == AlarmVerdict::Accepted)
        return true;
    showPlainMessage(this, alarmVerdictMessage(verdict));
    if (verdict == AlarmVerdict::DateBeforeToday)
        dtDate->setFocus();
    else
        dtTime->setFocus();
    return false;
}

std::optional<note_store::AlarmUpdate> TFormNotatka::alarmAfterSaving(int storedState) const
{
    const auto write = alarmAfterSave(storedState, cAlarm->isChecked(), AlarmChanged);
    if (!write)
        return std::nullopt;
    note_store::AlarmUpdate update;
    update.state = write->state;
    if (write->withSchedule)
        update.schedule =
            sql::alarm::Schedule{cbAlarm->currentIndex(), dtDate->date(), dtTime->time()};
    return update;
}

void TFormNotatka::cAlarmClick()
{
    cbAlarm->hide();
    if (cAlarm->isChecked()) {
        if (cbAlarm->currentIndex() == -1 && NoteId == -1)
            cbAlarm->setCurrentIndex(0);
        if (NoteId == -1) {
            const QDateTime now = clock_();
            dtDate->setDate(now.date());
            dtTime->setTime(now.time());
        }
        dtDate->show();
        dtTime->show();
    } else {
        dtDate->hide();
        dtTime->hide();
    }
    AlarmChanged = true;
}

void TFormNotatka::cbAlarmChange()
{
    AlarmChanged = true;
}
