#pragma once

// The note editor's reads and writes of one note. Each call is one database operation in a
// transaction of its own; errors are thrown as fb::Error for the editor to report.

#include "core/storage/AlarmStatements.h"
#include "core/storage/Firebird.h"
#include "core/storage/NoteStatements.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <functional>
#include <optional>

class TDM;

namespace note_store {

// The columns of a note row that the editor shows. A NULL number reads as 0, a NULL date or
// time as a null QDate or QTime.
struct StoredNote
{
    QString title;
    QString message;
    int alarm = 0;
    int kind = 0;
    QDate alarmDate;
    QTime alarmTime;
};

// How many notes the table holds.
qint64 countNotes(TDM& dm);

// The note's row; no value when it has none.
std::optional<StoredNote> readNote(TDM& dm, qint32 noteId);

// Takes the next ID from the generator and inserts the row under it; returns that ID, or -1
// when the generator gave none. row.id is ignored. A generator value whose insert fails is
// not handed out again.
qint32 insertNote(TDM& dm, sql::note::NewNoteRow row);

// An alarm statement that follows a note's text: the state, and the schedule when given.
struct AlarmUpdate
{
    int state = 0;
    std::optional<sql::alarm::Schedule> schedule;
};
// Decides the alarm statement from the state the row holds once its text is rewritten; no
// value: no alarm statement.
using AlarmAfterText = std::function<std::optional<AlarmUpdate>(int storedState)>;

// The step of saveExistingNote that failed.
enum class SaveStep
{
    Text,
    AlarmRead,
    AlarmWrite
};
class SaveError : public fb::Error
{
public:
    SaveError(SaveStep step, const fb::Error& cause) : fb::Error(cause), step_(step) {}
    SaveStep step() const { return step_; }

private:
    SaveStep step_;
};

// A note's title and message as an editor loaded them.
struct NoteText
{
    QString title;
    QString message;
};

// What became of saving an edited note.
enum class SaveOutcome
{
    Saved,
    // Another program deleted the note meanwhile.
    Deleted,
    // Another program changed the note's title or message since the editor loaded them.
    ChangedElsewhere
};

// Saves an edited note in one transaction: its title and message, then the alarm statement
// that alarmAfter decides from the stored state. All of it is saved or none. The row is
// locked and its title and message compared with loaded first (no comparison without
// loaded): a row that is gone or holds other text is left alone and the outcome says why.
// The alarm state may have moved meanwhile (another program's checker fires alarms): that is
// no change of the note. Errors are thrown as SaveError naming the step that failed.
SaveOutcome saveExistingNote(TDM& dm, qint32 noteId, const std::optional<NoteText>& loaded,
                             const QString& title, const QString& message,
                             const AlarmAfterText& alarmAfter, const QDateTime& now);

// Deletes the note's row; deleting a note that has no row is no error.
void deleteNote(TDM& dm, qint32 noteId);

} // namespace note_store
