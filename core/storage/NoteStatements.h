#pragma once

// Statement texts that count, read, create and rewrite notes.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace sql::note {

// A note as the editor inserts it: its texts, creation moment and alarm columns.
struct NewNoteRow
{
    qint32 id = -1;
    QString title;
    QString message;
    QDateTime created;
    int state = 0;
    int kind = 0;
    QDate alarmDate;
    QTime alarmTime;
};

// SELECT COUNT(ID) AS IloscNotatek FROM NOTATKI
QString countNotes();
// SELECT * FROM NOTATKI WHERE ID = 17
QString selectById(qint32 noteId);
// SELECT GEN_ID(GenNotka, 1) AS ID FROM RDB$DATABASE
QString nextId();
// INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, AlarmRodzaj, AlarmData,
// AlarmGodzina) VALUES (17, 'Note no 5', 'Call the bank', '2024.03.07 18:05:09', 0, 0,
// '2024.03.07', '18:05')
QString insert(const NewNoteRow& row);
// SELECT Tytul, Tresc FROM NOTATKI WHERE ID = 17 WITH LOCK
QString selectTextForUpdate(qint32 noteId);
// UPDATE NOTATKI SET Tytul = 'Note no 5', Tresc = 'Call the bank at 9' WHERE ID = 17
QString updateText(qint32 noteId, const QString& title, const QString& message);

} // namespace sql::note
