#include "core/list/NoteListRows.h"

#include "core/list/NoteImage.h"
#include "core/storage/AlarmColumns.h"
#include "core/storage/NoteListStore.h"

#include <algorithm>

void NoteRows::append(qint32 id, QByteArrayView titleUtf8, QDate createdDay, QTime createdTime,
                      int image, int alarmState)
{
    Row row;
    row.createdDay = createdDay.toJulianDay();
    row.createdMsecs = createdTime.isValid() ? createdTime.msecsSinceStartOfDay() : 0;
    row.id = id;
    row.titleOffset = quint32(titles_.size());
    row.titleSize = quint16(titleUtf8.size());
    row.image = qint8(image);
    row.alarmState = qint8(alarmState);
    titles_.append(titleUtf8);
    rows_.push_back(row);
}

void NoteRows::append(const NoteRows& more)
{
    const auto shift = quint32(titles_.size());
    const std::size_t needed = rows_.size() + more.rows_.size();
    if (rows_.capacity() < needed)
        rows_.reserve(std::max(needed, 2 * rows_.capacity())); // grows as push_back would
    for (Row row : more.rows_) {
        row.titleOffset += shift;
        rows_.push_back(row);
    }
    titles_.append(more.titles_);
}

void NoteRows::clear()
{
    rows_.clear();
    titles_.clear();
}

void NoteRows::reserve(qsizetype rows)
{
    rows_.reserve(std::size_t(rows));
}

void NoteRows::squeeze()
{
    rows_.shrink_to_fit();
    titles_.squeeze();
}

QString NoteRows::title(qsizetype row) const
{
    const Row& r = rows_[std::size_t(row)];
    return QString::fromUtf8(titles_.constData() + r.titleOffset, r.titleSize);
}

QDateTime NoteRows::created(qsizetype row) const
{
    const Row& r = rows_[std::size_t(row)];
    return QDateTime(QDate::fromJulianDay(r.createdDay),
                     QTime::fromMSecsSinceStartOfDay(r.createdMsecs));
}

QString NoteRows::dateText(qsizetype row) const
{
    const Row& r = rows_[std::size_t(row)];
    const QDate day = QDate::fromJulianDay(r.createdDay);
    if (!day.isValid())
        return {};
    return day.toString(QStringLiteral("yyyy-MM-dd ")) +
           QTime::fromMSecsSinceStartOfDay(r.createdMsecs).toString(QStringLiteral("HH:mm"));
}

qsizetype NoteRows::indexOf(qint32 id) const
{
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].id == id)
            return qsizetype(i);
    }
    return -1;
}

QList<qint32> NoteRows::ids() const
{
    QList<qint32> result;
    result.reserve(size());
    for (const Row& row : rows_)
        result << row.id;
    return result;
}

bool readNoteList(TDM& dm, const sql::notes::ListStatements& statements, NoteRows& rows,
                  const QString& where, const std::function<bool()>& abandon,
                  const std::function<void(NoteRows&)>& afterRow)
{
    return note_list_store::read(
        dm, statements,
        [&](const note_list_store::ListedNote& note) {
            rows.append(note.id, note.titleUtf8, note.createdDay, note.createdTime,
                        note.running ? int(note_image::RunningAlarm)
                                     : note_image::forState(note.alarmState),
                        note.running ? int(AlarmRunning) : note.alarmState);
            if (afterRow)
                afterRow(rows);
        },
        where, abandon);
}
