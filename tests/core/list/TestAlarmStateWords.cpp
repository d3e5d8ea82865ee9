#include "core/list/AlarmStateWords.h"
#include "core/storage/AlarmColumns.h"

#include <QtTest>

class TestAlarmStateWords : public QObject
{
    Q_OBJECT

private slots:
    void wordsAndRowText_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("words");
        QTest::addColumn<QString>("rowText");

        const QString title = QStringLiteral("Dentist");
        QTest::newRow("no alarm") << int(AlarmNone) << title << QString() << title;
        QTest::newRow("running") << int(AlarmRunning) << title << QStringLiteral("running alarm")
                                 << QStringLiteral("running alarm: Dentist");
        QTest::newRow("planned") << int(AlarmPlanned) << title << QStringLiteral("planned alarm")
                                 << QStringLiteral("planned alarm: Dentist");
        QTest::newRow("acknowledged")
            << int(AlarmAcknowledged) << title << QStringLiteral("acknowledged alarm")
            << QStringLiteral("acknowledged alarm: Dentist");
        QTest::newRow("unknown value") << 7 << title << QString() << title;
        QTest::newRow("negative value") << -1 << title << QString() << title;
        QTest::newRow("empty title, running")
            << int(AlarmRunning) << QString() << QStringLiteral("running alarm")
            << QStringLiteral("running alarm: ");
        QTest::newRow("title with a colon")
            << int(AlarmPlanned) << QStringLiteral("10:30 call") << QStringLiteral("planned alarm")
            << QStringLiteral("planned alarm: 10:30 call");
    }
    void wordsAndRowText()
    {
        QFETCH(int, state);
        QFETCH(QString, title);
        QFETCH(QString, words);
        QFETCH(QString, rowText);
        QCOMPARE(alarm_state_words::forState(state), words);
        QCOMPARE(alarm_state_words::rowText(state, title), rowText);
    }
};

QTEST_GUILESS_MAIN(TestAlarmStateWords)
#include "TestAlarmStateWords.moc"
