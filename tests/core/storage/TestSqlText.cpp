#include "core/storage/AlarmColumns.h"
#include "core/storage/AlarmStatements.h"
#include "core/storage/SettingsStatements.h"
#include "core/storage/SqlText.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestSqlText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void quoting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("literal");
        QTest::newRow("plain") << "milk"
                               << "'milk'";
        QTest::newRow("empty") << ""
                               << "''";
        QTest::newRow("apostrophe") << "Tom's"
                                    << "'Tom''s'";
        QTest::newRow("only apostrophes") << "''"
                                          << "''''''";
        QTest::newRow("backslash stays") << R"(C:\notes\)"
                                         << R"('C:\notes\')";
        QTest::newRow("percent and underscore stay") << "50%_off"
                                                     << "'50%_off'";
        QTest::newRow("newline stays") << "a\r\nb"
                                       << "'a\r\nb'";
        QTest::newRow("sql fragment") << "x'); DROP TABLE NOTATKI; --"
                                      << "'x''); DROP TABLE NOTATKI; --'";
        QTest::newRow("polish") << QString::fromUtf8("Zażółć gęślą jaźń")
                                << QString::fromUtf8("'Zażółć gęślą jaźń'");
    }
    void quoting()
    {
        QFETCH(QString, text);
        QFETCH(QString, literal);
        QCOMPARE(sql::quoted(text), literal);
    }

    void literalFormats()
    {
        const QDateTime moment(QDate(2024, 3, 7), QTime(18, 5, 9));
        QCOMPARE(sql::timestampLiteral(moment), QStringLiteral("'2024.03.07 18:05:09'"));
        QCOMPARE(sql::dateLiteral(QDate(2024, 3, 8)), QStringLiteral("'2024.03.08'"));
        QCOMPARE(sql::timeLiteral(QTime(7, 30, 59)), QStringLiteral("'07:30'"));
        QCOMPARE(sql::timeLiteral(QTime(0, 0)), QStringLiteral("'00:00'"));
        QCOMPARE(sql::number(-1), QStringLiteral("-1"));
    }

    void settingsStatements_data()
    {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QString& built, const QString& expected) {
            QTest::newRow(name) << built << expected;
        };
        row("read value", sql::settings::selectValue(QStringLiteral("FormMainTop")),
            u"SELECT Wartosc FROM USTAWIENIA WHERE Ustawienie = 'FormMainTop'"_s);
        row("look-up", sql::settings::selectRow(QStringLiteral("FormMainTop")),
            u"SELECT * FROM USTAWIENIA WHERE Ustawienie = 'FormMainTop'"_s);
        row("update",
            sql::settings::update(QStringLiteral("FormMainTop"), QStringLiteral("120"), 3),
            u"UPDATE USTAWIENIA SET Ustawienie = 'FormMainTop', Wartosc = '120' WHERE ID = 3"_s);
        row("insert", sql::settings::insert(QStringLiteral("FormMainTop"), QStringLiteral("120")),
            u"INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES ('FormMainTop', '120')"_s);
        row("quoted value",
            sql::settings::insert(QStringLiteral("HasloDostepu"), QStringLiteral("it's")),
            u"INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES ('HasloDostepu', 'it''s')"_s);
    }
    void settingsStatements()
    {
        QFETCH(QString, built);
        QFETCH(QString, expected);
        QCOMPARE(built, expected);
    }

    void alarmStateStatements_data()
    {
        using sql::alarm::Schedule;
        const QDateTime now(QDate(2024, 3, 8), QTime(7, 31, 2));
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QString& built, const QString& expected) {
            QTest::newRow(name) << built << expected;
        };
        row("read", sql::alarm::selectState(17), u"SELECT Alarm FROM NOTATKI WHERE ID = 17"_s);
        row("planned",
            sql::alarm::setState(17, AlarmPlanned,
                                 Schedule{AlarmOnce, QDate(2024, 3, 8), QTime(7, 30)}, now),
            u"UPDATE NOTATKI SET Alarm = 2, AlarmRodzaj = 0, AlarmData = '2024.03.08', "
            u"AlarmGodzina = '07:30' , AlarmArchiwum = NULL WHERE ID = 17"_s);
        row("switched off", sql::alarm::setState(17, AlarmNone, std::nullopt, now),
            u"UPDATE NOTATKI SET Alarm = 0, AlarmArchiwum = NULL "
            u"WHERE ID = 17"_s);
        row("running", sql::alarm::setState(17, AlarmRunning, std::nullopt, now),
            u"UPDATE NOTATKI SET Alarm = 1, AlarmArchiwum = NULL WHERE "
            u"ID = 17"_s);
        row("acknowledged", sql::alarm::setState(17, AlarmAcknowledged, std::nullopt, now),
            u"UPDATE NOTATKI SET Alarm = 3, AlarmArchiwum = '2024.03.08 07:31:02' WHERE ID = 17"_s);
        row("schedule with kind -1 is left out",
            sql::alarm::setState(17, AlarmPlanned, Schedule{-1, QDate(2024, 3, 8), QTime(7, 30)},
                                 now),
            u"UPDATE NOTATKI SET Alarm = 2, AlarmArchiwum = NULL WHERE ID = 17"_s);
    }
    void alarmStateStatements()
    {
        QFETCH(QString, built);
        QFETCH(QString, expected);
        QCOMPARE(built, expected);
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "TestSqlText.moc"
