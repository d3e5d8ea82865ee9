#include "core/alarms/PeriodicWorker.h"

#include <QtTest>
#include <atomic>
#include <thread>

using namespace std::chrono_literals;

// The worker thread's sleep-and-pass loop, its pause around the note editor and its hand-off
// to the main thread, on real threads.
class TestPeriodicWorker : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void anInactiveWorkerRunsNoPassUntilActiveAgain()
    {
        std::atomic<int> passes{0};
        QSemaphore passed;
        PeriodicWorker worker(1ms, [&](PeriodicWorker&) {
            ++passes;
            passed.release();
        });
        worker.setActive(false);
        worker.start();
        QVERIFY(!worker.isActive());
        // Made active, it beats; made inactive, it stops after the pass under way.
        worker.setActive(true);
        QVERIFY(passed.tryAcquire(2, 5000));
        worker.setActive(false);
        QTest::qWait(20);
        const int stopped = passes;
        QTest::qWait(100);
        QCOMPARE(passes.load(), stopped);
        worker.setActive(true);
        QTRY_VERIFY(passes > stopped);
        // A stop request ends an inactive worker too.
        worker.setActive(false);
        worker.requestStop();
        QVERIFY(worker.isFinished());
    }

    void passesRunOnTheWorkerAndHandOffsOnTheMainThread()
    {
        std::atomic<int> passes{0};
        QThread* passThread = nullptr;
        QThread* callThread = nullptr;
        PeriodicWorker worker(5ms, [&](PeriodicWorker& self) {
            passThread = QThread::currentThread();
            self.handOff([&] { callThread = QThread::currentThread(); });
            ++passes;
        });
        worker.start();
        QTRY_VERIFY(passes >= 2);
        worker.requestStop();
        QCOMPARE(passThread, &worker);
        QCOMPARE(callThread, QThread::currentThread());
    }

    void pauseWaitsForARunningPassAndHoldsTheNextOne()
    {
        std::atomic<bool> inPass{false};
        std::atomic<int> passes{0};
        QSemaphore entered;
        QSemaphore release;
        PeriodicWorker worker(1ms, [&](PeriodicWorker&) {
            inPass = true;
            entered.release();
            release.acquire();
            ++passes;
            inPass = false;
        });
        worker.start();
        QVERIFY(entered.tryAcquire(1, 5000));
        // Let the pass finish a little after pause() has started waiting for it.
        std::thread finisher([&] {
            std::this_thread::sleep_for(50ms);
            release.release();
        });
        const bool paused = worker.pause();
        finisher.join();
        QVERIFY(paused);
        QVERIFY(!inPass);
        const int afterPause = passes;
        QTest::qWait(100);
        QCOMPARE(passes.load(), afterPause);
        QVERIFY(worker.isPaused());
        release.release(1000);
        worker.resume();
        QTRY_VERIFY(passes > afterPause);
        worker.requestStop();
    }

    void pauseRunsTheCallAPassIsWaitingFor()
    {
        // The pass waits for the main thread while the main thread waits in pause(): the pause
        // must serve the call itself instead of deadlocking.
        QSemaphore handingOff;
        std::atomic<bool> served{false};
        PeriodicWorker worker(1ms, [&](PeriodicWorker& self) {
            if (served)
                return;
            handingOff.release();
            self.handOff([&] { served = true; });
        });
        worker.start();
        QVERIFY(handingOff.tryAcquire(1, 5000));
        QVERIFY(worker.pause());
        QVERIFY(served);
        worker.requestStop();
    }

    void stopEndsTheSleepWithoutAnotherPass()
    {
        std::atomic<int> passes{0};
        PeriodicWorker worker(1h, [&](PeriodicWorker&) { ++passes; });
        worker.start();
        worker.requestStop();
        QVERIFY(worker.isFinished());
        QCOMPARE(passes.load(), 0);
        QVERIFY(!worker.pause());
    }

    void aStopWhileAHandOffWaitsDropsTheCall()
    {
        QSemaphore handingOff;
        std::atomic<bool> ran{false};
        std::atomic<bool> handOffResult{true};
        PeriodicWorker worker(1ms, [&](PeriodicWorker& self) {
            handingOff.release();
            handOffResult = self.handOff([&] { ran = true; });
        });
        worker.start();
        QVERIFY(handingOff.tryAcquire(1, 5000));
        // No event processing between: the queued call cannot have run yet.
        worker.requestStop();
        QVERIFY(worker.isFinished());
        QVERIFY(!handOffResult);
        QCoreApplication::processEvents();
        QVERIFY(!ran);
    }
};

QTEST_GUILESS_MAIN(TestPeriodicWorker)
#include "TestPeriodicWorker.moc"
