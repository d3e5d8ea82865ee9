#include <QtTest>
class TestFormMain : public QObject
{
    Q_OBJECT
};
QTEST_GUILESS_MAIN(TestFormMain)
#include "TestFormMain.moc"
