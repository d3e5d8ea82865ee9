#include "core/tray/ClickDebounce.h"

#include <QtTest>

// Activations of the tray icon as a panel sends them, and which of them are clicks.
class TestClickDebounce : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void activations_data()
    {
        QTest::addColumn<int>("interval");
        // How long carrying out an accepted activation (showing or hiding the window) takes.
        QTest::addColumn<int>("handling");
        QTest::addColumn<QList<int>>("times");
        QTest::addColumn<QList<bool>>("accepted");
        QTest::newRow("one click") << 400 << 0 << QList<int>{1000} << QList<bool>{true};
        QTest::newRow("double click is one")
            << 400 << 0 << QList<int>{1000, 1180} << QList<bool>{true, false};
        QTest::newRow("two clicks apart")
            << 400 << 0 << QList<int>{1000, 1900} << QList<bool>{true, true};
        QTest::newRow("exactly the interval apart is a new click")
            << 400 << 0 << QList<int>{1000, 1400} << QList<bool>{true, true};
        QTest::newRow("just within the interval")
            << 400 << 0 << QList<int>{1000, 1399} << QList<bool>{true, false};
        QTest::newRow("triple click: the third is measured from the first")
            << 400 << 0 << QList<int>{1000, 1200, 1400} << QList<bool>{true, false, true};
        QTest::newRow("two double clicks") << 400 << 0 << QList<int>{1000, 1150, 2500, 2650}
                                           << QList<bool>{true, false, true, false};
        QTest::newRow("the desktop's longer interval")
            << 700 << 0 << QList<int>{1000, 1600} << QList<bool>{true, false};
        QTest::newRow("no interval: every activation counts")
            << 0 << 0 << QList<int>{1000, 1000} << QList<bool>{true, true};
        // The first show takes 600 ms; the second activation of the double click waited
        // behind it and is read 650 ms after the first.
        QTest::newRow("double click read behind a slow show")
            << 400 << 600 << QList<int>{1000, 1650} << QList<bool>{true, false};
        QTest::newRow("a click after a slow show has settled")
            << 400 << 600 << QList<int>{1000, 2100} << QList<bool>{true, true};
        QTest::newRow("the very first activation at time zero")
            << 400 << 0 << QList<int>{0, 100} << QList<bool>{true, false};
    }
    void activations()
    {
        QFETCH(int, interval);
        QFETCH(int, handling);
        QFETCH(QList<int>, times);
        QFETCH(QList<bool>, accepted);
        ClickDebounce debounce;
        QList<bool> seen;
        for (const int time : times) {
            const bool click = debounce.accept(time, interval);
            if (click)
                debounce.handled(time + handling);
            seen << click;
        }
        QCOMPARE(seen, accepted);
    }
};

QTEST_GUILESS_MAIN(TestClickDebounce)
#include "TestClickDebounce.moc"
