#pragma once

// The Firebird event that tells every program on a database that its notes changed. It is
// posted by a statement in the transaction of the change (no trigger, no change to the schema),
// so files made before it existed keep working and older programs on the same file are not
// disturbed; the engine delivers it only when that transaction commits, and a transaction that
// posts it several times delivers it once.

#include <QString>

class DbSession;

namespace change_event {

// The event's name, as listeners ask for it.
inline constexpr char kName[] = "quillbox_notes";

// The statement that posts the event.
QString postStatement();

// Posts the event in the session's transaction. Every operation that changes a note or its
// alarm calls this once, after its writes.
void post(DbSession& db);

} // namespace change_event
