#pragma once

// Waiting for a named Firebird event through the client library (isc_que_events). A queued
// request is answered once, on a thread of the client library, when the event's count differs
// from the count the request carries; the first request, carrying no count yet, is answered at
// once with the current count. Each answer must be followed by a new request to hear of the
// next post.

#include "core/storage/Firebird.h"

#include <QByteArray>

namespace fb {

// The event parameter block of one event name: the count this program last took, which a
// request carries, and the arithmetic between it and a delivered block.
class EventBlock
{
public:
    explicit EventBlock(const char* name);
    ~EventBlock();
    EventBlock(const EventBlock&) = delete;
    EventBlock& operator=(const EventBlock&) = delete;

    // How many times the event was posted between the count held and the one in delivered (a
    // block the engine answered a request with), which becomes the count held.
    quint32 take(const QByteArray& delivered);
    // Back to no count, as after construction: the next request is answered at once.
    void reset();

    short length() const { return length_; }
    ISC_UCHAR* counts() { return events_; }
    ISC_UCHAR* results() { return results_; }
    const ISC_UCHAR* counts() const { return events_; }

private:
    ISC_UCHAR* events_ = nullptr;
    ISC_UCHAR* results_ = nullptr;
    QByteArray initial_;
    short length_ = 0;
};

// What the client library calls with the answer to a request: the argument given to queue(),
// then the delivered block (length 0 and no block when the request ended without an answer,
// as when the connection to a server was lost).
using EventCallback = ISC_EVENT_CALLBACK;

// Queues a request for the block's event on the connection; returns its identifier for
// cancel(). Throws Error.
ISC_LONG queueEvent(Attachment& db, const EventBlock& block, EventCallback callback, void* arg);

// Waits for the block's event on the connection and takes the count delivered (EventBlock::take);
// returns how many posts that count adds. With no count held it returns at once with the
// current count, which is how a listener learns it before its first request. Throws Error.
quint32 waitForEvent(Attachment& db, EventBlock& block);

// Withdraws a request. A client of a server calls the request's callback with length 0 from
// here when it was not answered yet; an answer already on its way may still arrive. Never
// throws.
void cancelEvent(Attachment& db, ISC_LONG id);

} // namespace fb
