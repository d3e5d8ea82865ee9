#include "core/storage/NoteStore.h"

#include "core/storage/AlarmStatements.h"
#include "core/storage/ChangeEvent.h"
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
        change_event::post(db);
        return row.id;
    });
}

SaveOutcome saveExistingNote(TDM& dm, qint32 noteId, const std::optional<NoteText>& loaded,
                             const QString& title, const QString& message,
                             const AlarmAfterText& alarmAfter, const QDateTime& now)
{
    // The connection and the transaction are opened outside the steps: failing there is a
    // failure to save the text.
    auto step = [](SaveStep which, auto&& work) {
        try {
            return work();
        } catch (const SaveError&) {
            throw;
        } catch (const fb::Error& e) {
            throw SaveError(which, e);
        }
    };
    return step(SaveStep::Text, [&] {
        return dm.transact([&](DbSession& db) {
            // The lock holds the row as read until the transaction ends: no other program's
            // save can come between the comparison and the update.
            const std::optional<NoteText> stored = step(SaveStep::Text, [&] {
                auto query = db.open(sql::note::selectTextForUpdate(noteId));
                if (!query->fetch())
                    return std::optional<NoteText>();
                auto text = [&](const char* column) {
                    return query->isNull(column) ? QString() : query->text(column);
                };
                return std::optional<NoteText>(NoteText{text("Tytul"), text("Tresc")});
            });
            if (!stored)
                return SaveOutcome::Deleted;
            if (loaded && (stored->title != loaded->title || stored->message != loaded->message))
                return SaveOutcome::ChangedElsewhere;
            const qint64 changed = step(SaveStep::Text, [&] {
                return db.execute(sql::note::updateText(noteId, title, message));
            });
            if (changed == 0)
                return SaveOutcome::Deleted;
            const int state = step(SaveStep::AlarmRead, [&] {
                auto query = db.open(sql::alarm::selectState(noteId));
                return query->fetch() ? int(query->integer("Alarm")) : 0;
            });
            if (const std::optional<AlarmUpdate> alarm = alarmAfter(state)) {
                step(SaveStep::AlarmWrite, [&] {
                    db.execute(sql::alarm::setState(noteId, alarm->state, alarm->schedule, now));
                });
            }
            change_event::post(db);
            return SaveOutcome::Saved;
        });
    });
}

void deleteNote(TDM& dm, qint32 noteId)
{
    dm.transact([&](DbSession& db) {
        db.execute(sql::notes::deleteNote(noteId));
        change_event::post(db);
    });
}

} // namespace note_store
