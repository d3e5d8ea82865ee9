#pragma once

#include <QList>

// The note to select once noteId is gone from a list holding ids (top to bottom): the entry
// just below it, or the one above when it is the last entry; -1 when the list holds at most
// one entry or does not hold noteId.
qint32 FindNeighbourNote(const QList<qint32>& ids, qint32 noteId);
