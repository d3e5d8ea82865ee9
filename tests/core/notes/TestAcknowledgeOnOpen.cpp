#include "core/notes/AcknowledgeOnOpen.h"
#include "core/storage/AlarmColumns.h"
#include "core/storage/DataModule.h"
#include "core/storage/SqlText.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QtTest>

namespace {

const QDateTime kOpened(QDate(2024, 5, 1), QTime(12, 34, 56));
const QString kReporter = QStringLiteral("FormNotatka");

// A note with an alarm planned for a date and time, in the given state, acknowledged (or not)
// at the given SQL literal.
void insertAlarmNote(const TestDatabase& db, qint32 id, int state, const QString& acknowledged)
{
    db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, "
                              "AlarmRodzaj, AlarmData, AlarmGodzina, AlarmArchiwum) VALUES (") +
               sql::number(id) + QStringLiteral(", 'note', 'text', '2024.04.01 10:00:00', ") +
               sql::number(state) + QStringLiteral(", 2, '2024.05.01', '08:30', ") + acknowledged +
               QStringLiteral(")"));
}

// The stored alarm columns of a note, as one line.
QString alarmRow(const TestDatabase& db, qint32 id)
{
    return db.scalar(
        QStringLiteral("SELECT Alarm || ' ' || AlarmRodzaj || ' ' || AlarmData || ' ' || "
                       "AlarmGodzina || ' ' || COALESCE(CAST(AlarmArchiwum AS VARCHAR(30)), "
                       "'never') FROM NOTATKI "
                       "WHERE ID = ") +
        sql::number(id));
}

} // namespace

// Opening a note acknowledges its running alarm, and only a running one, on a real database.
class TestAcknowledgeOnOpen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void runningAlarmIsAcknowledgedAtTheMoment_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("running") << int(AlarmRunning);
        // Only the low byte holds the state.
        QTest::newRow("257 reads as running") << 257;
    }
    void runningAlarmIsAcknowledgedAtTheMoment()
    {
        QFETCH(int, state);
        TestDatabase db;
        insertAlarmNote(db, 1, state, QStringLiteral("NULL"));
        insertAlarmNote(db, 2, AlarmRunning, QStringLiteral("NULL"));
        const QString otherBefore = alarmRow(db, 2);
        auto dm = db.open();

        QVERIFY(acknowledgeAlarmOnOpen(*dm, 1, kOpened, kReporter));

        QCOMPARE(db.scalar(QStringLiteral("SELECT Alarm FROM NOTATKI WHERE ID = 1")),
                 QString::number(AlarmAcknowledged));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI WHERE ID = 1 AND "
                                          "AlarmArchiwum = '2024.05.01 12:34:56'")),
                 QStringLiteral("1"));
        // The schedule stays as planned, and no other note changes.
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI WHERE ID = 1 AND "
                                          "AlarmRodzaj = 2 AND AlarmData = '2024.05.01' AND "
                                          "AlarmGodzina = '08:30'")),
                 QStringLiteral("1"));
        QCOMPARE(alarmRow(db, 2), otherBefore);
    }

    void otherStatesAreLeftAlone_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("acknowledged");
        QTest::newRow("no alarm") << int(AlarmNone) << "NULL";
        QTest::newRow("planned") << int(AlarmPlanned) << "NULL";
        QTest::newRow("acknowledged earlier") << int(AlarmAcknowledged) << "'2024.04.20 07:00:00'";
        QTest::newRow("unknown state") << 7 << "NULL";
    }
    void otherStatesAreLeftAlone()
    {
        QFETCH(int, state);
        QFETCH(QString, acknowledged);
        TestDatabase db;
        insertAlarmNote(db, 1, state, acknowledged);
        const QString before = alarmRow(db, 1);
        auto dm = db.open();
        QVERIFY(!acknowledgeAlarmOnOpen(*dm, 1, kOpened, kReporter));
        QCOMPARE(alarmRow(db, 1), before);
    }

    void aNoteWithoutARowHasNothingToAcknowledge()
    {
        TestDatabase db;
        insertAlarmNote(db, 1, AlarmRunning, QStringLiteral("NULL"));
        auto dm = db.open();
        QVERIFY(!acknowledgeAlarmOnOpen(*dm, 99, kOpened, kReporter));
        QCOMPARE(db.scalar(QStringLiteral("SELECT Alarm FROM NOTATKI WHERE ID = 1")),
                 QString::number(AlarmRunning));
    }

    // The caller must learn that the state could not be read, so that it opens nothing.
    void anUnreadableDatabaseThrows()
    {
        const QString missing = QDir(freshTestDirectory()).filePath(QStringLiteral("dbn.ib"));
        TDM dm(missing);
        QVERIFY_THROWS_EXCEPTION(fb::Error, acknowledgeAlarmOnOpen(dm, 1, kOpened, kReporter));
        QVERIFY(!QFile::exists(missing));
    }
};

QTEST_MAIN(TestAcknowledgeOnOpen)
#include "TestAcknowledgeOnOpen.moc"
