#include "core/list/ReloadCoalescer.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

// One step of a script: at a moment (ms from the start), something happens to the coalescer,
// or it is asked what to do and must answer as expected (-1: nothing to do).
struct Step
{
    enum Kind
    {
        Announce,
        Start,
        Finish,
        Ask
    };
    int atMs;
    Kind kind;
    int expectedMs = -1;
};

Step announce(int at)
{
    return {at, Step::Announce};
}
Step start(int at)
{
    return {at, Step::Start};
}
Step finish(int at)
{
    return {at, Step::Finish};
}
Step ask(int at, int expected)
{
    return {at, Step::Ask, expected};
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestReloadCoalescer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void script_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::newRow("nothing announced, nothing to do") << QList<Step>{ask(0, -1), ask(5000, -1)};
        QTest::newRow("one announcement reloads after the quiet window")
            << QList<Step>{announce(0), ask(0, 200), ask(150, 50), ask(200, 0), ask(900, 0)};
        QTest::newRow("a burst costs one reload after its last announcement") << QList<Step>{
            announce(0), announce(100), announce(250), ask(250, 200), announce(400), ask(500, 100),
            ask(600, 0), start(600),    finish(650),   ask(650, -1),  ask(5000, -1)};
        QTest::newRow("announcements during a reload wait for it and the quiet window")
            << QList<Step>{announce(0),  ask(200, 0), start(200),    announce(210), announce(300),
                           ask(350, -1), finish(380), ask(380, 120), ask(500, 0)};
        QTest::newRow("a reload longer than the window is followed at once")
            << QList<Step>{start(0), announce(10), ask(10, -1), finish(500), ask(500, 0)};
        QTest::newRow("a reload answers every announcement before its start") << QList<Step>{
            announce(0), announce(50), start(60), finish(100), ask(100, -1), ask(3000, -1)};
        QTest::newRow("the program's own reload during the window answers it")
            << QList<Step>{announce(0),  ask(100, 100), start(100),   finish(150),
                           ask(150, -1), announce(160), ask(160, 200)};
        QList<Step> stream;
        for (int at = 0; at <= 1900; at += 100)
            stream << announce(at);
        stream << ask(1900, 100) << ask(2000, 0) << start(2000) << finish(2050) << announce(2100)
               << ask(2100, 200) << ask(2300, 0);
        QTest::newRow("a stream that never goes quiet reloads after the longest wait") << stream;
    }

    void script()
    {
        QFETCH(QList<Step>, steps);
        ReloadCoalescer coalescer;
        const ReloadCoalescer::Clock::time_point origin{};
        for (const Step& step : steps) {
            const auto now = origin + std::chrono::milliseconds(step.atMs);
            switch (step.kind) {
            case Step::Announce:
                coalescer.changeAnnounced(now);
                break;
            case Step::Start:
                coalescer.reloadStarted();
                break;
            case Step::Finish:
                coalescer.reloadFinished();
                break;
            case Step::Ask: {
                const auto answer = coalescer.reloadIn(now);
                const int answeredMs =
                    answer ? int(std::chrono::duration_cast<std::chrono::milliseconds>(*answer)
                                     .count())
                           : -1;
                QVERIFY2(answeredMs == step.expectedMs,
                         qPrintable(QStringLiteral("at %1 ms: %2, expected %3")
                                        .arg(step.atMs)
                                        .arg(answeredMs)
                                        .arg(step.expectedMs)));
                break;
            }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestReloadCoalescer)
#include "TestReloadCoalescer.moc"
