#pragma once

// Opening a note is the user's acknowledgement of its running alarm: the note leaves the group
// of running alarms at the top of the list before its editor shows.

#include <QDateTime>
#include <QString>

class TDM;

// Reads the note's alarm state and, when its alarm is running, stores it as acknowledged at
// now. True when the alarm was running, so the list must be read again to show the note in its
// new place. A failed read is thrown as fb::Error: the command that asked tells the user and
// opens nothing. A failed write is reported to the log on behalf of the window named, and the
// note opens all the same.
bool acknowledgeAlarmOnOpen(TDM& dm, qint32 noteId, const QDateTime& now, const QString& reporter);
