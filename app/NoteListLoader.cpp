#include "app/NoteListLoader.h"

#include "alarms/AlarmModel.h"
#include "resources/Icons.h"
#include "storage/DataModule.h"

namespace {

// Appends every row of the open statement; imageFor maps the row's alarm state to its image.
// False when abandoned.
template <typename ImageFor>
bool appendRows(fb::Statement& query, NoteRows& rows, ImageFor imageFor,
                const std::function<bool()>& abandon)
{
    const int id = query.column("ID");
    const int title = query.column("Tytul");
    const int created = query.column("DataGodzina");
    const int alarm = query.column("Alarm");
    while (!(abandon && abandon())) {
        if (!query.fetch())
            return true;
        const auto [day, time] = query.timestampParts(created);
        rows.append(qint32(query.integer(id)), query.bytes(title), day, time,
                    imageFor(int(query.integer(alarm))));
    }
    return false;
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
                  const QString& where, const std::function<bool()>& abandon)
{
    try {
        const bool complete = dm.transact([&](DbSession& db) {
            return appendRows(
                       *db.open(statements.running), rows,
                       [](int) { return int(icons::RunningAlarm); }, abandon) &&
                   appendRows(*db.open(statements.others), rows, noteImageForState, abandon);
        });
        rows.squeeze();
        return complete;
    } catch (const fb::Error& e) {
        rows.squeeze();
        dm.ReportDbError(QStringLiteral("Can't read the note list!"), where, e.text());
        return false;
    }
}
