#pragma once

// Turns SIGTERM and SIGHUP (the session ending, `kill`, a closed terminal) into a Qt signal
// delivered on the main thread, through a self-pipe: the signal handler only writes a byte.
//
// Libraries may install their own handlers for these signals after us (the embedded database
// engine does when it starts); install() may be called again at any time to put ours back.

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // (Re)installs the handlers; safe to call from any thread.
    static void install();

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
};
