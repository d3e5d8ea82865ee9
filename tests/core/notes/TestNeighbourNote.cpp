#include "core/notes/NeighbourNote.h"

#include <QtTest>

// Which list entry is selected after a note is deleted.
class TestNeighbourNote : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void neighbour_data()
    {
        QTest::addColumn<QList<qint32>>("ids");
        QTest::addColumn<qint32>("deleted");
        QTest::addColumn<qint32>("expected");
        QTest::newRow("empty list") << QList<qint32>{} << 5 << -1;
        QTest::newRow("only entry") << QList<qint32>{5} << 5 << -1;
        QTest::newRow("first of three") << QList<qint32>{9, 5, 2} << 9 << 5;
        QTest::newRow("middle takes the next") << QList<qint32>{9, 5, 2} << 5 << 2;
        QTest::newRow("last takes the one above") << QList<qint32>{9, 5, 2} << 2 << 5;
        QTest::newRow("last of two") << QList<qint32>{9, 5} << 5 << 9;
        QTest::newRow("not listed") << QList<qint32>{9, 5, 2} << 7 << -1;
        QTest::newRow("first occurrence from the top") << QList<qint32>{4, 3, 4, 1} << 4 << 3;
        QTest::newRow("nothing selected yet") << QList<qint32>{9, 5} << 0 << -1;
    }
    void neighbour()
    {
        QFETCH(QList<qint32>, ids);
        QFETCH(qint32, deleted);
        QFETCH(qint32, expected);
        QCOMPARE(FindNeighbourNote(ids, deleted), expected);
    }
};

QTEST_GUILESS_MAIN(TestNeighbourNote)
#include "TestNeighbourNote.moc"
