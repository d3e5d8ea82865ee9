#pragma once

// Reading and writing one note's alarm state, shared by the note editor, the main window's
// view/edit command and the alarm checker.

#include "core/storage/AlarmStatements.h"

class TDM;

// The note's alarm state; 0 when the note has no row. Errors are thrown as fb::Error: the
// command that asked decides what the user sees.
int ReadAlarmState(TDM& dm, qint32 noteId);

// Writes the state (and the schedule when given) and announces the change to other programs
// (ChangeEvent.h); false when the statement failed, which is reported to the log as "Can't set
// the type of alarm!" on behalf of the window named.
bool SetAlarmState(TDM& dm, qint32 noteId, int state,
                   const std::optional<sql::alarm::Schedule>& schedule, const QDateTime& now,
                   const QString& reporter);
