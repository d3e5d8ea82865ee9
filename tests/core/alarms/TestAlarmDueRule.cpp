#include "core/alarms/AlarmDueRule.h"
#include "core/alarms/LocalClock.h"
#include "core/storage/AlarmColumns.h"

#include <QtTest>
#include <ctime>

namespace {

QDate day(const char* text)
{
    return QDate::fromString(QLatin1String(text), Qt::ISODate);
}

// "2024-05-01 08:00:00" as the local wall clock read it; a time with an offset
// ("2024-10-27T02:30:00+01:00") names one of the two readings of an hour the clock repeats.
QDateTime moment(const char* text)
{
    const QString value = QLatin1String(text);
    if (value.contains(QLatin1Char('T')))
        return QDateTime::fromString(value, Qt::ISODate).toLocalTime();
    return QDateTime::fromString(value, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

AlarmValues alarm(int state, int kind, const char* date, const char* time,
                  const char* acknowledged = nullptr)
{
    AlarmValues values;
    values.state = state;
    values.kind = kind;
    values.date = date ? day(date) : QDate();
    values.time = time ? QTime::fromString(QLatin1String(time), QStringLiteral("HH:mm")) : QTime();
    if (acknowledged) {
        const QDateTime at = QDateTime::fromString(QLatin1String(acknowledged),
                                                   QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        values.acknowledgedDate = at.date();
        values.acknowledgedTime = at.time();
    }
    return values;
}

} // namespace

Q_DECLARE_METATYPE(AlarmValues)

// The due rule over kinds, states and moments, in a real time zone with daylight-saving time
// (Europe/Warsaw: the clock jumps from 02:00 to 03:00 on the last Sunday of March and from
// 03:00 back to 02:00 on the last Sunday of October).
class TestAlarmDueRule : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Warsaw");
        tzset();
        // The cases below mean nothing without the zone's rules.
        QCOMPARE(QDateTime(QDate(2024, 1, 10), QTime(12, 0)).offsetFromUtc(), 3600);
        QCOMPARE(QDateTime(QDate(2024, 7, 10), QTime(12, 0)).offsetFromUtc(), 7200);
    }

    // The checker's clock tells the same local time as the system's, in zones of every kind.
    void localClockAgreesWithTheSystem_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("Warsaw") << QByteArray("Europe/Warsaw");
        QTest::newRow("UTC") << QByteArray("UTC");
        QTest::newRow("Chatham, 12:45 ahead") << QByteArray("Pacific/Chatham");
        QTest::newRow("Caracas, behind") << QByteArray("America/Caracas");
    }
    void localClockAgreesWithTheSystem()
    {
        QFETCH(QByteArray, zone);
        const QByteArray previous = qgetenv("TZ");
        qputenv("TZ", zone);
        tzset();
        LocalClock clock;
        for (int i = 0; i < 3; ++i) {
            const QDateTime before = QDateTime::currentDateTime();
            const QDateTime read = clock.now();
            const QDateTime after = QDateTime::currentDateTime();
            QCOMPARE(read.offsetFromUtc(), after.offsetFromUtc());
            QVERIFY(before.toMSecsSinceEpoch() <= read.toMSecsSinceEpoch());
            QVERIFY(read.toMSecsSinceEpoch() <= after.toMSecsSinceEpoch());
            QVERIFY(QDateTime(read.date(), read.time()) >= QDateTime(before.date(), before.time()));
            QVERIFY(QDateTime(read.date(), read.time()) <= QDateTime(after.date(), after.time()));
        }
        qputenv("TZ", previous);
        tzset();
    }

    void kindLabels_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("label");
        QTest::newRow("once") << 0 << QString();
        QTest::newRow("daily") << 1 << QStringLiteral("(daily alarm)");
        QTest::newRow("weekly") << 2 << QStringLiteral("(weekly alarm)");
        QTest::newRow("monthly") << 3 << QStringLiteral("(monthly alarm)");
        QTest::newRow("annual") << 4 << QStringLiteral("(annual alarm)");
        QTest::newRow("5") << 5 << QString();
        QTest::newRow("7") << 7 << QString();
        QTest::newRow("-1") << -1 << QString();
    }
    void kindLabels()
    {
        QFETCH(int, kind);
        QFETCH(QString, label);
        QCOMPARE(AlarmKindLabel(kind), label);
        QVERIFY(!AlarmKindLabel(kind).isNull() || label.isEmpty());
    }

    void due_data()
    {
        QTest::addColumn<AlarmValues>("values");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("due");

        auto row = [](const char* name, const AlarmValues& values, const char* now, bool due) {
            QTest::newRow(name) << values << moment(now) << due;
        };

        // One-off.
        row("once: a second before its time", alarm(AlarmPlanned, 0, "2024-05-01", "18:00"),
            "2024-05-01 17:59:59", false);
        row("once: at its time", alarm(AlarmPlanned, 0, "2024-05-01", "18:00"),
            "2024-05-01 18:00:00", true);
        row("once: late in the evening", alarm(AlarmPlanned, 0, "2024-05-01", "18:00"),
            "2024-05-01 23:59:59", true);
        row("once: passed day, started in the morning",
            alarm(AlarmPlanned, 0, "2024-04-28", "18:00"), "2024-05-01 09:00:00", true);
        row("once: yesterday 18:00, seen at 09:00", alarm(AlarmPlanned, 0, "2024-04-30", "18:00"),
            "2024-05-01 09:00:00", true);
        row("once: today 18:00, seen at 09:00", alarm(AlarmPlanned, 0, "2024-05-01", "18:00"),
            "2024-05-01 09:00:00", false);
        row("once: yesterday 23:59, seen just after midnight",
            alarm(AlarmPlanned, 0, "2024-04-30", "23:59"), "2024-05-01 00:00:00", true);
        row("once: acknowledged on an earlier day",
            alarm(AlarmAcknowledged, 0, "2024-04-30", "18:00"), "2024-05-01 09:00:00", false);
        row("once: passed day, evening", alarm(AlarmPlanned, 0, "2024-04-28", "18:00"),
            "2024-05-01 19:00:00", true);
        row("once: the day before, after its time", alarm(AlarmPlanned, 0, "2024-05-02", "18:00"),
            "2024-05-01 19:00:00", false);
        row("once: acknowledged, never again",
            alarm(AlarmAcknowledged, 0, "2024-05-01", "18:00", "2024-05-01 18:05:00"),
            "2024-06-01 19:00:00", false);
        row("once: acknowledged without a moment",
            alarm(AlarmAcknowledged, 0, "2024-05-01", "18:00"), "2024-05-02 19:00:00", false);

        // States other than planned and acknowledged.
        row("state 0", alarm(AlarmNone, 1, "2024-05-01", "08:00"), "2024-05-01 09:00:00", false);
        row("state 1: running never fires again", alarm(AlarmRunning, 1, "2024-05-01", "08:00"),
            "2024-05-02 09:00:00", false);
        row("state 4", alarm(4, 1, "2024-05-01", "08:00"), "2024-05-01 09:00:00", false);
        row("state NULL", alarm(-1, 0, "2024-05-01", "08:00"), "2024-05-01 09:00:00", false);

        // Bad values.
        row("kind 5", alarm(AlarmPlanned, 5, "2024-05-01", "08:00"), "2024-05-01 09:00:00", false);
        row("kind 7", alarm(AlarmPlanned, 7, "2024-05-01", "08:00"), "2024-05-01 09:00:00", false);
        row("kind NULL", alarm(AlarmPlanned, -1, "2024-05-01", "08:00"), "2024-05-01 09:00:00",
            false);
        row("date NULL, once", alarm(AlarmPlanned, 0, nullptr, "08:00"), "2024-05-01 09:00:00",
            false);
        row("date NULL, daily", alarm(AlarmPlanned, 1, nullptr, "08:00"), "2024-05-01 09:00:00",
            false);
        row("time NULL", alarm(AlarmPlanned, 1, "2024-05-01", nullptr), "2024-05-01 09:00:00",
            false);

        // Daily.
        row("daily: anchor in the future, due today", alarm(AlarmPlanned, 1, "2030-01-01", "08:00"),
            "2024-05-01 08:00:00", true);
        row("daily: a minute early", alarm(AlarmPlanned, 1, "2024-05-01", "08:00"),
            "2024-05-01 07:59:00", false);
        row("daily: acknowledged at 10:30, next day at 08:00",
            alarm(AlarmAcknowledged, 1, "2024-05-01", "08:00", "2024-05-01 10:30:00"),
            "2024-05-02 08:00:00", true);
        row("daily: acknowledged at 10:30, not again that day",
            alarm(AlarmAcknowledged, 1, "2024-05-01", "08:00", "2024-05-01 10:30:00"),
            "2024-05-01 23:59:59", false);
        row("daily: yesterday's firing acknowledged just before today's",
            alarm(AlarmAcknowledged, 1, "2024-05-01", "08:00", "2024-05-02 07:59:59"),
            "2024-05-02 08:00:00", true);
        row("daily: acknowledged at the occurrence's moment",
            alarm(AlarmAcknowledged, 1, "2024-05-01", "08:00", "2024-05-02 08:00:00"),
            "2024-05-02 08:00:30", false);
        row("daily: acknowledged days ago, missed days are not made up",
            alarm(AlarmAcknowledged, 1, "2024-05-01", "08:00", "2024-04-20 08:30:00"),
            "2024-05-02 07:00:00", false);

        // Weekly (1 May 2024 is a Wednesday).
        row("weekly: first matching day", alarm(AlarmPlanned, 2, "2024-05-01", "09:00"),
            "2024-05-08 09:00:00", true);
        row("weekly: matching day before the anchor", alarm(AlarmPlanned, 2, "2024-05-29", "09:00"),
            "2024-05-01 09:00:00", true);
        row("weekly: other weekday", alarm(AlarmPlanned, 2, "2024-05-01", "09:00"),
            "2024-05-07 23:00:00", false);
        row("weekly: acknowledged a day late, fires the next week",
            alarm(AlarmAcknowledged, 2, "2024-05-01", "09:00", "2024-05-09 12:00:00"),
            "2024-05-15 09:00:00", true);

        // Monthly.
        row("monthly: on its day", alarm(AlarmPlanned, 3, "2024-01-15", "07:00"),
            "2024-05-15 07:00:00", true);
        row("monthly: acknowledged five days late, fires the next month",
            alarm(AlarmAcknowledged, 3, "2024-01-15", "07:00", "2024-04-20 12:00:00"),
            "2024-05-15 07:00:00", true);
        row("monthly 31st: in March", alarm(AlarmPlanned, 3, "2024-01-31", "07:00"),
            "2024-03-31 07:00:00", true);
        row("monthly 31st: not on 30 April", alarm(AlarmPlanned, 3, "2024-01-31", "07:00"),
            "2024-04-30 23:59:59", false);
        row("monthly 31st: not on 1 May", alarm(AlarmPlanned, 3, "2024-01-31", "07:00"),
            "2024-05-01 07:00:00", false);
        row("monthly 31st: not on 30 June", alarm(AlarmPlanned, 3, "2024-01-31", "07:00"),
            "2024-06-30 23:00:00", false);
        row("monthly 31st: not on 29 February", alarm(AlarmPlanned, 3, "2024-01-31", "07:00"),
            "2024-02-29 23:00:00", false);
        row("monthly 30th: not on 29 February", alarm(AlarmPlanned, 3, "2024-01-30", "07:00"),
            "2024-02-29 23:00:00", false);

        // Yearly.
        row("annual: 29 February in a leap year", alarm(AlarmPlanned, 4, "2020-02-29", "10:00"),
            "2024-02-29 10:00:00", true);
        row("annual: 29 February, not on 28 February",
            alarm(AlarmPlanned, 4, "2020-02-29", "10:00"), "2023-02-28 23:00:00", false);
        row("annual: 29 February, not on 1 March", alarm(AlarmPlanned, 4, "2020-02-29", "10:00"),
            "2023-03-01 10:00:00", false);
        row("annual: acknowledged at 12:00, next year at its time",
            alarm(AlarmAcknowledged, 4, "2000-03-10", "08:00", "2022-03-10 12:00:00"),
            "2023-03-10 08:00:00", true);
        row("annual: acknowledged at 19:00, next year at its time",
            alarm(AlarmAcknowledged, 4, "2000-03-10", "08:00", "2022-03-10 19:00:00"),
            "2023-03-10 08:00:00", true);
        row("annual: acknowledged the same day, not again",
            alarm(AlarmAcknowledged, 4, "2000-03-10", "08:00", "2023-03-10 08:10:00"),
            "2023-03-10 23:59:59", false);
        row("annual: other day of the month", alarm(AlarmPlanned, 4, "2000-03-10", "08:00"),
            "2023-04-10 08:00:00", false);

        // The clock jumps forward at 02:00 on 31 March 2024: 02:30 never shows.
        row("spring: before the jump",
            alarm(AlarmAcknowledged, 1, "2024-01-01", "02:30", "2024-03-30 02:35:00"),
            "2024-03-31T01:59:59+01:00", false);
        row("spring: due at the jump",
            alarm(AlarmAcknowledged, 1, "2024-01-01", "02:30", "2024-03-30 02:35:00"),
            "2024-03-31T03:00:00+02:00", true);
        row("spring: acknowledged just before the jump",
            alarm(AlarmAcknowledged, 1, "2024-01-01", "02:30", "2024-03-31 01:50:00"),
            "2024-03-31T03:00:00+02:00", true);
        row("spring: acknowledged after the jump",
            alarm(AlarmAcknowledged, 1, "2024-01-01", "02:30", "2024-03-31 03:05:00"),
            "2024-03-31T23:00:00+02:00", false);
        row("spring: the next day",
            alarm(AlarmAcknowledged, 1, "2024-01-01", "02:30", "2024-03-31 03:05:00"),
            "2024-04-01T02:30:00+02:00", true);
        row("spring: one-off at the jump", alarm(AlarmPlanned, 0, "2024-03-31", "02:30"),
            "2024-03-31T03:00:00+02:00", true);
        row("spring: one-off before the jump", alarm(AlarmPlanned, 0, "2024-03-31", "02:30"),
            "2024-03-31T01:59:59+01:00", false);

        // The clock goes back from 03:00 to 02:00 on 27 October 2024: 02:30 shows twice.
        row("autumn: first 02:30",
            alarm(AlarmAcknowledged, 1, "2024-01-01", "02:30", "2024-10-26 02:40:00"),
            "2024-10-27T02:30:00+02:00", true);
        row("autumn: acknowledged 02:40, second 02:30",
            alarm(AlarmAcknowledged, 1, "2024-01-01", "02:30", "2024-10-27 02:40:00"),
            "2024-10-27T02:30:00+01:00", false);
        row("autumn: acknowledged after the clock went back, second 02:30",
            alarm(AlarmAcknowledged, 1, "2024-01-01", "02:30", "2024-10-27 02:10:00"),
            "2024-10-27T02:30:00+01:00", false);
        row("autumn: yesterday's acknowledged at the first 02:10, first 02:30",
            alarm(AlarmAcknowledged, 1, "2024-01-01", "02:30", "2024-10-27 02:10:00"),
            "2024-10-27T02:30:00+02:00", true);
        row("autumn: the next day",
            alarm(AlarmAcknowledged, 1, "2024-01-01", "02:30", "2024-10-27 02:10:00"),
            "2024-10-28T02:30:00+01:00", true);
        row("autumn: one-off at the first 02:30", alarm(AlarmPlanned, 0, "2024-10-27", "02:30"),
            "2024-10-27T02:30:00+02:00", true);
    }
    void due()
    {
        QFETCH(AlarmValues, values);
        QFETCH(QDateTime, now);
        QFETCH(bool, due);
        QVERIFY(now.isValid());
        QCOMPARE(IsAlarmDue(values, now), due);
    }

    // A daily alarm followed minute by minute over days around both clock changes, answered by
    // a user who opens it some minutes after it fires: it fires exactly once each day, never
    // before its time of day shows on the clock.
    void dailyAlarmFiresOncePerDayAcrossClockChanges_data()
    {
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<int>("answerMinutes");
        for (const QDate first : {QDate(2024, 3, 29), QDate(2024, 10, 25)}) {
            for (const QTime time :
                 {QTime(1, 59), QTime(2, 0), QTime(2, 30), QTime(3, 0), QTime(8, 0)}) {
                for (const int answer : {5, 40, 70, 100, 600}) {
                    QTest::addRow("%s %s answered after %d min",
                                  qPrintable(first.toString(Qt::ISODate)),
                                  qPrintable(time.toString(QStringLiteral("HH:mm"))), answer)
                        << first << time << answer;
                }
            }
        }
    }
    void dailyAlarmFiresOncePerDayAcrossClockChanges()
    {
        QFETCH(QDate, first);
        QFETCH(QTime, time);
        QFETCH(int, answerMinutes);
        AlarmValues values = alarm(AlarmPlanned, 1, "2024-01-01", nullptr);
        values.time = time;
        const qint64 start = QDateTime(first, QTime(0, 0)).toSecsSinceEpoch();
        const qint64 end = QDateTime(first.addDays(4), QTime(0, 0)).toSecsSinceEpoch();
        QMap<QDate, int> firings;
        qint64 firedAt = 0;
        for (qint64 t = start; t < end; t += 60) {
            const QDateTime now = QDateTime::fromSecsSinceEpoch(t);
            if (values.state == AlarmRunning && t - firedAt >= answerMinutes * 60) {
                values.state = AlarmAcknowledged;
                values.acknowledgedDate = now.date();
                values.acknowledgedTime = now.time();
            }
            if (IsAlarmDue(values, now)) {
                QVERIFY2(now.time() >= time, qPrintable(now.toString(Qt::ISODateWithMs)));
                ++firings[now.date()];
                values.state = AlarmRunning;
                firedAt = t;
            }
        }
        for (QDate d = first; d < first.addDays(4); d = d.addDays(1))
            QVERIFY2(firings.value(d) == 1, qPrintable(QStringLiteral("%1 fired %2 times")
                                                           .arg(d.toString(Qt::ISODate))
                                                           .arg(firings.value(d))));
    }
};

QTEST_APPLESS_MAIN(TestAlarmDueRule)
#include "TestAlarmDueRule.moc"
