#include "core/storage/FirebirdEvents.h"

#include <algorithm>
#include <cstring>

namespace fb {

EventBlock::EventBlock(const char* name)
{
    length_ = short(isc_event_block(&events_, &results_, 1, name));
    initial_ = QByteArray(reinterpret_cast<const char*>(events_), length_);
}

EventBlock::~EventBlock()
{
    isc_free(reinterpret_cast<ISC_SCHAR*>(events_));
    isc_free(reinterpret_cast<ISC_SCHAR*>(results_));
}

quint32 EventBlock::take(const QByteArray& delivered)
{
    // A delivered block has the layout of the block the request carried; only its counts
    // differ.
    std::memcpy(results_, events_, std::size_t(length_));
    std::memcpy(results_, delivered.constData(),
                std::size_t(std::min<qsizetype>(delivered.size(), length_)));
    ISC_ULONG posted[ISC_STATUS_LENGTH] = {};
    isc_event_counts(posted, length_, events_, results_);
    return quint32(posted[0]);
}

void EventBlock::reset()
{
    std::memcpy(events_, initial_.constData(), std::size_t(length_));
}

ISC_LONG queueEvent(Attachment& db, const EventBlock& block, EventCallback callback, void* arg)
{
    ISC_STATUS_ARRAY status;
    ISC_LONG id = 0;
    isc_que_events(status, db.handle(), &id, block.length(), block.counts(), callback, arg);
    checkStatus(status);
    return id;
}

quint32 waitForEvent(Attachment& db, EventBlock& block)
{
    ISC_STATUS_ARRAY status;
    isc_wait_for_event(status, db.handle(), block.length(), block.counts(), block.results());
    checkStatus(status);
    return block.take(QByteArray(reinterpret_cast<const char*>(block.results()), block.length()));
}

void cancelEvent(Attachment& db, ISC_LONG id)
{
    ISC_STATUS_ARRAY status;
    isc_cancel_events(status, db.handle(), &id);
}

} // namespace fb
