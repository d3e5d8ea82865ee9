#include "core/notes/NeighbourNote.h"

qint32 FindNeighbourNote(const QList<qint32>& ids, qint32 noteId)
{
    if (ids.size() <= 1)
        return -1;
    if (ids.last() == noteId)
        return ids.at(ids.size() - 2);
    const qsizetype at = ids.indexOf(noteId);
    if (at < 0)
        return -1;
    return ids.at(at + 1);
}
