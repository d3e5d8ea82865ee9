#pragma once

// Fills of the note list run off the GUI thread, for search-as-you-type: one statement pass
// over 100,000 notes takes the engine more than a second, far too long to hold the window.
//
// A worker thread with a database connection of its own takes one request at a time. Each
// request() makes every earlier one stale: a request still waiting is replaced, one already
// running stops reading at its next row and its result is dropped, so the list ends with the
// result of the newest request.
// supersede() makes them all stale without a new one; the window calls it when it fills the
// list itself, so a late result cannot overwrite a newer fill.

#include "core/list/NoteListRows.h"
#include "core/storage/NoteListStatements.h"

#include <QMutex>
#include <QObject>
#include <QWaitCondition>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class DatabaseFileGuard;
class QThread;

class NoteListSearch : public QObject
{
    Q_OBJECT
public:
    // Runs on the GUI thread with the rows of the newest request and whether both statements
    // succeeded.
    using Delivery = std::function<void(NoteRows&& rows, bool ok)>;

    // The worker connects to the file the guard watches, and shares the guard.
    NoteListSearch(std::shared_ptr<DatabaseFileGuard> file, Delivery deliver,
                   QObject* parent = nullptr);
    // Stops the worker; a statement already running is finished first.
    ~NoteListSearch() override;

    // GUI thread.
    void request(sql::notes::ListStatements statements);
    void supersede();
    // True when no request is waiting, running or on its way back.
    bool isIdle() const;

signals:
    // After the rows of a request were delivered.
    void delivered(bool ok);

private:
    struct Request
    {
        quint64 generation = 0;
        sql::notes::ListStatements statements;
    };

    void work(); // worker thread
    void deliver(quint64 generation, NoteRows&& rows, bool ok);

    const std::shared_ptr<DatabaseFileGuard> file_;
    const Delivery deliver_;
    mutable QMutex mutex_;
    QWaitCondition wake_;
    std::optional<Request> waiting_;
    // Of the newest request or supersede; read without the lock by the worker between rows.
    std::atomic<quint64> generation_ = 0;
    quint64 completed_ = 0; // generation of the last request the worker finished
    bool running_ = false;
    bool stop_ = false;
    QThread* thread_ = nullptr;
};
