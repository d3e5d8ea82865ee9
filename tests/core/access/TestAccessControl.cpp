#include "core/access/AccessControl.h"
#include "core/access/PasswordRules.h"
#include "support/LogCapture.h"
#include "support/TestDatabase.h"

#include <QtTest>

using namespace Qt::StringLiterals;

using namespace access_password;

namespace {

const QString kKey = QStringLiteral("HasloDostepu");

QString storedRows(const TestDatabase& db)
{
    return db.scalar(
        QStringLiteral("SELECT COUNT(*) FROM USTAWIENIA WHERE Ustawienie = 'HasloDostepu'"));
}

// A trigger that refuses every write to the settings table, as a database can refuse one.
void refuseSettingWrites(const TestDatabase& db)
{
    db.execute(QStringLiteral("CREATE EXCEPTION SETTING_REFUSED 'setting refused'"));
    db.execute(QStringLiteral("CREATE TRIGGER USTAWIENIA_REFUSE FOR USTAWIENIA "
                              "BEFORE INSERT OR UPDATE AS BEGIN EXCEPTION SETTING_REFUSED; END"));
}

} // namespace

// The password rules without a window, and the password against a real database: what is
// stored and read back, the start-up gate's decision, and what reaches the log on failures.
class TestAccessControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rules_data()
    {
        QTest::addColumn<QString>("haslo");
        QTest::addColumn<QString>("powtorka");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("focus");
        const int none = int(PasswordField::None);
        const int first = int(PasswordField::Haslo);
        const int second = int(PasswordField::Powtorka);
        QTest::newRow("both empty") << ""
                                    << "" << true << none;
        QTest::newRow("first empty") << ""
                                     << "abc" << false << first;
        QTest::newRow("two characters") << "ab"
                                        << "ab" << false << first;
        QTest::newRow("twenty-one characters")
            << QString(21, u'x') << QString(21, u'x') << false << first;
        QTest::newRow("twenty characters")
            << QString(20, u'x') << QString(20, u'x') << true << none;
        QTest::newRow("three spaces count") << "   "
                                            << "   " << true << none;
        // Two characters outside the Basic Multilingual Plane are two characters, not four.
        QTest::newRow("two emoji")
            << QStringLiteral("😀😀") << QStringLiteral("😀😀") << false << first;
        QTest::newRow("three emoji")
            << QStringLiteral("😀😀😀") << QStringLiteral("😀😀😀") << true << none;
        QTest::newRow("repeat empty") << "abc"
                                      << "" << false << second;
        QTest::newRow("case differs") << "abc"
                                      << "ABC" << false << second;
        QTest::newRow("trailing space differs") << "abc "
                                                << "abc" << false << second;
    }
    void rules()
    {
        QFETCH(QString, haslo);
        QFETCH(QString, powtorka);
        QFETCH(bool, valid);
        QFETCH(int, focus);
        const PasswordVerdict verdict = ValidatePassword(haslo, powtorka);
        QCOMPARE(verdict.valid, valid);
        QCOMPARE(int(verdict.focus), focus);
        QCOMPARE(verdict.message.isEmpty(), valid);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("exactly three") << QStringLiteral("abc");
        QTest::newRow("exactly twenty") << QStringLiteral("abcdefghij0123456789");
        QTest::newRow("leading spaces") << QStringLiteral("  lead");
        QTest::newRow("trailing spaces") << QStringLiteral("trail  ");
        QTest::newRow("apostrophes") << QStringLiteral("it's 'quoted''");
        QTest::newRow("Polish letters") << QStringLiteral("Zażółć gęślą jaźń");
        QTest::newRow("Cyrillic and Greek") << QStringLiteral("пароль λόγος");
        QTest::newRow("emoji") << QStringLiteral("klucz 🔑");
        QTest::newRow("looks like the missing marker") << QStringLiteral("-1");
    }
    void roundTrip()
    {
        QFETCH(QString, password);
        TestDatabase db;
        auto dm = db.open();
        QVERIFY(SavePassword(*dm, password));
        QCOMPARE(LoadPassword(*dm, QStringLiteral("FormHaslo")), password);
        QCOMPARE(db.scalar(QStringLiteral(
                     "SELECT Wartosc FROM USTAWIENIA WHERE Ustawienie = 'HasloDostepu'")),
                 password);
        QVERIFY(CheckPassword(*dm, password, QStringLiteral("FormLogowanie")));
        // Comparison is exact: case and every space count.
        const QStringList others = {password.toUpper(), password.toLower(), password.trimmed(),
                                    password + QLatin1Char(' '), QLatin1Char(' ') + password};
        for (const QString& other : others) {
            if (other != password)
                QVERIFY2(!CheckPassword(*dm, other, QStringLiteral("FormLogowanie")),
                         qPrintable(other));
        }
        // A fresh connection, as at the next start, reads the same.
        dm.reset();
        auto next = db.open();
        QVERIFY(CheckPassword(*next, password, QStringLiteral("FormLogowanie")));
    }

    void changingAndRemovingKeepsOneRow()
    {
        TestDatabase db;
        auto dm = db.open();
        QCOMPARE(LoadPassword(*dm, QStringLiteral("FormHaslo")), QString());
        QVERIFY(!CheckPassword(*dm, QString(), QStringLiteral("FormLogowanie")));
        QVERIFY(SavePassword(*dm, QStringLiteral("first")));
        QVERIFY(SavePassword(*dm, QStringLiteral("second")));
        QVERIFY(!CheckPassword(*dm, QStringLiteral("first"), QStringLiteral("FormLogowanie")));
        QVERIFY(CheckPassword(*dm, QStringLiteral("second"), QStringLiteral("FormLogowanie")));
        QVERIFY(SavePassword(*dm, QString()));
        QCOMPARE(storedRows(db), QStringLiteral("1"));
        QCOMPARE(LoadPassword(*dm, QStringLiteral("FormHaslo")), QString());
    }

    void gate_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<bool>("asks");
        const auto row = [](const char* name, const QString& setUp, bool asks) {
            QTest::newRow(name) << setUp << asks;
        };
        row("no row", QString(), false);
        row("empty value",
            u"INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES ('HasloDostepu', '')"_s, false);
        row("NULL value",
            u"INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES ('HasloDostepu', NULL)"_s, false);
        row("a password",
            u"INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES ('HasloDostepu', 'x y')"_s, true);
        row("a single space",
            u"INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES ('HasloDostepu', ' ')"_s, true);
        row("another key only",
            u"INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES ('hasloDostepu', 'x')"_s, false);
    }
    void gate()
    {
        QFETCH(QString, setUp);
        QFETCH(bool, asks);
        TestDatabase db;
        if (!setUp.isEmpty())
            db.execute(setUp);
        auto dm = db.open();
        for (const bool enteredRight : {false, true}) {
            int asked = 0;
            dm->AccessGranted = !enteredRight; // the gate must set it either way
            const bool granted = CheckAccess(*dm, [&] {
                ++asked;
                QVERIFY(!dm->AccessGranted);
                dm->AccessGranted = enteredRight;
            });
            QCOMPARE(asked, asks ? 1 : 0);
            QCOMPARE(granted, !asks || enteredRight);
            QCOMPARE(dm->AccessGranted, granted);
        }
    }

    void unreadableSettingsOpenTheGate()
    {
        TestDatabase db;
        db.execute(QStringLiteral("DROP TABLE USTAWIENIA"));
        auto dm = db.open();
        LogCapture log;
        bool asked = false;
        QVERIFY(CheckAccess(*dm, [&] { asked = true; }));
        QVERIFY(!asked);
        QVERIFY(dm->AccessGranted);
        QCOMPARE(log.reports.size(), 1);
        QVERIFY2(log.reports[0].startsWith(QStringLiteral(
                     "DM - Nie można sprawdzić czy dostęp do programu jest strzeżony hasłem! - ")),
                 qPrintable(log.reports[0]));

        QCOMPARE(LoadPassword(*dm, QStringLiteral("FormHaslo")), QString());
        QCOMPARE(log.reports.size(), 2);
        QVERIFY2(
            log.reports[1].startsWith(QStringLiteral("FormHaslo - Can't retrieve password! - ")),
            qPrintable(log.reports[1]));
    }

    // Failure reports go to the log: a password or an entry must never appear there, while
    // other settings keep their value in the report.
    void failuresNeverLogThePassword()
    {
        const QString secret = QStringLiteral("S3cret pass");
        TestDatabase db;
        auto dm = db.open();
        refuseSettingWrites(db);
        LogCapture log(true);
        QVERIFY(!SavePassword(*dm, secret));
        QVERIFY(!dm->SetSetting(QStringLiteral("FormMainTop"), QStringLiteral("120")));
        QCOMPARE(log.reports.size(), 2);
        QVERIFY2(
            log.reports[0].startsWith(QStringLiteral(
                "DM - Nie można zapisać ustawienia HasloDostepu o wartości *** w konfiguracji! "
                "- ")),
            qPrintable(log.reports[0]));
        QVERIFY2(log.reports[1].startsWith(QStringLiteral(
                     "DM - Nie można zapisać ustawienia FormMainTop o wartości 120 w konfiguracji! "
                     "- ")),
                 qPrintable(log.reports[1]));
        QVERIFY(!log.all().contains(secret));
        QVERIFY(!log.all().contains(QStringLiteral("S3cret")));

        db.execute(QStringLiteral("DROP TRIGGER USTAWIENIA_REFUSE"));
        db.execute(QStringLiteral("DROP TABLE USTAWIENIA"));
        QVERIFY(!CheckPassword(*dm, secret, QStringLiteral("FormLogowanie")));
        QCOMPARE(log.reports.size(), 3);
        QVERIFY2(log.reports[2].startsWith(
                     QStringLiteral("FormLogowanie - Can't check if password *** is correct! - ")),
                 qPrintable(log.reports[2]));
        QVERIFY(!log.all().contains(QStringLiteral("S3cret")));
    }

    // The statement trace shows the password statements with the value masked, for the insert
    // and the update alike; other keys are traced as sent.
    void theStatementTraceMasksThePassword()
    {
        const QString secret = QStringLiteral("tr4ced secret");
        TestDatabase db;
        auto dm = db.open();
        LogCapture log(true);
        QVERIFY(SavePassword(*dm, secret));
        QVERIFY(SavePassword(*dm, secret + QLatin1Char('!')));
        QVERIFY(dm->SetSetting(QStringLiteral("FormMainTop"), QStringLiteral("120")));
        QVERIFY(CheckPassword(*dm, secret + QLatin1Char('!'), QStringLiteral("FormLogowanie")));
        QVERIFY(!log.all().contains(QStringLiteral("tr4ced")));
        QVERIFY(log.statements.contains(QStringLiteral(
            "INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES ('HasloDostepu', '***')")));
        QVERIFY(std::any_of(log.statements.cbegin(), log.statements.cend(), [](const QString& s) {
            return s.startsWith(QStringLiteral(
                "UPDATE USTAWIENIA SET Ustawienie = 'HasloDostepu', Wartosc = '***' WHERE ID = "));
        }));
        QVERIFY(log.statements.contains(QStringLiteral(
            "INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES ('FormMainTop', '120')")));
        // What was stored is the password itself, not the mask.
        QCOMPARE(LoadPassword(*dm, QStringLiteral("FormHaslo")), secret + QLatin1Char('!'));
    }
};

QTEST_GUILESS_MAIN(TestAccessControl)
#include "TestAccessControl.moc"
