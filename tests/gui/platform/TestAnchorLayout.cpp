#include "gui/platform/AnchorLayout.h"

#include <QWidget>
#include <QtTest>

class TestAnchorLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void place_data()
    {
        using E = AnchorLayout::Edge;
        QTest::addColumn<int>("anchors");
        QTest::addColumn<QRect>("expected");
        // Design container 292x535 grown to 392x635: 100 more each way.
        QTest::newRow("left top stays") << int(E::Left | E::Top) << QRect(10, 500, 20, 25);
        QTest::newRow("left bottom moves down")
            << int(E::Left | E::Bottom) << QRect(10, 600, 20, 25);
        QTest::newRow("right bottom moves") << int(E::Right | E::Bottom) << QRect(110, 600, 20, 25);
        QTest::newRow("all four stretch")
            << int(E::Left | E::Top | E::Right | E::Bottom) << QRect(10, 500, 120, 125);
        QTest::newRow("left right stretches wide")
            << int(E::Left | E::Right | E::Bottom) << QRect(10, 600, 120, 25);
    }
    void place()
    {
        QFETCH(int, anchors);
        QFETCH(QRect, expected);
        QCOMPARE(AnchorLayout::place(QRect(10, 500, 20, 25), AnchorLayout::Edges(anchors),
                                     QSize(292, 535), QSize(392, 635)),
                 expected);
    }

    void shrinkingNeverGivesNegativeSizes()
    {
        using E = AnchorLayout::Edge;
        const QRect r =
            AnchorLayout::place(QRect(7, 6, 279, 492), E::Left | E::Top | E::Right | E::Bottom,
                                QSize(292, 535), QSize(100, 20));
        QVERIFY(r.width() >= 0 && r.height() >= 0);
    }

    void laysOutChildrenOnResize()
    {
        using E = AnchorLayout::Edge;
        QWidget container;
        auto* layout = new AnchorLayout(&container, QSize(292, 535));
        auto* list = new QWidget;
        auto* search = new QWidget;
        layout->addWidget(list, QRect(7, 6, 279, 492), E::Left | E::Top | E::Right | E::Bottom);
        layout->addWidget(search, QRect(144, 508, 142, 21), E::Left | E::Bottom);
        container.resize(292, 400);
        container.show();
        QTRY_COMPARE(list->geometry(), QRect(7, 6, 279, 357));
        QCOMPARE(search->geometry(), QRect(144, 373, 142, 21));
    }
};

QTEST_MAIN(TestAnchorLayout)
#include "TestAnchorLayout.moc"
