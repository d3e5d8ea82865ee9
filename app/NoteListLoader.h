#pragma once

// Reading one fill of the note list from the database.

#include "app/NoteListRows.h"
#include "storage/NoteListStatements.h"

#include <functional>

class TDM;

// The list image of a note listed outside the running group: 0 for a note without an alarm,
// 1 for a planned or acknowledged alarm; any other state shows as a plain note.
int noteImageForState(int alarmState);

// Runs the running-group statement and then the other one, appending a row per note read in
// the order read: running notes get image 2, the others their image from the alarm state.
// When a statement fails the fill stops there: rows keeps what was read so far, the failure
// goes to the log on behalf of `where`, and the result is false.
//
// abandon, when given, is asked before each row: once it answers true the fill stops, the
// result is false and nothing is logged. The engine finds a search's rows while they are
// fetched, so this ends a search that nobody waits for any more.
bool readNoteList(TDM& dm, const sql::notes::ListStatements& statements, NoteRows& rows,
                  const QString& where = QStringLiteral("FormMain"),
                  const std::function<bool()>& abandon = {});
