#include "core/list/NoteListSearch.h"

#include "core/list/NoteListLoader.h"
#include "core/storage/DataModule.h"

#include <QThread>
#include <memory>

NoteListSearch::NoteListSearch(std::shared_ptr<DatabaseFileGuard> file, Delivery deliver,
                               QObject* parent)
    : QObject(parent), file_(std::move(file)), deliver_(std::move(deliver))
{
    thread_ = QThread::create([this] { work(); });
    thread_->setObjectName(QStringLiteral("NoteListSearch"));
    thread_->setParent(this);
    thread_->start();
}

NoteListSearch::~NoteListSearch()
{
    {
        QMutexLocker lock(&mutex_);
        stop_ = true;
        wake_.wakeAll();
    }
    thread_->wait();
}

void NoteListSearch::request(sql::notes::ListStatements statements)
{
    QMutexLocker lock(&mutex_);
    waiting_ = Request{++generation_, std::move(statements)};
    wake_.wakeAll();
}

void NoteListSearch::supersede()
{
    QMutexLocker lock(&mutex_);
    completed_ = ++generation_;
    waiting_.reset();
}

bool NoteListSearch::isIdle() const
{
    QMutexLocker lock(&mutex_);
    return !waiting_ && !running_ && completed_ == generation_;
}

void NoteListSearch::work()
{
    // The worker's own connection: the GUI thread's statements never wait for its long scans.
    TDM dm(file_);
    QMutexLocker lock(&mutex_);
    while (!stop_) {
        if (!waiting_) {
            wake_.wait(&mutex_);
            continue;
        }
        Request request = std::move(*waiting_);
        waiting_.reset();
        running_ = true;
        lock.unlock();

        auto rows = std::make_shared<NoteRows>();
        const bool ok = readNoteList(dm, request.statements, *rows, QStringLiteral("FormMain"),
                                     [&] { return generation_.load() != request.generation; });

        lock.relock();
        running_ = false;
        if (request.generation != generation_)
            continue; // a newer request or fill came in meanwhile
        QMetaObject::invokeMethod(
            this,
            [this, generation = request.generation, rows, ok] {
                deliver(generation, std::move(*rows), ok);
            },
            Qt::QueuedConnection);
    }
}

void NoteListSearch::deliver(quint64 generation, NoteRows&& rows, bool ok)
{
    {
        QMutexLocker lock(&mutex_);
        if (generation != generation_)
            return;
        completed_ = generation;
    }
    deliver_(std::move(rows), ok);
    emit delivered(ok);
}
