#pragma once

// Statement texts of the note list: the full list and the search, each read as two groups
// (notes whose alarm is running first, then all others, newest first within each group), and
// the deletion of one note.

#include <QString>

namespace sql::notes {

// The two statements of one list fill, read one after the other.
struct ListStatements
{
    QString running; // notes whose alarm is running
    QString others;  // every other note
};

// SELECT * FROM NOTATKI WHERE Alarm = 1 ORDER BY DataGodzina DESC, and the <> 1 group.
ListStatements fullList();

// The notes whose title, text or creation time contain text, compared without regard to case.
// The text is used as typed (blanks included) and quoted, so apostrophes, percent signs,
// underscores and backslashes stand for themselves. A text with characters outside ASCII
// leaves out the test on the creation time, which the engine cannot run for it.
ListStatements search(const QString& text);

// DELETE FROM NOTATKI WHERE ID = 17
QString deleteNote(qint32 noteId);

} // namespace sql::notes
