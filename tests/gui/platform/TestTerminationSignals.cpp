#include "gui/platform/TerminationSignals.h"
#include "support/TestDatabase.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// The termination signals with the signal mask the program sets in main(): read as events on
// the main thread, never by a handler, also once the database engine has started (it installs
// handlers of its own) and with threads running.
class TestTerminationSignals : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void signalsAreReadWithTheEngineRunning()
    {
        TerminationSignals termination;
        QVERIFY(termination.isListening());
        QSignalSpy spy(&termination, &TerminationSignals::terminationRequested);
        TestDatabase db;
        auto dm = db.open();
        bool otherBlocked = false;
        std::thread other([&] {
            otherBlocked = TerminationSignals::blockedInThisThread();
            TDM second(db.path());
            QCOMPARE(second.GetSetting(QStringLiteral("x")), QStringLiteral("-1"));
        });
        other.join();
        QVERIFY(otherBlocked);
        bool qtThreadBlocked = false;
        QThread* qtThread =
            QThread::create([&] { qtThreadBlocked = TerminationSignals::blockedInThisThread(); });
        qtThread->start();
        QVERIFY(qtThread->wait(30000));
        delete qtThread;
        QVERIFY(qtThreadBlocked);
        QCOMPARE(dm->GetSetting(QStringLiteral("x")), QStringLiteral("-1"));

        const QList<int> sent{SIGTERM, SIGHUP, SIGINT};
        for (const int number : sent)
            QCOMPARE(::kill(::getpid(), number), 0);
        QTRY_COMPARE(spy.size(), sent.size());
        // Pending signals of different numbers are read in the kernel's order, not sending
        // order; each arrives once.
        QList<int> received;
        for (const QList<QVariant>& call : spy)
            received << call.at(0).toInt();
        std::sort(received.begin(), received.end());
        QList<int> expected = sent;
        std::sort(expected.begin(), expected.end());
        QCOMPARE(received, expected);
        // No handler of the engine ran: after Ctrl+C it would refuse every statement.
        QVERIFY(dm->SetSetting(QStringLiteral("still"), QStringLiteral("working")));
        TDM third(db.path());
        QCOMPARE(third.GetSetting(QStringLiteral("still")), QStringLiteral("working"));
    }

    void aChildProcessStartsWithTheSignalsUnblocked()
    {
        QVERIFY(TerminationSignals::blockedInThisThread());
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(TerminationSignals::blockedInThisThread() ? 1 : 0);
        QVERIFY(child > 0);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(TerminationSignals::blockedInThisThread());
    }
};

int main(int argc, char** argv)
{
    // As the program's main() does, before any thread exists.
    TerminationSignals::blockInAllThreads();
    QCoreApplication app(argc, argv);
    TestTerminationSignals test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestTerminationSignals.moc"
