#include "core/storage/SqlText.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QtTest>

// The data module against real database files: the settings store, the connection rules and
// what happens with a missing or damaged file.
class TestDataModule : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void missingKeyReadsAsMinusOne()
    {
        TestDatabase db;
        auto dm = db.open();
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainTop")), QStringLiteral("-1"));
    }

    void valuesRoundTrip_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("number") << "120";
        QTest::newRow("empty text is not missing") << "";
        QTest::newRow("apostrophes") << "O'Brien's ''note''";
        QTest::newRow("backslashes") << R"(C:\temp\ \\ \n)";
        QTest::newRow("percent and underscore") << "100% _done_";
        QTest::newRow("line breaks") << "one\r\ntwo\nthree";
        QTest::newRow("sql fragment") << "'); DELETE FROM USTAWIENIA; --";
        QTest::newRow("polish") << QString::fromUtf8("Zażółć gęślą jaźń ŁÓDŹ");
        QTest::newRow("emoji") << QString::fromUtf8("🦆 note");
    }
    void valuesRoundTrip()
    {
        QFETCH(QString, value);
        TestDatabase db;
        auto dm = db.open();
        QVERIFY(dm->SetSetting(QStringLiteral("Key"), value));
        QCOMPARE(dm->GetSetting(QStringLiteral("Key")), value);
        // Keys are quoted the same way.
        QVERIFY(dm->SetSetting(value + QStringLiteral("#key"), QStringLiteral("v")));
        QCOMPARE(dm->GetSetting(value + QStringLiteral("#key")), QStringLiteral("v"));
    }

    void secondWriteUpdatesTheSameRow()
    {
        TestDatabase db;
        auto dm = db.open();
        QVERIFY(dm->SetSetting(QStringLiteral("FormMainWidth"), QStringLiteral("310")));
        const QString id = db.scalar(
            QStringLiteral("SELECT ID FROM USTAWIENIA WHERE Ustawienie = 'FormMainWidth'"));
        QVERIFY(dm->SetSetting(QStringLiteral("FormMainWidth"), QStringLiteral("420")));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM USTAWIENIA")), QStringLiteral("1"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT ID FROM USTAWIENIA")), id);
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainWidth")), QStringLiteral("420"));
    }

    void nullValueReadsAsEmptyText()
    {
        TestDatabase db;
        db.execute(QStringLiteral("INSERT INTO USTAWIENIA (Ustawienie) VALUES ('HasloDostepu')"));
        auto dm = db.open();
        const QString value = dm->GetSetting(QStringLiteral("HasloDostepu"));
        QVERIFY(value.isEmpty());
    }

    void writesAreCommittedAtOnce()
    {
        // Another connection sees each write as soon as the operation returns.
        TestDatabase db;
        auto dm = db.open();
        QVERIFY(dm->SetSetting(QStringLiteral("DataSzerokosc"), QStringLiteral("130")));
        QCOMPARE(db.scalar(QStringLiteral(
                     "SELECT Wartosc FROM USTAWIENIA WHERE Ustawienie = 'DataSzerokosc'")),
                 QStringLiteral("130"));
    }

    void statementsReopenAClosedConnection()
    {
        TestDatabase db;
        auto dm = db.open();
        QVERIFY(dm->Disconnect());
        QVERIFY(!dm->isConnected());
        QVERIFY(dm->SetSetting(QStringLiteral("FormMainLeft"), QStringLiteral("7")));
        QVERIFY(dm->isConnected());
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainLeft")), QStringLiteral("7"));
    }

    void unicodeTextFitsAndSearchIgnoresCase()
    {
        TestDatabase db;
        auto dm = db.open();
        const QString title = QString::fromUtf8("ŁÓDŹ żółć ").repeated(5);
        QCOMPARE(title.size(), 50);
        dm->transact([&](DbSession& s) {
            s.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc) VALUES (1, ") +
                      sql::quoted(title) + QStringLiteral(", ") +
                      sql::quoted(QString(5000, QChar(0x0416))) + QStringLiteral(")"));
        });
        QCOMPARE(db.scalar(QStringLiteral("SELECT Tytul FROM NOTATKI WHERE ID = 1")), title);
        QCOMPARE(db.scalar(QStringLiteral("SELECT ID FROM NOTATKI WHERE Tytul CONTAINING "
                                          "'łódź' AND Tresc CONTAINING 'жжж'")),
                 QStringLiteral("1"));
    }

    void unreachableDatabaseFallsBack_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing file") << QByteArray() << false;
        QTest::newRow("not a database") << QByteArray("just some text\n").repeated(200) << true;
        QTest::newRow("empty file") << QByteArray() << true;
    }
    void unreachableDatabaseFallsBack()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        const QString path = unusableDatabasePath(exists, content);
        TDM dm(path);
        QVERIFY(!dm.Connect());
        QCOMPARE(dm.GetSetting(QStringLiteral("FormMainTop")), QStringLiteral("-1"));
        QVERIFY(!dm.SetSetting(QStringLiteral("FormMainTop"), QStringLiteral("1")));
        QVERIFY(!dm.Disconnect() || !dm.isConnected());
    }

    void truncatedDatabaseNeverCrashes()
    {
        TestDatabase db;
        {
            auto dm = db.open();
            QVERIFY(dm->SetSetting(QStringLiteral("A"), QStringLiteral("1")));
        }
        QFile file(db.path());
        QVERIFY(file.resize(file.size() / 3));
        TDM dm(db.path());
        dm.Connect();
        // Whatever the engine makes of the damage, each operation ends in a value.
        const QString value = dm.GetSetting(QStringLiteral("A"));
        QVERIFY(value == QStringLiteral("1") || value == QStringLiteral("-1"));
        dm.SetSetting(QStringLiteral("B"), QStringLiteral("2"));
    }

    void databaseWithoutTablesFallsBack()
    {
        TestDatabase db;
        db.execute(QStringLiteral("DROP TABLE USTAWIENIA"));
        auto dm = db.open();
        QCOMPARE(dm->GetSetting(QStringLiteral("FormMainTop")), QStringLiteral("-1"));
        QVERIFY(!dm->SetSetting(QStringLiteral("FormMainTop"), QStringLiteral("5")));
    }

    void readOnlyFileFallsBack()
    {
        if (::geteuid() == 0)
            QSKIP("root writes to read-only files");
        TestDatabase db;
        QFile::setPermissions(db.path(), QFileDevice::ReadOwner);
        TDM dm(db.path());
        dm.Connect();
        QVERIFY(!dm.SetSetting(QStringLiteral("FormMainTop"), QStringLiteral("5")));
        QCOMPARE(dm.GetSetting(QStringLiteral("FormMainTop")), QStringLiteral("-1"));
    }

    void failuresAreLogged()
    {
        TestDatabase db;
        db.execute(QStringLiteral("DROP TABLE USTAWIENIA"));
        auto dm = db.open();
        QTest::ignoreMessage(
            QtWarningMsg,
            QRegularExpression(QStringLiteral("^DM - Nie można zapisać ustawienia Key o "
                                              "wartości 5 w konfiguracji! - .*USTAWIENIA"),
                               QRegularExpression::DotMatchesEverythingOption));
        dm->SetSetting(QStringLiteral("Key"), QStringLiteral("5"));
    }

    void updateCountsTheRowsItChanged()
    {
        TestDatabase db;
        db.execute(QStringLiteral("INSERT INTO USTAWIENIA (ID, Ustawienie, Wartosc) VALUES "
                                  "(1, 'a', 'x')"));
        db.execute(QStringLiteral("INSERT INTO USTAWIENIA (ID, Ustawienie, Wartosc) VALUES "
                                  "(2, 'b', 'x')"));
        auto dm = db.open();
        const auto changed = [&](const char* sql) {
            return dm->transact([&](DbSession& s) { return s.execute(QString::fromLatin1(sql)); });
        };
        QCOMPARE(changed("UPDATE USTAWIENIA SET Wartosc = 'y' WHERE Ustawienie = 'none'"), 0);
        QCOMPARE(changed("UPDATE USTAWIENIA SET Wartosc = 'y' WHERE Ustawienie = 'a'"), 1);
        QCOMPARE(changed("UPDATE USTAWIENIA SET Wartosc = 'z'"), 2);
        QCOMPARE(changed("DELETE FROM USTAWIENIA WHERE ID = 2"), 1);
    }
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "TestDataModule.moc"
