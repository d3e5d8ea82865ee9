#pragma once

// The rows of one fill of the note list, kept compact so that 100,000 notes stay small: every
// title sits in one shared block of UTF-8 text and each row is a small fixed record holding
// the note's ID, its creation moment and its image index; and the reading of a fill into them.

#include "core/storage/NoteListStatements.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <vector>

class TDM;

class NoteRows
{
public:
    // alarmState is the note's alarm state as listed (AlarmRunning for a row of the running
    // group).
    void append(qint32 id, QByteArrayView titleUtf8, QDate createdDay, QTime createdTime, int image,
                int alarmState);
    // Appends every row of more, in its order.
    void append(const NoteRows& more);
    void clear();
    void reserve(qsizetype rows);
    // Gives back the spare room left by growing, once a fill is complete.
    void squeeze();

    qsizetype size() const { return qsizetype(rows_.size()); }
    bool isEmpty() const { return rows_.empty(); }

    qint32 id(qsizetype row) const { return rows_[std::size_t(row)].id; }
    QString title(qsizetype row) const;
    QDateTime created(qsizetype row) const;
    // The creation moment as the list shows it: "yyyy-MM-dd HH:mm".
    QString dateText(qsizetype row) const;
    int image(qsizetype row) const { return rows_[std::size_t(row)].image; }
    void setImage(qsizetype row, int image) { rows_[std::size_t(row)].image = qint8(image); }
    int alarmState(qsizetype row) const { return rows_[std::size_t(row)].alarmState; }

    // The first row holding the note, or -1.
    qsizetype indexOf(qint32 id) const;
    // The note IDs, top to bottom.
    QList<qint32> ids() const;
    // Bytes of title text held.
    qsizetype textBytes() const { return titles_.size(); }

private:
    struct Row
    {
        // The creation moment as stored, kept apart from any time zone until it is shown.
        qint64 createdDay = 0; // Julian day
        qint32 createdMsecs = 0;
        qint32 id = 0;
        quint32 titleOffset = 0;
        quint16 titleSize = 0;
        qint8 image = 0;
        qint8 alarmState = 0; // fits in the padding after image
    };
    std::vector<Row> rows_;
    QByteArray titles_;
};

// Runs the running-group statement and then the other one, appending a row per note read in
// the order read: running notes get image 2, the others their image from the alarm state.
// When a statement fails the fill stops there: rows keeps what was read so far, the failure
// goes to the log on behalf of `where` (the name of the window or module that asked), and the
// result is false.
//
// abandon, when given, is asked before each row: once it answers true the fill stops and the
// result is false. afterRow, when given, is called after each row is appended; it may take the
// rows away (leaving rows empty), and the next row then starts afresh.
bool readNoteList(TDM& dm, const sql::notes::ListStatements& statements, NoteRows& rows,
                  const QString& where, const std::function<bool()>& abandon = {},
                  const std::function<void(NoteRows&)>& afterRow = {});
