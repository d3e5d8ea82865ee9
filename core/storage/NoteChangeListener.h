#pragma once

// Hears the changes other programs commit to the notes of a database: every change posts the
// event of ChangeEvent.h, and this object waits for it on a connection of its own, through the
// client library's event calls (no polling: the library answers on a thread of its own, and an
// idle program is not woken). It works for a local file shared by several programs (the
// embedded engine in SuperClassic mode with the shared lock directory delivers events between
// processes) and for a database on a server.
//
// Wiring a note list to it:
//  - connect changed() to a ReloadCoalescer (core/list) and reload when it says so;
//  - after each change the program commits itself and reloads its list for (a note saved or
//    deleted, an alarm acknowledged), call expectOwnChanges() at once, before returning to the
//    event loop, so that its own event does not reload the list a second time; the alarm
//    checker may call it from its thread right after its commit (a delivery that overtakes it
//    costs one more reload, nothing worse);
//  - a program hidden in the tray may keep listening: the wait costs nothing while nothing
//    changes.
// It lives on its owner's thread: changed(), the retry timer and the answers of the client
// library all reach it there through the event loop. Opening the connection runs on that thread
// too, so a server that does not answer holds it for the connection time-out, as any other
// operation of a data module on that thread would.
// A lost connection (a server that went away) ends the wait; the listener then opens the
// connection again after a growing pause and, once it waits again, emits changed() once, since
// anything may have changed meanwhile. reconnect() does that at once.

#include "core/storage/DataModule.h"
#include "core/storage/FirebirdEvents.h"

#include <QObject>
#include <QTimer>
#include <atomic>
#include <memory>

class NoteChangeListener : public QObject
{
    Q_OBJECT
public:
    // Listens to the database the data module opens: same path, same engine settings, and
    // its file guard, so a file moved or replaced is not followed.
    explicit NoteChangeListener(const TDM& dm, QObject* parent = nullptr);
    // Withdraws the wait and closes the connection; no changed() and no callback of the client
    // library reaches this object afterwards.
    ~NoteChangeListener() override;

    // Opens the connection, takes the current count and starts waiting: every change committed
    // after it returns true is announced. False when that failed: it is tried again after the
    // retry pause.
    bool start();
    // Closes the connection and starts waiting again on a new one, emitting changed() from
    // within the call once it waits. False when that failed (tried again later, as for start(),
    // and changed() follows when a try succeeds).
    bool reconnect();
    // True while a wait is queued.
    bool isListening() const { return queued_; }
    // Own changes announced with expectOwnChanges() and not yet delivered.
    int ownChangesExpected() const { return ownChanges_; }

    // The program itself committed count changes that each posted the event, and shows them
    // without being told: deliveries adding up to count posts are absorbed instead of
    // announced. Thread-safe.
    void expectOwnChanges(int count = 1);

    // The pause before the first new attempt after a failure, doubled after each further failure
    // up to longest. Defaults: 1 s, 30 s.
    void setRetryPauses(int firstMs, int longestMs);

Q_SIGNALS:
    // Another program changed the notes (or the connection came back after a loss).
    void changed();

private:
    struct Relay;
    struct Ticket;
    static void answered(void* ticket, ISC_USHORT length, const ISC_UCHAR* block);

    // A new wait that takes the current count first.
    bool startWaiting();
    bool queueWait();
    void delivered(quint64 generation, const QByteArray& block);
    void lose(const QString& why);
    void withdraw();
    void scheduleRetry();
    void retry();
    int absorbOwn(quint32 posted);

    TDM connection_;
    fb::EventBlock counts_;
    std::shared_ptr<Relay> relay_;
    // Tells answers to the current wait from those to waits withdrawn before.
    quint64 generation_ = 0;
    ISC_LONG requestId_ = 0;
    bool queued_ = false;
    // Set when the connection was lost: changed() follows the next successful start.
    bool announceComeback_ = false;
    std::atomic<int> ownChanges_ = 0;
    // A child, so that it follows the listener to another thread.
    QTimer retryTimer_;
    int firstPauseMs_ = 1000;
    int longestPauseMs_ = 30000;
    int pauseMs_ = 1000;
};
