#include "app/NoteListLoader.h"

#include "alarms/AlarmModel.h"
#include "resources/Icons.h"
#include "storage/DataModule.h"

namespace {

// Appends every row of the open statement; imageFor maps the row's alarm state to its image.
template <typename ImageFor>
void appendRows(fb::Statement& query, NoteRows& rows, ImageFor imageFor)
{
    const int id = query.column("ID");
    const int title = query.column("Tytul");
    const int created = query.column("DataGodzina");
    const int alarm = query.column("Alarm");
    while (query.fetch()) {
        rows.append(qint32(query.integer(id)), query.bytes(title), query.timestamp(created),
                    imageFor(int(query.integer(alarm))));
    }
}

} // namespace

int noteImageForState(int alarmState)
{
    switch (alarmState) {
    case AlarmPlanned:
    case AlarmAcknowledged:
        return icons::PlannedAlarm;
    default:
        return icons::StandardNote;
    }
}

bool readNoteList(TDM& dm, const sql::notes::ListStatements& statements, NoteRows& rows,
                  const QString& where)
{
    try {
        dm.transact([&](DbSession& db) {
            appendRows(*db.open(statements.running), rows,
                       [](int) { return int(icons::RunningAlarm); });
            appendRows(*db.open(statements.others), rows, noteImageForState);
        });
        rows.squeeze();
        return true;
    } catch (const fb::Error& e) {
        rows.squeeze();
        dm.ReportDbError(QStringLiteral("Can't read the note list!"), where, e.text());
        return false;
    }
}
