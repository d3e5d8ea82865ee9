#pragma once

// TFormNotatka: the modal note editor. It shows a new note or an existing one with its title,
// message and alarm, and on OK writes the note and has the main window reload its list.

#include "core/storage/ErrorKind.h"

#include <QDateTime>
#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

class LimitedMemo;
class NoteListHost;
class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class TDM;

namespace note_store {
struct StoredNote;
struct AlarmUpdate;
struct NoteText;
} // namespace note_store

class TFormNotatka : public QDialog
{
    Q_OBJECT
public:
    // Where the editor reads the current moment; tests fix it.
    using Clock = std::function<QDateTime()>;

    TFormNotatka(TDM& dm, NoteListHost& noteList, QWidget* parent = nullptr,
                 Clock clock = &QDateTime::currentDateTime);
    ~TFormNotatka() override;

    // The note shown: -1 for a new note, otherwise its ID. Set by the opener before showing.
    qint32 NoteId = -1;
    // The user touched the alarm section since the note was loaded.
    bool AlarmChanged = false;

    // Fills the editor from the note's row; false when the read failed (the fields then keep
    // whatever was filled before the failure). A missing row leaves the fields as created.
    bool LoadNote(qint32 noteId);
    // "Note no N" for N one more than the notes stored; "n. a." when they cannot be counted.
    QString GetDefaultTitle();
    // The new note's ID, or -1 when it was not stored.
    qint32 InsertNote(const QString& title, const QString& message);
    void SaveNewNote();
    void SaveExistingNote();
    void UpdateCharsLeft();

    // Alarm section.
    // True when the moment in the pickers may be saved; otherwise says why and focuses the
    // picker at fault.
    bool ValidateAlarm();
    // The alarm statement that follows saving an existing note whose row holds storedState.
    std::optional<note_store::AlarmUpdate> alarmAfterSaving(int storedState) const;
    void LoadAlarmSection(const note_store::StoredNote& note);

    // Whether the title, the message or the alarm section differ from what the editor showed
    // when it opened.
    bool hasChanges() const;
    // Stores what was typed without asking or telling anything, for a program that ends now:
    // the title and message always, the alarm only where OK would accept it (QuitSave). A note
    // deleted or changed elsewhere meanwhile is stored as a new note. A failure is logged;
    // true when the note was stored.
    bool saveForQuit();

    // Handlers.
    void OKClick();
    void cAlarmClick();
    void cbAlarmChange();

    // Controls, named as the program names them.
    QLabel* Label1 = nullptr;
    QLineEdit* Tytul = nullptr;
    QLabel* pAlarm = nullptr;
    QCheckBox* cAlarm = nullptr;
    QDateEdit* dtDate = nullptr;
    QTimeEdit* dtTime = nullptr;
    QComboBox* cbAlarm = nullptr;
    QLabel* Label2 = nullptr;
    LimitedMemo* Tresc = nullptr;
    QLabel* LBIloscZnakow = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* StatusFormatki = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Anuluj = nullptr;
    QAction* Zamknij = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void FormCreate();
    void FormShow();
    void reportNotSaved();
    // The new note's ID, or -1 when it was not stored; withAlarm: the alarm section as shown,
    // otherwise no alarm. Failures are reported, not shown.
    qint32 insertNoteRow(const QString& title, const QString& message, bool withAlarm);
    // Saves what was typed as a new note, after telling the user why.
    void saveAsNewNote(const QString& why);

    TDM& dm_;
    NoteListHost& noteList_;
    Clock clock_;
    bool shownOnce_ = false;
    // The kind of the last failed write of the note, for the reason shown to the user.
    fb::ErrorKind lastSaveKind_ = fb::ErrorKind::Other;
    // The note's title and message as loaded, which a save expects to find still stored.
    std::unique_ptr<note_store::NoteText> loaded_;
    // The title and message the editor showed when it opened.
    QString shownTitle_;
    QString shownMessage_;
};
