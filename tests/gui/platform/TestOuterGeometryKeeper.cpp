#include "gui/platform/OuterGeometryKeeper.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

// A window given a stored rectangle opens where the user can reach it, and is no larger than
// the screen.
class TestOuterGeometryKeeper : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void storedRectanglesThatWouldStrandTheWindow_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("shown");
        const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        const QPoint defaultPlace(screen.width() - 300 - 40, screen.height() - 400 - 60);
        QTest::newRow("where the user left it")
            << QRect(100, 120, 402, 475) << QRect(100, 120, 402, 475);
        QTest::newRow("title bar above the screen")
            << QRect(200, -380, 300, 400) << QRect(defaultPlace, QSize(300, 400));
        QTest::newRow("a corner on the screen")
            << QRect(free.right() - 25, free.bottom() - 10, 300, 400)
            << QRect(defaultPlace, QSize(300, 400));
        QTest::newRow("larger than the screen") << QRect(free.topLeft(), QSize(5000, 5000)) << free;
        QTest::newRow("huge, at its default place")
            << QRect(screen.width() - 99999 - 40, screen.height() - 99999 - 60, 99999, 99999)
            << free;
    }
    void storedRectanglesThatWouldStrandTheWindow()
    {
        QFETCH(QRect, stored);
        QFETCH(QRect, shown);
        QWidget window;
        auto* keeper = new OuterGeometryKeeper(&window);
        keeper->setOuter(stored);
        QCOMPARE(keeper->outer(), shown);
        // Shown, as from the tray: the window takes that rectangle and keeps it.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.frameGeometry(), shown);
        QCOMPARE(keeper->outer(), shown);
        window.hide();
        QCOMPARE(keeper->outer(), shown);
    }

    // Under Wayland a window learns nothing of its position (Qt reports the inside at (0, 0)),
    // so the position given is the one kept, and only the size follows the window.
    void withoutPositionsOnlyTheSizeIsLearnt()
    {
        QWidget window;
        auto* keeper = new OuterGeometryKeeper(&window, false);
        keeper->setOuter(QRect(100, 120, 402, 475));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.move(0, 0);
        window.resize(420, 480);
        const QRect kept(QPoint(100, 120), window.frameGeometry().size());
        QCOMPARE(kept.size(), QSize(420, 480).grownBy(window.windowHandle()->frameMargins()));
        QCOMPARE(keeper->outer(), kept);
        window.hide();
        QCOMPARE(keeper->outer(), kept);
    }
};

QTEST_MAIN(TestOuterGeometryKeeper)
#include "TestOuterGeometryKeeper.moc"
