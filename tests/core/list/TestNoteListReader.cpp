#include "core/list/NoteListReader.h"
#include "core/list/NoteListRows.h"
#include "core/list/RowBatchPlan.h"
#include "core/storage/DatabaseFileGuard.h"
#include "core/storage/NoteListStore.h"
#include "support/TestDatabase.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

// The name failed statements are logged on behalf of.
const QString kWhere = QStringLiteral("test");

// count notes, one a minute, note 1 the oldest; every title holds "note".
void insertNotes(const TestDatabase& db, int count)
{
    db.execute(
        QStringLiteral("EXECUTE BLOCK AS DECLARE i INTEGER = 1; BEGIN WHILE (i <= %1) DO BEGIN "
                       "INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm) VALUES (:i, "
                       "'note ' || :i, '', DATEADD(:i MINUTE TO TIMESTAMP '2024-01-01 00:00'), "
                       "IIF(MOD(:i, 97) = 0, 1, 0)); i = i + 1; END END")
            .arg(count));
}

// A statement shaped like a list statement that reads for hours before its first row.
sql::notes::ListStatements endless()
{
    const QString slow = QStringLiteral(
        "SELECT * FROM NOTATKI WHERE (SELECT COUNT(*) FROM RDB$FIELDS A, RDB$FIELDS B, "
        "RDB$FIELDS C, RDB$FIELDS D) < 0 ORDER BY DataGodzina DESC");
    return {slow, slow};
}

// Collects what a worker delivers.
struct Deliveries
{
    QList<NoteListReader::Batch> batches;
    NoteListReader::Delivery sink()
    {
        return [this](NoteListReader::Batch&& batch) { batches.append(std::move(batch)); };
    }
    bool complete() const { return !batches.isEmpty() && batches.last().last; }
    QList<qint32> ids() const
    {
        QList<qint32> all;
        for (const auto& batch : batches)
            all += batch.rows.ids();
        return all;
    }
};

QList<qint32> expectedIds(const TestDatabase& db, const sql::notes::ListStatements& statements)
{
    TDM dm(db.path());
    NoteRows rows;
    readNoteList(dm, statements, rows, kWhere);
    return rows.ids();
}

} // namespace

// The list's worker thread on a real database: rows in batches as they are read, stale
// requests that never deliver, and cancelled statements.
class TestNoteListReader : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyListStatementWalksTheCreationTimeIndex_data()
    {
        QTest::addColumn<QString>("search");
        QTest::newRow("full list") << QString();
        QTest::newRow("search") << QStringLiteral("milk");
        QTest::newRow("search outside ASCII") << QString::fromUtf8("żółw");
    }
    void everyListStatementWalksTheCreationTimeIndex()
    {
        // The first rows of a fill are cheap only when the engine reads them in index order
        // instead of sorting the whole result first.
        QFETCH(QString, search);
        TestDatabase db;
        insertNotes(db, 2000);
        auto dm = db.open();
        const auto statements =
            search.isEmpty() ? sql::notes::fullList() : sql::notes::search(search);
        for (const QString& plan : note_list_store::plans(*dm, statements)) {
            QVERIFY2(plan.contains(QStringLiteral("ORDER NOTATKI_DATAGODZINA_DESC")),
                     qPrintable(plan));
            QVERIFY2(!plan.contains(QStringLiteral("SORT")), qPrintable(plan));
        }
    }

    void batchPlan_data()
    {
        QTest::addColumn<qsizetype>("firstBatch");
        QTest::addColumn<QList<qsizetype>>("thresholds"); // after 0, 1, 2... batches sent
        QTest::newRow("screenful, then fourfold up to the cap")
            << qsizetype(64) << QList<qsizetype>{64, 256, 1024, 4096, 16384, 16384};
        QTest::newRow("no screenful still sends") << qsizetype(0) << QList<qsizetype>{1, 4, 16};
        QTest::newRow("above the cap") << qsizetype(100000) << QList<qsizetype>{16384, 16384};
    }
    void batchPlan()
    {
        QFETCH(qsizetype, firstBatch);
        QFETCH(QList<qsizetype>, thresholds);
        const auto start = RowBatchPlan::Clock::now();
        RowBatchPlan plan(firstBatch, start);
        for (const qsizetype threshold : thresholds) {
            QCOMPARE(plan.threshold(), threshold);
            QVERIFY(!plan.isDue(threshold - 1, start));
            QVERIFY(plan.isDue(threshold, start));
            plan.sent(threshold, start);
        }
        // Below a full screen, a batch that has waited a little longer goes with any rows,
        // but never empty.
        QVERIFY(!plan.isDue(1, start + RowBatchPlan::kLongestWait));
        QVERIFY(plan.isDue(1, start + RowBatchPlan::kLaterWait));
        QVERIFY(!plan.isDue(0, start + RowBatchPlan::kLaterWait));
    }

    void batchPlanFillsTheScreenSoon()
    {
        // Matches far apart: until a screenful has gone, whatever was found goes soon.
        const auto start = RowBatchPlan::Clock::now();
        RowBatchPlan plan(40, start);
        QVERIFY(!plan.isDue(3, start + RowBatchPlan::kLongestWait / 2));
        QVERIFY(plan.isDue(3, start + RowBatchPlan::kLongestWait));
        QVERIFY(!plan.isDue(0, start + RowBatchPlan::kLongestWait));
        const auto second = start + RowBatchPlan::kLongestWait;
        plan.sent(3, second);
        QVERIFY(plan.isDue(5, second + RowBatchPlan::kLongestWait));
        plan.sent(40, second + RowBatchPlan::kLongestWait);
        // The screen is full: the next rows may wait longer.
        QVERIFY(!plan.isDue(5, second + 2 * RowBatchPlan::kLongestWait));
    }

    void rowsArriveInBatchesAndMakeTheWholeList()
    {
        TestDatabase db;
        insertNotes(db, 600);
        Deliveries got;
        NoteListReader reader(std::make_shared<DatabaseFileGuard>(db.path()), kWhere, got.sink());
        reader.request(sql::notes::fullList(), 10);
        QTRY_VERIFY_WITH_TIMEOUT(got.complete(), 20000);
        QVERIFY(reader.isIdle());
        QVERIFY(got.batches.size() >= 2);
        QVERIFY(got.batches.first().first);
        for (qsizetype i = 1; i < got.batches.size(); ++i)
            QVERIFY(!got.batches[i].first);
        QVERIFY(got.batches.last().ok);
        QCOMPARE(got.ids(), expectedIds(db, sql::notes::fullList()));
        // Running alarms first: the 6 notes whose ID is a multiple of 97, newest first.
        QCOMPARE(got.ids().mid(0, 6), (QList<qint32>{582, 485, 388, 291, 194, 97}));
    }

    void aNewerRequestWinsAndTheOlderDeliversNothing()
    {
        TestDatabase db;
        insertNotes(db, 3000);
        Deliveries got;
        NoteListReader reader(std::make_shared<DatabaseFileGuard>(db.path()), kWhere, got.sink());
        reader.request(sql::notes::fullList(), 1);
        reader.request(sql::notes::search(QStringLiteral("note 12")), 1);
        QTRY_VERIFY_WITH_TIMEOUT(got.complete(), 20000);
        QVERIFY(got.batches.first().first);
        QCOMPARE(got.ids(), expectedIds(db, sql::notes::search(QStringLiteral("note 12"))));
    }

    void aStatementThatFindsNothingGivesWayAtOnce()
    {
        // Without the cancel the endless statement would hold the worker for hours and the
        // test would time out.
        TestDatabase db;
        insertNotes(db, 50);
        Deliveries got;
        NoteListReader reader(std::make_shared<DatabaseFileGuard>(db.path()), kWhere, got.sink());
        reader.request(endless());
        QTest::qWait(300); // into the statement
        reader.request(sql::notes::fullList());
        QTRY_VERIFY_WITH_TIMEOUT(got.complete(), 60000);
        // The cancel was spent on the endless statement, not on the newer request.
        QVERIFY(got.batches.last().ok);
        QCOMPARE(got.ids(), expectedIds(db, sql::notes::fullList()));
        // The worker goes on serving requests.
        got.batches.clear();
        reader.request(sql::notes::search(QStringLiteral("note 7")));
        QTRY_VERIFY_WITH_TIMEOUT(got.complete(), 20000);
        QVERIFY(got.batches.last().ok);
        QCOMPARE(got.ids(), expectedIds(db, sql::notes::search(QStringLiteral("note 7"))));
    }

    void destroyingStopsARunningStatement()
    {
        TestDatabase db;
        insertNotes(db, 5);
        Deliveries got;
        {
            NoteListReader reader(std::make_shared<DatabaseFileGuard>(db.path()), kWhere,
                                  got.sink());
            reader.request(endless());
            QTest::qWait(300); // into the statement
        }
        QVERIFY(got.batches.isEmpty());
    }
};

QTEST_MAIN(TestNoteListReader)
#include "TestNoteListReader.moc"
