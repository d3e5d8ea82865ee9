#pragma once

// Reading the note list's rows: the running-group statement, then the other one.

#include "core/storage/NoteListStatements.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <functional>

class TDM;

namespace note_list_store {

// One listed note as read: the creation moment is kept as stored, apart from any time zone.
struct ListedNote
{
    qint32 id = 0;
    QByteArrayView titleUtf8; // valid only during the call that receives it
    QDate createdDay;
    QTime createdTime;
    int alarmState = 0;
    bool running = false; // read by the running-group statement
};

// Runs both statements of a fill in one transaction and hands each row read to take, in the
// order read. When a statement fails the fill stops there: what was handed on stays handed
// on, the failure goes to the log on behalf of `where`, and the result is false.
//
// abandon, when given, is asked before each row: once it answers true the fill stops, the
// result is false and nothing is logged. The engine finds a search's rows while they are
// fetched, so this ends a search that nobody waits for any more. A statement cancelled from
// another thread (TDM::cancelRunningCall) while abandon answers true is not logged either.
bool read(TDM& dm, const sql::notes::ListStatements& statements,
          const std::function<void(const ListedNote&)>& take, const QString& where,
          const std::function<bool()>& abandon = {});

// The engine's access plans of the two statements, prepared but not run: how each reaches its
// rows and whether it sorts them. Errors are thrown as fb::Error.
QStringList plans(TDM& dm, const sql::notes::ListStatements& statements);

} // namespace note_list_store
