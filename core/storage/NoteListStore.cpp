#include "core/storage/NoteListStore.h"

#include "core/storage/DataModule.h"

namespace note_list_store {

namespace {

// Hands on every row of the open statement; false when abandoned.
bool readRows(fb::Statement& query, bool running,
              const std::function<void(const ListedNote&)>& take,
              const std::function<bool()>& abandon)
{
    const int id = query.column("ID");
    const int title = query.column("Tytul");
    const int created = query.column("DataGodzina");
    const int alarm = query.column("Alarm");
    ListedNote note;
    note.running = running;
    while (!(abandon && abandon())) {
        if (!query.fetch())
            return true;
        const auto [day, time] = query.timestampParts(created);
        note.id = qint32(query.integer(id));
        const QByteArray titleBytes = query.bytes(title);
        note.titleUtf8 = titleBytes;
        note.createdDay = day;
        note.createdTime = time;
        note.alarmState = int(query.integer(alarm));
        take(note);
    }
    return false;
}

} // namespace

bool read(TDM& dm, const sql::notes::ListStatements& statements,
          const std::function<void(const ListedNote&)>& take, const QString& where,
          const std::function<bool()>& abandon)
{
    try {
        return dm.transact([&](DbSession& db) {
            return readRows(*db.open(statements.running), true, take, abandon) &&
                   readRows(*db.open(statements.others), false, take, abandon);
        });
    } catch (const fb::Error& e) {
        // A fill given up on is no failure: its statement may have been cancelled on purpose.
        if (!(abandon && abandon()))
            dm.ReportDbError(QStringLiteral("Can't read the note list!"), where, e.text());
        return false;
    }
}

QStringList plans(TDM& dm, const sql::notes::ListStatements& statements)
{
    return dm.transact([&](DbSession& db) {
        return QStringList{db.prepare(statements.running)->plan(),
                           db.prepare(statements.others)->plan()};
    });
}

} // namespace note_list_store
