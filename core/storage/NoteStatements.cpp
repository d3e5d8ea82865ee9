#include "core/storage/NoteStatements.h"

#include "core/storage/SqlText.h"

namespace sql::note {

QString countNotes()
{
    return QStringLiteral("SELECT COUNT(ID) AS IloscNotatek FROM NOTATKI");
}

QString selectById(qint32 noteId)
{
    return QStringLiteral("SELECT * FROM NOTATKI WHERE ID = ") + number(noteId);
}

QString nextId()
{
    return QStringLiteral("SELECT GEN_ID(GenNotka, 1) AS ID FROM RDB$DATABASE");
}

QString insert(const NewNoteRow& row)
{
    const QString separator = QStringLiteral(", ");
    return QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, "
                          "AlarmRodzaj, AlarmData, AlarmGodzina) VALUES (") +
           number(row.id) + separator + quoted(row.title) + separator + quoted(row.message) +
           separator + timestampLiteral(row.created) + separator + number(row.state) + separator +
           number(row.kind) + separator + dateLiteral(row.alarmDate) + separator +
           timeLiteral(row.alarmTime) + QStringLiteral(")");
}

QString selectTextForUpdate(qint32 noteId)
{
    return QStringLiteral("SELECT Tytul, Tresc FROM NOTATKI WHERE ID = ") + number(noteId) +
           QStringLiteral(" WITH LOCK");
}

QString updateText(qint32 noteId, const QString& title, const QString& message)
{
    return QStringLiteral("UPDATE NOTATKI SET Tytul = ") + quoted(title) + QStringLiteral(", ") +
           QStringLiteral("Tresc = ") + quoted(message) + QStringLiteral(" ") +
           QStringLiteral("WHERE ") + QStringLiteral("ID = ") + number(noteId);
}

} // namespace sql::note
