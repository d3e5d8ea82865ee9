#pragma once

// Reading one fill of the note list into its rows.

#include "core/list/NoteListRows.h"
#include "core/storage/NoteListStatements.h"

#include <functional>

class TDM;

// Runs the running-group statement and then the other one, appending a row per note read in
// the order read: running notes get image 2, the others their image from the alarm state.
// When a statement fails the fill stops there: rows keeps what was read so far, the failure
// goes to the log on behalf of `where`, and the result is false.
//
// abandon, when given, is asked before each row: once it answers true the fill stops and the
// result is false. afterRow, when given, is called after each row is appended; it may take the
// rows away (leaving rows empty), and the next row then starts afresh.
bool readNoteList(TDM& dm, const sql::notes::ListStatements& statements, NoteRows& rows,
                  const QString& where = QStringLiteral("FormMain"),
                  const std::function<bool()>& abandon = {},
                  const std::function<void(NoteRows&)>& afterRow = {});
