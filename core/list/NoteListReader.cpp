#include "core/list/NoteListReader.h"

#include "core/list/NoteListRows.h"
#include "core/list/RowBatchPlan.h"
#include "core/storage/DataModule.h"

#include <QThread>
#include <memory>
#include <utility>

using namespace std::chrono_literals;

NoteListReader::NoteListReader(std::shared_ptr<DatabaseFileGuard> file, QString where,
                               Delivery deliver, QObject* parent)
    : QObject(parent), file_(std::move(file)), where_(std::move(where)),
      deliver_(std::move(deliver))
{
    cancelAgain_.setSingleShot(true);
    cancelAgain_.setInterval(10ms);
    connect(&cancelAgain_, &QTimer::timeout, this, &NoteListReader::cancelStaleCall);
    thread_ = QThread::create([this] { work(); });
    thread_->setObjectName(QStringLiteral("NoteListReader"));
    thread_->setParent(this);
    thread_->start();
}

NoteListReader::~NoteListReader()
{
    {
        QMutexLocker lock(&mutex_);
        stop_ = true;
        waiting_.reset();
        ++generation_;
        wake_.wakeAll();
    }
    // The worker stops at its next row, or at once when its engine call is cancelled.
    for (;;) {
        {
            QMutexLocker lock(&mutex_);
            cancelStaleCallLocked();
        }
        if (thread_->wait(QDeadlineTimer(10ms)))
            break;
    }
}

void NoteListReader::request(sql::notes::ListStatements statements, qsizetype firstBatch)
{
    {
        QMutexLocker lock(&mutex_);
        waiting_ = Request{++generation_, std::move(statements), firstBatch};
        wake_.wakeAll();
    }
    cancelStaleCall();
}

bool NoteListReader::isIdle() const
{
    QMutexLocker lock(&mutex_);
    return !waiting_ && running_ == 0 && completed_ == generation_;
}

bool NoteListReader::cancelStaleCallLocked()
{
    const bool stale = running_ != 0 && running_ != generation_;
    if (stale && workerDm_)
        workerDm_->cancelRunningCall();
    return stale;
}

void NoteListReader::cancelStaleCall()
{
    QMutexLocker lock(&mutex_);
    if (cancelStaleCallLocked())
        cancelAgain_.start();
}

void NoteListReader::work()
{
    // The worker's own connection: the GUI thread's statements never wait for its long scans.
    TDM dm(file_);
    QMutexLocker lock(&mutex_);
    workerDm_ = &dm;
    while (!stop_) {
        if (!waiting_) {
            wake_.wait(&mutex_);
            continue;
        }
        const Request request = std::move(*waiting_);
        waiting_.reset();
        running_ = request.generation;
        lock.unlock();

        const auto stale = [&] { return generation_.load() != request.generation; };
        RowBatchPlan plan(request.firstBatch, RowBatchPlan::Clock::now());
        bool first = true;
        NoteRows rows;
        const bool ok =
            readNoteList(dm, request.statements, rows, where_, stale, [&](NoteRows& read) {
                const auto now = RowBatchPlan::Clock::now();
                if (!plan.isDue(read.size(), now))
                    return;
                const qsizetype sent = read.size();
                post(request.generation, Batch{std::exchange(read, NoteRows()), first});
                first = false;
                plan.sent(sent, now);
            });

        lock.relock();
        running_ = 0;
        if (request.generation == generation_) {
            post(request.generation, Batch{std::move(rows), first, true, ok});
        } else if (dm.isConnected()) {
            // A cancel meant for the stale request may have come as it ended; none can come
            // any more (running_ is 0), so spend it before it fails the next request.
            lock.unlock();
            dm.spendLateCancel();
            lock.relock();
        }
    }
    workerDm_ = nullptr;
}

void NoteListReader::post(quint64 generation, Batch batch)
{
    auto shared = std::make_shared<Batch>(std::move(batch));
    QMetaObject::invokeMethod(
        this, [this, generation, shared] { deliver(generation, std::move(*shared)); },
        Qt::QueuedConnection);
}

void NoteListReader::deliver(quint64 generation, Batch&& batch)
{
    {
        QMutexLocker lock(&mutex_);
        if (generation != generation_)
            return;
        if (batch.last)
            completed_ = generation;
    }
    const bool last = batch.last;
    const bool ok = batch.ok;
    deliver_(std::move(batch));
    if (last)
        emit delivered(ok);
}
