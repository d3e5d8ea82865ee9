#include <QtTest>
class TestWindowLayout : public QObject
{
    Q_OBJECT
};
QTEST_GUILESS_MAIN(TestWindowLayout)
#include "TestWindowLayout.moc"
