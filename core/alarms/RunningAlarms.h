#pragma once

// The notes whose alarm is running now, as the tray shows them.

#include <QStringList>
#include <optional>

class TDM;

namespace running_alarms {

// The titles of the notes whose alarm is running, newest first: the note list's statement for
// its running group, read in the data module's kept read-only transaction, so a read writes
// nothing to the file. Nothing when the read failed (written to the log).
std::optional<QStringList> titles(TDM& dm);

} // namespace running_alarms
