#pragma once

// The alarm checker's reading of the notes with an active alarm (planned or acknowledged).

#include <QDate>
#include <QString>
#include <QTime>
#include <functional>

class TDM;

namespace alarm_scan_store {

// One note as the scan read it. Integer columns read as NULL are -1; date and time columns
// read as NULL are null values. The acknowledgement is kept as stored, a date and a time of
// day apart from any time zone.
struct ScannedAlarm
{
    qint32 id = 0;
    int state = -1;
    int kind = -1;
    QDate date;
    QTime time;
    QDate acknowledgedDate;
    QTime acknowledgedTime;
    // Reads the note's title, in the scan's transaction; valid only during the call that
    // receives the row. Most rows are not due, so the scan reads no text: the title of one
    // that fires is read when it is asked for (the empty text when the note has gone).
    std::function<QString()> title;
};

// Runs the scan statement in the data module's kept read-only transaction (TDM::watch), so a
// scan writes nothing to the file, and hands each row to visit, newest note first; visit answers
// false to end the scan there. visit may run other operations on the same data module (a
// transaction of their own each) and may wait on other threads: the scan's cursor stays open
// meanwhile, so the data module should be one no other thread uses. Errors are thrown as fb::Error.
void scan(TDM& dm, const std::function<bool(const ScannedAlarm&)>& visit);

} // namespace alarm_scan_store
