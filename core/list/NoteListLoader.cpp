#include "core/list/NoteListLoader.h"

#include "core/list/NoteImage.h"
#include "core/storage/NoteListStore.h"

bool readNoteList(TDM& dm, const sql::notes::ListStatements& statements, NoteRows& rows,
                  const QString& where, const std::function<bool()>& abandon)
{
    const bool complete = note_list_store::read(
        dm, statements,
        [&rows](const note_list_store::ListedNote& note) {
            rows.append(note.id, note.titleUtf8, note.createdDay, note.createdTime,
                        note.running ? int(note_image::RunningAlarm)
                                     : note_image::forState(note.alarmState));
        },
        where, abandon);
    rows.squeeze();
    return complete;
}
