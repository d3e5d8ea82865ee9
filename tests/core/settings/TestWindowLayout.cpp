#include "core/settings/WindowLayout.h"

#include <QtTest>

using namespace window_layout;

class TestWindowLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parseStored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("number") << "120" << 120;
        QTest::newRow("negative") << "-250" << -250;
        QTest::newRow("missing marker") << "-1" << -1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("minus alone") << "-" << -1;
        QTest::newRow("blanks") << " 12" << -1;
        QTest::newRow("decimal point") << "12.5" << -1;
        QTest::newRow("hex") << "0x10" << -1;
        QTest::newRow("words") << "wide" << -1;
        QTest::newRow("plus sign") << "+5" << -1;
        QTest::newRow("too large") << "99999999999" << -1;
    }
    void parseStored()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(window_layout::parseStored(text), value);
    }

    void resolveGeometry_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::addColumn<QRect>("expected");
        // Primary screen 1920x1080 at the origin, a second one to its right.
        QTest::newRow("first run") << -1 << -1 << -1 << -1 << QRect(1580, 620, 300, 400);
        QTest::newRow("stored") << 500 << 600 << 100 << 200 << QRect(200, 100, 500, 600);
        QTest::newRow("below minimum raised, defaults use the raised size")
            << 200 << 100 << -1 << -1 << QRect(1580, 670, 300, 350);
        QTest::newRow("left of exactly -1 reads as missing")
            << 400 << 500 << 10 << -1 << QRect(1480, 10, 400, 500);
        QTest::newRow("partly off screen stays")
            << 300 << 400 << -200 << -100 << QRect(-100, -200, 300, 400);
        QTest::newRow("on the second screen stays")
            << 300 << 400 << 100 << 2500 << QRect(2500, 100, 300, 400);
        QTest::newRow("off every screen gets the default position")
            << 300 << 400 << 100 << 5000 << QRect(1580, 620, 300, 400);
        QTest::newRow("far above every screen")
            << 300 << 400 << -3000 << 10 << QRect(1580, 620, 300, 400);
    }
    void resolveGeometry()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, top);
        QFETCH(int, left);
        QFETCH(QRect, expected);
        const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
        QCOMPARE(
            window_layout::resolveGeometry({width, height, top, left}, QSize(1920, 1080), screens),
            expected);
    }

    void columnWidths()
    {
        QCOMPARE(resolveColumnWidth(-1, kDefaultTitleWidth), 155);
        QCOMPARE(resolveColumnWidth(-1, kDefaultDateWidth), 100);
        QCOMPARE(resolveColumnWidth(40, kDefaultTitleWidth), 100);
        QCOMPARE(resolveColumnWidth(240, kDefaultDateWidth), 240);
    }
};

QTEST_GUILESS_MAIN(TestWindowLayout)
#include "TestWindowLayout.moc"
