#include <QtTest>
class TestProcesses : public QObject
{
    Q_OBJECT
};
QTEST_GUILESS_MAIN(TestProcesses)
#include "TestProcesses.moc"
