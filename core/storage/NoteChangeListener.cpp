#include "core/storage/NoteChangeListener.h"

#include "core/storage/ChangeEvent.h"

#include <algorithm>
#include <mutex>

// The client library calls answered() on its own thread, possibly while this object is being
// destroyed: it reaches the listener only through the relay, which the destructor empties
// before anything else.
struct NoteChangeListener::Relay
{
    std::mutex mutex;
    NoteChangeListener* listener = nullptr;
};

// The argument of one queued wait; answered() frees it. A wait withdrawn from the embedded
// engine is never answered, so its ticket stays allocated: a few bytes per withdrawal, the
// price of never freeing one that an answer already on its way still needs.
struct NoteChangeListener::Ticket
{
    std::shared_ptr<Relay> relay;
    quint64 generation = 0;
};

NoteChangeListener::NoteChangeListener(const TDM& dm, QObject* parent)
    : QObject(parent), connection_(dm.fileGuard()), counts_(change_event::kName),
      relay_(std::make_shared<Relay>()), retryTimer_(this)
{
    relay_->listener = this;
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &NoteChangeListener::retry);
}

NoteChangeListener::~NoteChangeListener()
{
    {
        std::lock_guard lock(relay_->mutex);
        relay_->listener = nullptr;
    }
    retryTimer_.stop();
    withdraw();
    connection_.Disconnect();
}

bool NoteChangeListener::start()
{
    if (queued_)
        return true;
    return startWaiting();
}

bool NoteChangeListener::reconnect()
{
    withdraw();
    connection_.Disconnect();
    retryTimer_.stop();
    announceComeback_ = true;
    return startWaiting();
}

void NoteChangeListener::expectOwnChanges(int count)
{
    if (count > 0)
        ownChanges_ += count;
}

void NoteChangeListener::setRetryPauses(int firstMs, int longestMs)
{
    firstPauseMs_ = std::max(1, firstMs);
    longestPauseMs_ = std::max(firstPauseMs_, longestMs);
    pauseMs_ = firstPauseMs_;
}

void NoteChangeListener::answered(void* ticket, ISC_USHORT length, const ISC_UCHAR* block)
{
    const std::unique_ptr<Ticket> owned(static_cast<Ticket*>(ticket));
    const QByteArray copy =
        block ? QByteArray(reinterpret_cast<const char*>(block), length) : QByteArray();
    std::lock_guard lock(owned->relay->mutex);
    NoteChangeListener* const listener = owned->relay->listener;
    if (!listener)
        return;
    QMetaObject::invokeMethod(
        listener,
        [listener, generation = owned->generation, copy] { listener->delivered(generation, copy); },
        Qt::QueuedConnection);
}

bool NoteChangeListener::startWaiting()
{
    ++generation_;
    counts_.reset();
    // The current count is taken before waiting, so that every change committed after this
    // returns is announced.
    try {
        connection_.onConnection([&](fb::Attachment& db) { fb::waitForEvent(db, counts_); });
    } catch (const fb::Error& e) {
        lose(e.text());
        return false;
    }
    if (!queueWait())
        return false;
    pauseMs_ = firstPauseMs_;
    if (announceComeback_) {
        announceComeback_ = false;
        ownChanges_ = 0;
        Q_EMIT changed();
    }
    return true;
}

bool NoteChangeListener::queueWait()
{
    auto ticket = std::make_unique<Ticket>();
    ticket->relay = relay_;
    ticket->generation = generation_;
    try {
        requestId_ = connection_.onConnection([&](fb::Attachment& db) {
            return fb::queueEvent(db, counts_, &NoteChangeListener::answered, ticket.get());
        });
    } catch (const fb::Error& e) {
        lose(e.text());
        return false;
    }
    ticket.release();
    queued_ = true;
    return true;
}

void NoteChangeListener::delivered(quint64 generation, const QByteArray& block)
{
    if (generation != generation_ || !queued_)
        return; // the answer to a wait withdrawn meanwhile
    queued_ = false;
    if (block.isEmpty()) {
        // Ended without an answer: the client lost its link to the server.
        lose(QStringLiteral("the wait for changes ended without an answer"));
        return;
    }
    const quint32 posted = counts_.take(block);
    // Waiting again before anybody hears of this answer, so that nothing posted meanwhile is
    // missed: the new wait carries the count just taken and is answered at the next post.
    if (!queueWait())
        return;
    if (absorbOwn(posted) > 0)
        Q_EMIT changed();
}

int NoteChangeListener::absorbOwn(quint32 posted)
{
    int own = ownChanges_.load();
    int used = 0;
    do {
        used = int(std::min<qint64>(own, posted));
    } while (!ownChanges_.compare_exchange_weak(own, own - used));
    return int(posted) - used;
}

void NoteChangeListener::lose(const QString& why)
{
    qCWarning(lcDatabase).noquote()
        << "not listening for changes of" << connection_.databasePath() << ":" << why;
    withdraw();
    connection_.Disconnect();
    announceComeback_ = true;
    scheduleRetry();
}

void NoteChangeListener::withdraw()
{
    if (!queued_)
        return;
    queued_ = false;
    ++generation_;
    if (!connection_.isConnected())
        return;
    try {
        connection_.onConnection([&](fb::Attachment& db) { fb::cancelEvent(db, requestId_); });
    } catch (const fb::Error&) {
        // A connection that failed here is closed by the caller.
    }
}

void NoteChangeListener::scheduleRetry()
{
    retryTimer_.start(pauseMs_);
    pauseMs_ = std::min(longestPauseMs_, pauseMs_ * 2);
}

void NoteChangeListener::retry()
{
    if (startWaiting())
        qCInfo(lcDatabase).noquote()
            << "listening for changes of" << connection_.databasePath() << "again";
}
