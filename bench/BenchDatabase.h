#pragma once

// The benchmark's note databases: real dbn.ib files filled with realistic notes.

#include <QString>

namespace bench {

struct FillPlan
{
    int notes = 0;
    int running = 0; // the newest notes with a running alarm
    int planned = 0; // spread through the rest: planned or acknowledged alarms
};

// A database file holding the planned notes: titles of a few words, messages of 0 to 2000
// characters, creation moments a few minutes apart. Large fills are kept in cacheDirectory
// between runs (the fill is deterministic); small ones are made afresh.
QString filledDatabase(const QString& cacheDirectory, const QString& emptyDatabase,
                       const FillPlan& plan);

} // namespace bench

namespace bench {

// A database of notes that all carry an active alarm (planned or acknowledged) of every kind,
// none of which is due at any moment this century: one-off alarms lie in 2099 and repeating
// ones were acknowledged in 2099. Notes and messages are like those of filledDatabase; kept in
// cacheDirectory between runs.
QString filledAlarmDatabase(const QString& cacheDirectory, const QString& emptyDatabase, int notes);

} // namespace bench
