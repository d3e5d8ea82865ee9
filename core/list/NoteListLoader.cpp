#include "core/list/NoteListLoader.h"

#include "core/list/NoteImage.h"
#include "core/storage/NoteListStore.h"

bool readNoteList(TDM& dm, const sql::notes::ListStatements& statements, NoteRows& rows,
                  const QString& where, const std::function<bool()>& abandon,
                  const std::function<void(NoteRows&)>& afterRow)
{
    return note_list_store::read(
        dm, statements,
        [&](const note_list_store::ListedNote& note) {
            rows.append(note.id, note.titleUtf8, note.createdDay, note.createdTime,
                        note.running ? int(note_image::RunningAlarm)
                                     : note_image::forState(note.alarmState));
            if (afterRow)
                afterRow(rows);
        },
        where, abandon);
}
