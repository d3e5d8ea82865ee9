#include "core/alarms/AlarmChecker.h"
#include "core/alarms/CheckAlarms.h"
#include "core/storage/AlarmColumns.h"
#include "core/storage/DataModule.h"
#include "core/storage/SqlText.h"
#include "support/LogCapture.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QtTest>
#include <atomic>

using namespace Qt::StringLiterals;

using namespace std::chrono_literals;

namespace {

// A note row; date, time and acknowledgement are SQL literals so a test can store NULL.
struct Note
{
    qint32 id = 1;
    QString title = QStringLiteral("Milk");
    QString created = QStringLiteral("2024.04.01 10:00:00");
    int state = AlarmPlanned;
    int kind = AlarmDaily;
    QString date = QStringLiteral("'2024.05.01'");
    QString time = QStringLiteral("'08:30'");
    QString acknowledged = QStringLiteral("NULL");
};

void insert(const TestDatabase& db, const Note& n)
{
    db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, "
                              "AlarmRodzaj, AlarmData, AlarmGodzina, AlarmArchiwum) VALUES (") +
               sql::number(n.id) + QStringLiteral(", ") + sql::quoted(n.title) +
               QStringLiteral(", 'text', ") + sql::quoted(n.created) + QStringLiteral(", ") +
               sql::number(n.state) + QStringLiteral(", ") + sql::number(n.kind) +
               QStringLiteral(", ") + n.date + QStringLiteral(", ") + n.time +
               QStringLiteral(", ") + n.acknowledged + QStringLiteral(")"));
}

int stateOf(const TestDatabase& db, qint32 id)
{
    return db.scalar(QStringLiteral("SELECT Alarm FROM NOTATKI WHERE ID = ") + sql::number(id))
        .toInt();
}

// The clock of a test: a fixed moment, counting how often it is read.
struct CountingClock
{
    QDateTime now = QDateTime(QDate(2024, 5, 1), QTime(12, 0));
    std::atomic<int> reads{0};
    AlarmClock clock()
    {
        return [this] {
            ++reads;
            return now;
        };
    }
};

const QString kTitle = QStringLiteral("Quillbox A L A R M");

} // namespace

// One check pass on a real database, and the checker thread that runs it.
class TestCheckAlarms : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void entryLines_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("entry");
        const auto row = [](const char* name, int kind, const QString& entry) {
            QTest::newRow(name) << kind << entry;
        };
        row("once", 0, QStringLiteral("[Alarm: 2024-05-01 08:30] \r\n\u2068Milk\u2069\r\n"));
        row("daily", 1,
            QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\n\u2068Milk\u2069\r\n"));
        row("annual", 4,
            QStringLiteral("[Alarm: 2024-05-01 08:30] (annual alarm)\r\n\u2068Milk\u2069\r\n"));
    }
    void entryLines()
    {
        QFETCH(int, kind);
        QFETCH(QString, entry);
        QCOMPARE(alarmBalloonEntry(QDate(2024, 5, 1), QTime(8, 30), kind, QStringLiteral("Milk")),
                 entry);
    }

    void aPassFiresTheDueAlarmsNewestFirstAndEachOnce()
    {
        TestDatabase db;
        insert(db, {.id = 1, .title = QStringLiteral("Milk"), .created = u"2024.04.20 10:00:00"_s});
        insert(db, {.id = 2,
                    .title = QStringLiteral("Tax"),
                    .created = u"2024.04.10 10:00:00"_s,
                    .kind = AlarmOnce,
                    .date = u"'2024.04.30'"_s,
                    .time = u"'07:00'"_s});
        insert(db, {.id = 3,
                    .title = QStringLiteral("Newest, running"),
                    .created = u"2024.04.30 10:00:00"_s,
                    .state = AlarmRunning});
        insert(db, {.id = 4,
                    .title = QStringLiteral("Tonight"),
                    .created = u"2024.04.25 10:00:00"_s,
                    .time = u"'23:00'"_s});
        insert(db, {.id = 5,
                    .title = QStringLiteral("No date"),
                    .created = u"2024.04.24 10:00:00"_s,
                    .date = u"NULL"_s});
        insert(db, {.id = 6,
                    .title = QStringLiteral("No time"),
                    .created = u"2024.04.23 10:00:00"_s,
                    .time = u"NULL"_s});
        insert(db, {.id = 7,
                    .title = QStringLiteral("Kind 9"),
                    .created = u"2024.04.22 10:00:00"_s,
                    .kind = 9});
        insert(db, {.id = 8,
                    .title = QStringLiteral("Once, acknowledged"),
                    .created = u"2024.04.21 10:00:00"_s,
                    .state = AlarmAcknowledged,
                    .kind = AlarmOnce,
                    .acknowledged = u"'2024.04.30 09:00:00'"_s});
        insert(db, {.id = 9, .title = QStringLiteral("No alarm"), .state = AlarmNone});

        auto dm = db.open();
        CountingClock clock;
        QList<AlarmBalloon> shown;
        QList<int> stateWhenShown;
        const int fired = CheckAlarms(*dm, clock.clock(), [&](const AlarmBalloon& balloon) {
            shown << balloon;
            // The note is already running when the list is reloaded.
            stateWhenShown << stateOf(db, shown.size() == 1 ? 1 : 2);
            return true;
        });

        QCOMPARE(fired, 2);
        QCOMPARE(shown.size(), 2);
        const QString milk =
            QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\n\u2068Milk\u2069\r\n");
        const QString tax = QStringLiteral("[Alarm: 2024-04-30 07:00] \r\n\u2068Tax\u2069\r\n");
        QCOMPARE(shown[0].title, kTitle);
        QCOMPARE(shown[0].text, milk);
        QCOMPARE(shown[0].entries, 1);
        QCOMPARE(shown[1].title, kTitle);
        QCOMPARE(shown[1].text, milk + tax);
        QCOMPARE(shown[1].entries, 2);
        QCOMPARE(stateWhenShown, (QList<int>{AlarmRunning, AlarmRunning}));
        // The clock is read for every note the scan visits: all in state 2 or 3.
        QCOMPARE(clock.reads.load(), 7);

        const QList<int> expected{AlarmRunning, AlarmRunning,      AlarmRunning,
                                  AlarmPlanned, AlarmPlanned,      AlarmPlanned,
                                  AlarmPlanned, AlarmAcknowledged, AlarmNone};
        for (qint32 id = 1; id <= 9; ++id)
            QCOMPARE(stateOf(db, id), expected[id - 1]);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI WHERE ID IN (1, 2) AND "
                                          "AlarmArchiwum IS NULL")),
                 QStringLiteral("2"));

        // Fired alarms are running now: the next pass finds nothing.
        shown.clear();
        QCOMPARE(CheckAlarms(*dm, clock.clock(),
                             [&](const AlarmBalloon& b) {
                                 shown << b;
                                 return true;
                             }),
                 0);
        QVERIFY(shown.isEmpty());
    }

    // The scan reads no texts; the title of a note that fires is read for it alone, whole,
    // and the other notes' titles and messages never reach the balloon.
    void aFiredAlarmShowsItsOwnWholeTitle_data()
    {
        QTest::addColumn<QString>("titleLiteral");
        QTest::addColumn<QString>("shownTitle");
        const auto row = [](const char* name, const QString& literal, const QString& shown) {
            QTest::newRow(name) << literal << shown;
        };
        const QString polish = QStringLiteral("Zażółć gęślą jaźń, ŻÓŁW łódź ćma ęą śń źż 12345678");
        row("50 Polish characters", sql::quoted(polish), polish);
        row("Cyrillic", sql::quoted(u"Купить молоко"_s), u"Купить молоко"_s);
        row("no title", u"NULL"_s, QString());
    }
    void aFiredAlarmShowsItsOwnWholeTitle()
    {
        QFETCH(QString, titleLiteral);
        QFETCH(QString, shownTitle);
        TestDatabase db;
        // Newer notes around it that do not fire, with long messages of their own.
        insert(db, {.id = 1,
                    .title = u"Later"_s,
                    .created = u"2024.04.30 10:00:00"_s,
                    .time = u"'23:00'"_s});
        db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, "
                                  "AlarmRodzaj, AlarmData, AlarmGodzina) VALUES (2, ") +
                   titleLiteral + QStringLiteral(", ") +
                   sql::quoted(QString(5000, QLatin1Char('m'))) +
                   QStringLiteral(", '2024.04.20 10:00:00', 2, 1, '2024.05.01', '08:30')"));
        insert(db, {.id = 3,
                    .title = u"Planned, none"_s,
                    .created = u"2024.04.10 10:00:00"_s,
                    .state = AlarmNone});
        db.execute(QStringLiteral("UPDATE NOTATKI SET Tresc = ") +
                   sql::quoted(QString(5000, QLatin1Char('x'))) +
                   QStringLiteral(" WHERE ID IN (1, 3)"));
        auto dm = db.open();
        CountingClock clock;
        QList<AlarmBalloon> shown;
        QCOMPARE(CheckAlarms(*dm, clock.clock(),
                             [&](const AlarmBalloon& balloon) {
                                 shown << balloon;
                                 return true;
                             }),
                 1);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].text,
                 alarmBalloonEntry(QDate(2024, 5, 1), QTime(8, 30), AlarmDaily, shownTitle));
        QCOMPARE(stateOf(db, 2), int(AlarmRunning));
        QCOMPARE(stateOf(db, 1), int(AlarmPlanned));
    }

    void withoutActiveAlarmsNothingIsShown()
    {
        TestDatabase db;
        insert(db, {.id = 1, .state = AlarmRunning});
        insert(db, {.id = 2, .state = AlarmNone});
        auto dm = db.open();
        CountingClock clock;
        bool shown = false;
        QCOMPARE(CheckAlarms(*dm, clock.clock(),
                             [&](const AlarmBalloon&) {
                                 shown = true;
                                 return true;
                             }),
                 0);
        QVERIFY(!shown);
        QCOMPARE(clock.reads.load(), 0);
    }

    // The pass runs every 10 s all day: with nothing due it leaves the file untouched, and it
    // still sees what another connection commits between two passes.
    void idlePassesWriteNothingYetSeeLaterCommits()
    {
        TestDatabase db;
        insert(db, {.id = 1, .state = AlarmNone});
        auto dm = db.open();
        CountingClock clock;
        int shown = 0;
        auto show = [&](const AlarmBalloon&) {
            ++shown;
            return true;
        };
        const auto fileBytes = [&] {
            QFile file(db.path());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QCOMPARE(CheckAlarms(*dm, clock.clock(), show), 0);
        const QByteArray before = fileBytes();
        QVERIFY(!before.isEmpty());
        for (int pass = 0; pass < 3; ++pass)
            QCOMPARE(CheckAlarms(*dm, clock.clock(), show), 0);
        QVERIFY2(fileBytes() == before, "an idle pass wrote to the database file");

        insert(db, {.id = 2});
        QCOMPARE(CheckAlarms(*dm, clock.clock(), show), 1);
        QCOMPARE(shown, 1);
        QCOMPARE(stateOf(db, 2), int(AlarmRunning));
        // Closing the connection ends the reads' transaction with it.
        QVERIFY(dm->Disconnect());
    }

    void aFailedStateUpdateIsReportedAndTheBalloonStillShows()
    {
        TestDatabase db;
        insert(db, {.id = 1});
        // The engine refuses every change of the state, as a broken or read-only database would.
        db.execute(QStringLiteral("CREATE EXCEPTION NO_CHANGE 'no change'"));
        db.execute(QStringLiteral("CREATE TRIGGER NOTATKI_FROZEN FOR NOTATKI BEFORE UPDATE AS "
                                  "BEGIN EXCEPTION NO_CHANGE; END"));
        auto dm = db.open();
        CountingClock clock;
        LogCapture log;
        int shown = 0;
        auto show = [&](const AlarmBalloon& balloon) {
            ++shown;
            return balloon.text.endsWith(QStringLiteral("Milk\u2069\r\n"));
        };
        QCOMPARE(CheckAlarms(*dm, clock.clock(), show), 1);
        QCOMPARE(shown, 1);
        QCOMPARE(log.reports.size(), 1);
        QVERIFY2(log.reports[0].contains(QStringLiteral("Can't set the type of alarm!")),
                 qPrintable(log.reports[0]));
        QCOMPARE(stateOf(db, 1), int(AlarmPlanned));
        // Still planned, so it fires again at the next pass.
        QCOMPARE(CheckAlarms(*dm, clock.clock(), show), 1);
        QCOMPARE(shown, 2);
    }

    void aFailedPassEndsSilentlyAndTheNextStartsAfresh()
    {
        const QString path = freshTestDirectory() + QStringLiteral("/dbn.ib");
        TDM dm(path);
        CountingClock clock;
        int shown = 0;
        auto show = [&](const AlarmBalloon&) {
            ++shown;
            return true;
        };
        QCOMPARE(CheckAlarms(dm, clock.clock(), show), 0);
        QCOMPARE(shown, 0);

        // The database appears: the next pass opens it and fires.
        TestDatabase db;
        insert(db, {.id = 1});
        QVERIFY(QFile::copy(db.path(), path));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(CheckAlarms(dm, clock.clock(), show), 1);
        QCOMPARE(shown, 1);
    }

    void aStopOrARefusedBalloonEndsThePassAtOnce()
    {
        TestDatabase db;
        for (qint32 id = 1; id <= 3; ++id)
            insert(db, {.id = id, .created = QStringLiteral("2024.04.0%1 10:00:00").arg(id)});
        auto dm = db.open();
        CountingClock clock;
        int shown = 0;
        // The balloon could not be handed over (the checker is stopping): the rest waits.
        QCOMPARE(CheckAlarms(*dm, clock.clock(),
                             [&](const AlarmBalloon&) {
                                 ++shown;
                                 return false;
                             }),
                 1);
        QCOMPARE(shown, 1);
        QCOMPARE(stateOf(db, 3), int(AlarmRunning));
        QCOMPARE(stateOf(db, 2), int(AlarmPlanned));

        // Asked to stop before the first note: nothing is read.
        const int reads = clock.reads;
        QCOMPARE(
            CheckAlarms(
                *dm, clock.clock(), [&](const AlarmBalloon&) { return true; }, [] { return true; }),
            0);
        QCOMPARE(clock.reads.load(), reads);
        QCOMPARE(stateOf(db, 2), int(AlarmPlanned));
    }

    // The checker thread on its own connection hands the balloon to the main thread, after the
    // note has turned running.
    void theCheckerFiresOnItsThreadAndShowsOnTheMainThread()
    {
        TestDatabase db;
        insert(db, {.id = 1});
        CountingClock clock;
        QList<AlarmBalloon> shown;
        QList<QThread*> threads;
        int stateWhenShown = -1;
        TAlarmChecker checker(
            std::make_shared<DatabaseFileGuard>(db.path()), clock.clock(),
            [&](const AlarmBalloon& balloon) {
                shown << balloon;
                threads << QThread::currentThread();
                stateWhenShown = stateOf(db, 1);
            },
            5ms);
        checker.start();
        QTRY_COMPARE(shown.size(), 1);
        QCOMPARE(threads.first(), QThread::currentThread());
        QCOMPARE(stateWhenShown, int(AlarmRunning));
        QCOMPARE(shown.first().text,
                 QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\n\u2068Milk\u2069\r\n"));

        // Passes go on; a later alarm fires at the first pass after its time has come.
        insert(db, {.id = 2, .title = QStringLiteral("Bread"), .time = u"'12:30'"_s});
        const int reads = clock.reads;
        QTRY_VERIFY(clock.reads > reads + 2);
        QCOMPARE(shown.size(), 1);
        clock.now = QDateTime(QDate(2024, 5, 1), QTime(12, 30));
        QTRY_COMPARE(shown.size(), 2);
        QCOMPARE(shown.last().entries, 1);
        QVERIFY(shown.last().text.endsWith(QStringLiteral("\r\n\u2068Bread\u2069\r\n")));
        checker.requestStop();
        QCOMPARE(stateOf(db, 2), int(AlarmRunning));
    }

    void aPausedCheckerFiresNothingUntilResumed()
    {
        TestDatabase db;
        CountingClock clock;
        int shown = 0;
        TAlarmChecker checker(
            std::make_shared<DatabaseFileGuard>(db.path()), clock.clock(),
            [&](const AlarmBalloon&) { ++shown; }, 5ms);
        checker.start();
        QVERIFY(checker.pause());
        insert(db, {.id = 1});
        const int reads = clock.reads;

        // A worker at the same beat shows the passes the paused checker would have run.
        std::atomic<int> beats{0};
        PeriodicWorker reference(5ms, [&](PeriodicWorker&) { ++beats; });
        reference.start();
        QTRY_VERIFY(beats >= 20);
        reference.requestStop();
        QCOMPARE(clock.reads.load(), reads);
        QCOMPARE(shown, 0);
        QCOMPARE(stateOf(db, 1), int(AlarmPlanned));

        checker.resume();
        QTRY_COMPARE(shown, 1);
        QCOMPARE(stateOf(db, 1), int(AlarmRunning));
        checker.requestStop();
    }

    // The checker's connection shares the window's file guard: a file moved away while only
    // the checker works on it is found by the checker's pass and reported by that one guard,
    // once, however many passes meet it.
    void aFileLostUnderTheCheckerIsReportedOnce()
    {
        TestDatabase db;
        // Not due yet: each pass reads the clock for it.
        insert(db, {.id = 1, .time = u"'12:30'"_s});
        TDM window(db.path());
        QVERIFY(window.Connect());
        std::atomic<int> lost{0};
        QObject::connect(
            window.fileGuard().get(), &DatabaseFileGuard::lost, window.fileGuard().get(),
            [&] { ++lost; }, Qt::DirectConnection);
        CountingClock clock;
        TAlarmChecker checker(
            window.fileGuard(), clock.clock(), [](const AlarmBalloon&) {}, 5ms);
        checker.start();
        QTRY_VERIFY(clock.reads >= 2);
        QVERIFY(QFile::rename(db.path(), db.path() + QStringLiteral(".away")));
        QTRY_COMPARE(lost.load(), 1);
        QVERIFY(window.fileGuard()->isLost());

        std::atomic<int> beats{0};
        PeriodicWorker reference(5ms, [&](PeriodicWorker&) { ++beats; });
        reference.start();
        QTRY_VERIFY(beats >= 20);
        reference.requestStop();
        checker.requestStop();
        QCOMPARE(lost.load(), 1);
        QVERIFY(window.fileGuard()->claimAnnouncement());
        QVERIFY(!window.fileGuard()->claimAnnouncement());
    }

    // A stop while many alarms fire ends the pass at the next note: no call runs after the stop
    // and every note that turned running was shown or was the one being handed over.
    void aStopWhileAlarmsFireEndsThePassCleanly()
    {
        TestDatabase db;
        TDM seeder(db.path());
        seeder.transact([&](DbSession& s) {
            for (qint32 id = 1; id <= 300; ++id) {
                s.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, DataGodzina, Alarm, "
                                         "AlarmRodzaj, AlarmData, AlarmGodzina) VALUES (") +
                          sql::number(id) +
                          QStringLiteral(", 'n', '2024.04.01 10:00:00', 2, 1, "
                                         "'2024.05.01', '08:30')"));
            }
        });
        CountingClock clock;
        int shown = 0;
        auto* checker = new TAlarmChecker(
            std::make_shared<DatabaseFileGuard>(db.path()), clock.clock(),
            [&](const AlarmBalloon&) { ++shown; }, 1ms);
        checker->start();
        QTRY_VERIFY(shown >= 3);
        delete checker;
        const int shownAtStop = shown;
        QCoreApplication::processEvents();
        QCOMPARE(shown, shownAtStop);
        const int running =
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI WHERE Alarm = 1")).toInt();
        QVERIFY2(running == shown || running == shown + 1,
                 qPrintable(QStringLiteral("%1 running, %2 shown").arg(running).arg(shown)));
        QVERIFY(running < 300);
    }
};

QTEST_GUILESS_MAIN(TestCheckAlarms)
#include "TestCheckAlarms.moc"
