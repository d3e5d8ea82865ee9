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
        QTest::newRow("the first announcement reloads at once")
            << QList<Step>{announce(0), ask(0, 0)};
        QTest::newRow("announcements during a reload wait for it and its window")
            << QList<Step>{announce(0), start(0),      announce(10), announce(20), ask(30, -1),
                           finish(100), ask(100, 200), ask(250, 50), ask(300, 0)};
        QTest::newRow("a reload answers every announcement before its start") << QList<Step>{
            announce(0), announce(5), start(10), finish(50), ask(50, -1), ask(1000, -1)};
        QTest::newRow("an announcement in the window after a reload waits for its end")
            << QList<Step>{start(0), finish(100), announce(150), ask(150, 150), ask(300, 0)};
        QTest::newRow("an announcement after a quiet spell reloads at once")
            << QList<Step>{start(0), finish(100), announce(400), ask(400, 0)};
        QTest::newRow("a burst costs one reload at the end of the window")
            << QList<Step>{start(0),      finish(10),    announce(20), announce(60), announce(100),
                           announce(140), announce(190), ask(200, 10), ask(210, 0),  start(210),
                           finish(230),   ask(230, -1),  ask(2000, -1)};
        QTest::newRow("the program's own reload answers what was announced before it")
            << QList<Step>{announce(0),  ask(0, 0), start(0),   finish(30),
                           announce(40), start(50), finish(90), ask(90, -1)};
        QTest::newRow("an announcement during the program's own reload costs one more")
            << QList<Step>{start(0),   announce(10), announce(20), ask(20, -1),
                           finish(40), ask(40, 200), ask(240, 0)};
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
                coalescer.changeAnnounced();
                break;
            case Step::Start:
                coalescer.reloadStarted();
                break;
            case Step::Finish:
                coalescer.reloadFinished(now);
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
