#include "core/storage/NoteListStatements.h"

#include "core/storage/AlarmColumns.h"
#include "core/storage/SqlText.h"

namespace sql::notes {
namespace {

const QString kOrder = QStringLiteral("ORDER BY DataGodzina DESC");

// The engine compares a timestamp with CONTAINING in its ASCII text form and fails the whole
// statement ("Cannot transliterate character between character sets") when the text holds any
// other character. Such a text can never occur in a date, so the date test is left out for it
// and the statement finds what it would have found.
bool canOccurInDate(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7f)
            return false;
    }
    return true;
}

QString searchGroup(const QString& head, const QString& text)
{
    const QString quotedText = sql::quoted(text);
    QString statement = head + sql::number(AlarmRunning) + QStringLiteral(") AND (") +
                        QStringLiteral("Tytul CONTAINING ") + quotedText + QStringLiteral(" OR ") +
                        QStringLiteral("Tresc CONTAINING ") + quotedText;
    if (canOccurInDate(text))
        statement +=
            QStringLiteral(" OR ") + QStringLiteral("DataGodzina CONTAINING ") + quotedText;
    return statement + QStringLiteral(") ") + kOrder;
}

} // namespace

ListStatements fullList()
{
    return {QStringLiteral("SELECT * FROM NOTATKI WHERE Alarm = ") + sql::number(AlarmRunning) +
                QLatin1Char(' ') + kOrder,
            QStringLiteral("SELECT * FROM NOTATKI WHERE Alarm <> ") + sql::number(AlarmRunning) +
                QLatin1Char(' ') + kOrder};
}

ListStatements search(const QString& text)
{
    return {searchGroup(QStringLiteral("SELECT * FROM NOTATKI WHERE (Alarm = "), text),
            searchGroup(QStringLiteral("SELECT * FROM NOTATKI WHERE (Alarm <> "), text)};
}

QString deleteNote(qint32 noteId)
{
    return QStringLiteral("DELETE FROM NOTATKI WHERE ID = ") + sql::number(noteId);
}

} // namespace sql::notes
