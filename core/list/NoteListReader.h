#pragma once

// Every fill of the note list runs off the GUI thread: one pass of the list statements over
// 100,000 notes takes the engine more than a second, far too long to hold the window, while the
// first rows come within milliseconds because the statements walk the creation-time index.
//
// A worker thread with a database connection of its own takes one request at a time and hands
// the rows to the GUI thread in batches while it reads them (see RowBatchPlan), the last batch
// telling whether both statements succeeded. Each request() makes every earlier one stale: a
// request still waiting is replaced, one already running stops at its next row, and no batch
// of a stale request is delivered. The engine call a stale request is in is cancelled, so even
// a search that has found nothing yet gives way at once; the same happens when the worker is
// destroyed, which therefore never waits for a statement to finish.

#include "core/list/NoteListRows.h"
#include "core/storage/NoteListStatements.h"

#include <QMutex>
#include <QObject>
#include <QTimer>
#include <QWaitCondition>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class DatabaseFileGuard;
class QThread;
class TDM;

class NoteListReader : public QObject
{
    Q_OBJECT
public:
    struct Batch
    {
        NoteRows rows;
        bool first = false; // the first batch of its request: the rows before it are stale
        bool last = false;  // the request is complete
        bool ok = true;     // in the last batch: whether both statements succeeded
    };
    // Runs on the GUI thread for each batch of the newest request, in order.
    using Delivery = std::function<void(Batch&& batch)>;
    // Rows in the first batch when the caller does not say: more than a list shows at once.
    static constexpr qsizetype kScreenful = 64;

    // The worker connects to the file the guard watches, and shares the guard. A failed
    // statement is logged on behalf of where: the name of the window the list belongs to.
    NoteListReader(std::shared_ptr<DatabaseFileGuard> file, QString where, Delivery deliver,
                   QObject* parent = nullptr);
    // Stops the worker without waiting for a running statement: it is cancelled.
    ~NoteListReader() override;

    // GUI thread. firstBatch: the rows that fill the screen.
    void request(sql::notes::ListStatements statements, qsizetype firstBatch = kScreenful);
    // True when no request is waiting, running or on its way back.
    bool isIdle() const;

signals:
    // After the last batch of a request was delivered.
    void delivered(bool ok);

private:
    struct Request
    {
        quint64 generation = 0;
        sql::notes::ListStatements statements;
        qsizetype firstBatch = kScreenful;
    };

    void work(); // worker thread
    void post(quint64 generation, Batch batch);
    void deliver(quint64 generation, Batch&& batch);
    // Cancels the engine call of a stale request, and tries again shortly while the worker
    // is still on it: a cancel that comes between two calls finds nothing to cancel.
    void cancelStaleCall();
    bool cancelStaleCallLocked();

    const std::shared_ptr<DatabaseFileGuard> file_;
    const QString where_;
    const Delivery deliver_;
    mutable QMutex mutex_;
    QWaitCondition wake_;
    std::optional<Request> waiting_;
    // Of the newest request; read without the lock by the worker between rows.
    std::atomic<quint64> generation_ = 0;
    quint64 running_ = 0;   // generation of the request the worker is reading, 0 for none
    quint64 completed_ = 0; // generation of the last request delivered whole
    bool stop_ = false;
    TDM* workerDm_ = nullptr; // the worker's connection while it exists
    QTimer cancelAgain_;
    QThread* thread_ = nullptr;
};
