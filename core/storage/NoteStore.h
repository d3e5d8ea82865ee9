#pragma once

// The note editor's reads and writes of one note. Each call is one database operation in a
// transaction of its own; errors are thrown as fb::Error for the editor to report.

#include "core/storage/NoteStatements.h"

#include <QDate>
#include <QString>
#include <QTime>
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

// Rewrites the note's title and message; its creation moment stays.
void updateNoteText(TDM& dm, qint32 noteId, const QString& title, const QString& message);

// Deletes the note's row; deleting a note that has no row is no error.
void deleteNote(TDM& dm, qint32 noteId);

} // namespace note_store
