#include <QtTest>
class TestPeriodicWorker : public QObject
{
    Q_OBJECT
};
QTEST_GUILESS_MAIN(TestPeriodicWorker)
#include "TestPeriodicWorker.moc"
