#include "core/storage/NoteStore.h"

#include "core/storage/DataModule.h"
#include "core/storage/NoteListStatements.h"

namespace note_store {

qint64 countNotes(TDM& dm)
{
    return dm.transact([](DbSession& db) -> qint64 {
        auto query = db.open(sql::note::countNotes());
        return query->fetch() ? query->integer("IloscNotatek") : 0;
    });
}

std::optional<StoredNote> readNote(TDM& dm, qint32 noteId)
{
    return dm.transact([&](DbSession& db) -> std::optional<StoredNote> {
        auto query = db.open(sql::note::selectById(noteId));
        if (!query->fetch())
            return std::nullopt;
        auto number = [&](const char* column) {
            return query->isNull(column) ? 0 : int(query->integer(column));
        };
        StoredNote note;
        note.title = query->isNull("Tytul") ? QString() : query->text("Tytul");
        note.message = query->isNull("Tresc") ? QString() : query->text("Tresc");
        note.alarm = number("Alarm");
        note.kind = number("AlarmRodzaj");
        if (!query->isNull("AlarmData"))
            note.alarmDate = query->date("AlarmData");
        if (!query->isNull("AlarmGodzina"))
            note.alarmTime = query->time("AlarmGodzina");
        return note;
    });
}

qint32 insertNote(TDM& dm, sql::note::NewNoteRow row)
{
    return dm.transact([&](DbSession& db) -> qint32 {
        {
            auto generator = db.open(sql::note::nextId());
            if (!generator->fetch())
                return -1;
            row.id = qint32(generator->integer("ID"));
        }
        db.execute(sql::note::insert(row));
        return row.id;
    });
}

void updateNoteText(TDM& dm, qint32 noteId, const QString& title, const QString& message)
{
    dm.transact([&](DbSession& db) { db.execute(sql::note::updateText(noteId, title, message)); });
}

void deleteNote(TDM& dm, qint32 noteId)
{
    dm.transact([&](DbSession& db) { db.execute(sql::notes::deleteNote(noteId)); });
}

} // namespace note_store
