#pragma once

// Turns SIGTERM, SIGHUP and SIGINT (the session ending, `kill`, a closed terminal, Ctrl+C)
// into a Qt signal on the main thread, without a signal handler.
//
// blockInAllThreads() runs first thing in main(), before any thread exists: every thread
// started later (Qt's, the database engine's, the program's workers) inherits the blocked
// mask, so the kernel never interrupts a system call with these signals and no handler runs,
// neither ours nor the ones the database engine installs for itself. They stay pending until
// the main thread reads them from a signalfd, watched by the event loop like any socket.
//
// Why not a handler: a handler interrupts whatever thread the kernel picks. On the main
// thread that is the event loop's poll(), which leaves errno at EINTR; the Firebird 3.0.11
// client retries an fstat() in its shutdown code for as long as errno says "interrupted",
// without looking at the call's result, so the quit sequence's detach spun for ever. And the
// engine's own SIGINT handler shuts the engine down under the running program.

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    // Blocks the three signals in the calling thread, and arranges that a child process made
    // with fork() starts with them unblocked again.
    static void blockInAllThreads();
    // Unblocks them in the calling thread; for a child process before it runs another program
    // (a QProcess child process modifier), which would otherwise inherit the blocked mask.
    static void unblockInThisThread();
    // Whether all three are blocked in the calling thread.
    static bool blockedInThisThread();

    // Reads the signals once they are blocked; without blockInAllThreads() first they keep
    // their default action and nothing is read.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // Whether the signalfd could be opened.
    bool isListening() const { return fd_ >= 0; }

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignals();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};
