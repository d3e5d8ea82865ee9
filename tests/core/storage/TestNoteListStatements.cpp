#include "core/list/NoteListRows.h"
#include "core/storage/NoteListStatements.h"
#include "support/TestDatabase.h"

#include <QtTest>

// The note list's statement texts, and what the search finds in a real database.
class TestNoteListStatements : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fullListStatements()
    {
        const auto statements = sql::notes::fullList();
        QCOMPARE(statements.running,
                 QStringLiteral("SELECT * FROM NOTATKI WHERE Alarm = 1 ORDER BY DataGodzina DESC"));
        QCOMPARE(
            statements.others,
            QStringLiteral("SELECT * FROM NOTATKI WHERE Alarm <> 1 ORDER BY DataGodzina DESC"));
    }

    void searchStatements_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << "milk"
                               << "'milk'";
        QTest::newRow("apostrophe doubled") << "O'Brien"
                                            << "'O''Brien'";
        QTest::newRow("blanks kept") << "  a b "
                                     << "'  a b '";
        QTest::newRow("wildcards and backslash as typed") << R"(5%_\)"
                                                          << R"('5%_\')";
    }
    void searchStatements()
    {
        QFETCH(QString, text);
        QFETCH(QString, quoted);
        const auto statements = sql::notes::search(text);
        const QString tail = QStringLiteral(") AND (Tytul CONTAINING %1 OR Tresc CONTAINING %1 OR "
                                            "DataGodzina CONTAINING %1) ORDER BY DataGodzina DESC")
                                 .arg(quoted);
        QCOMPARE(statements.running,
                 QStringLiteral("SELECT * FROM NOTATKI WHERE (Alarm = 1") + tail);
        QCOMPARE(statements.others,
                 QStringLiteral("SELECT * FROM NOTATKI WHERE (Alarm <> 1") + tail);
    }

    void searchExampleReadsAsWritten()
    {
        QCOMPARE(sql::notes::search(QStringLiteral("milk")).running,
                 QStringLiteral("SELECT * FROM NOTATKI WHERE (Alarm = 1) AND (Tytul CONTAINING "
                                "'milk' OR Tresc CONTAINING 'milk' OR DataGodzina CONTAINING "
                                "'milk') ORDER BY DataGodzina DESC"));
    }

    void nonAsciiTextLeavesOutTheDateTest()
    {
        QCOMPARE(sql::notes::search(QString::fromUtf8("żółw")).others,
                 QString::fromUtf8("SELECT * FROM NOTATKI WHERE (Alarm <> 1) AND (Tytul CONTAINING "
                                   "'żółw' OR Tresc CONTAINING 'żółw') ORDER BY DataGodzina DESC"));
    }

    void deleteStatement()
    {
        QCOMPARE(sql::notes::deleteNote(17), QStringLiteral("DELETE FROM NOTATKI WHERE ID = 17"));
        QCOMPARE(sql::notes::deleteNote(-5), QStringLiteral("DELETE FROM NOTATKI WHERE ID = -5"));
    }

    // Each text finds exactly the notes that hold it: characters that are wildcards or escapes
    // elsewhere stand for themselves, case does not matter (Polish letters included), and a
    // fragment of the displayed date finds the notes of that moment.
    void searchFindsExactlyWhatIsTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<qint32>>("found");
        QTest::newRow("apostrophe") << "O'Brien" << QList<qint32>{2};
        QTest::newRow("percent") << "50%" << QList<qint32>{3};
        QTest::newRow("percent alone") << "%" << QList<qint32>{3};
        QTest::newRow("underscore") << "a_b" << QList<qint32>{4};
        QTest::newRow("backslash") << R"(C:\n)" << QList<qint32>{5};
        QTest::newRow("case") << "MILK" << QList<qint32>{1};
        QTest::newRow("polish case") << QString::fromUtf8("ŻÓŁW") << QList<qint32>{6};
        QTest::newRow("polish in a running note") << QString::fromUtf8("ą") << QList<qint32>{8};
        QTest::newRow("in the text") << "butter" << QList<qint32>{1};
        QTest::newRow("displayed date") << "2024-03-07 18:05" << QList<qint32>{5};
        QTest::newRow("sql fragment") << "') OR (1=1" << QList<qint32>{};
    }
    void searchFindsExactlyWhatIsTyped()
    {
        QFETCH(QString, text);
        QFETCH(QList<qint32>, found);
        TestDatabase db;
        const char* rows[] = {
            "1, 'Milk', 'and butter', '2024.01.01 10:00:00', 0",
            "2, 'Call O''Brien', '', '2024.01.02 10:00:00', 0",
            "3, 'Sale', 'only 50% off', '2024.01.03 10:00:00', 0",
            "4, 'ids', 'a_b', '2024.01.04 10:00:00', 0",
            "5, 'path', 'C:\\new', '2024.03.07 18:05:09', 0",
            "6, 'zoo', 'żółw', '2024.01.06 10:00:00', 2",
            "7, 'plain', 'abb axb 50 off C:new', '2024.01.07 10:00:00', 0",
            "8, 'pączek', '', '2023.01.07 10:00:00', 1",
        };
        for (const char* values : rows) {
            db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm) "
                                      "VALUES (%1)")
                           .arg(QString::fromUtf8(values)));
        }
        auto dm = db.open();
        NoteRows result;
        QVERIFY(readNoteList(*dm, sql::notes::search(text), result, QStringLiteral("test")));
        QCOMPARE(result.ids(), found);
    }

    void abandonedFillStopsBetweenRows()
    {
        TestDatabase db;
        for (int id = 1; id <= 5; ++id) {
            db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, DataGodzina, Alarm) VALUES "
                                      "(%1, 'n', '2024.01.0%1 10:00:00', %2)")
                           .arg(id)
                           .arg(id == 5 ? 1 : 0));
        }
        auto dm = db.open();
        NoteRows rows;
        QVERIFY(!readNoteList(*dm, sql::notes::fullList(), rows, QStringLiteral("test"),
                              [&] { return rows.size() == 3; }));
        QCOMPARE(rows.ids(), (QList<qint32>{5, 4, 3}));

        rows.clear();
        QVERIFY(readNoteList(*dm, sql::notes::fullList(), rows, QStringLiteral("test"),
                             [] { return false; }));
        QCOMPARE(rows.ids(), (QList<qint32>{5, 4, 3, 2, 1}));
        QCOMPARE(rows.image(0), 2);
        QCOMPARE(rows.dateText(1), QStringLiteral("2024-01-04 10:00"));
    }
};

QTEST_GUILESS_MAIN(TestNoteListStatements)
#include "TestNoteListStatements.moc"
