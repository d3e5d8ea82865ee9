#include "app/NoteListRows.h"

void NoteRows::append(qint32 id, QByteArrayView titleUtf8, const QDateTime& created, int image)
{
    Row row;
    row.created = created;
    row.id = id;
    row.titleOffset = quint32(titles_.size());
    row.titleSize = quint16(titleUtf8.size());
    row.image = qint8(image);
    titles_.append(titleUtf8);
    rows_.push_back(row);
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

QString NoteRows::dateText(qsizetype row) const
{
    return rows_[std::size_t(row)].created.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
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
