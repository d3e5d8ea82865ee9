#include "gui/platform/TerminationSignals.h"
#include "support/TestDatabase.h"

#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <thread>

// The database engine installs its own handlers for termination signals when it starts; the
// program's handlers must still be the ones that run, also after further connections are
// opened on other threads (the search opens one of its own).
class TestTerminationSignals : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void signalsReachTheProgramWithTheDatabaseOpen()
    {
        TerminationSignals termination;
        QSignalSpy spy(&termination, &TerminationSignals::terminationRequested);
        TestDatabase db;
        auto dm = db.open();
        QObject::connect(dm.get(), &TDM::attached, &termination,
                         [] { TerminationSignals::install(); });
        TerminationSignals::install();

        std::thread other([&] {
            TDM second(db.path());
            QCOMPARE(second.GetSetting(QStringLiteral("x")), QStringLiteral("-1"));
        });
        other.join();
        QCOMPARE(dm->GetSetting(QStringLiteral("x")), QStringLiteral("-1"));

        ::raise(SIGTERM);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), int(SIGTERM));
        ::raise(SIGHUP);
        QTRY_COMPARE(spy.size(), 2);
        QCOMPARE(spy.at(1).at(0).toInt(), int(SIGHUP));
        QVERIFY(dm->SetSetting(QStringLiteral("still"), QStringLiteral("working")));
    }
};

QTEST_GUILESS_MAIN(TestTerminationSignals)
#include "TestTerminationSignals.moc"
