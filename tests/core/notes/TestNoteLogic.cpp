#include "core/notes/AlarmAfterSave.h"
#include "core/notes/AlarmValidation.h"
#include "core/notes/MemoText.h"
#include "core/notes/QuitSave.h"
#include "core/notes/TitleText.h"
#include "core/storage/NoteStatements.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<AlarmWrite>)
Q_DECLARE_METATYPE(AlarmVerdict)
Q_DECLARE_METATYPE(QuitAlarm)

// The note editor's pure rules: its statement texts, the alarm written after a save, the
// check of an alarm moment, and how the message is measured.
class TestNoteLogic : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void noteStatements_data()
    {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        QTest::newRow("count") << sql::note::countNotes()
                               << "SELECT COUNT(ID) AS IloscNotatek FROM NOTATKI";
        QTest::newRow("read") << sql::note::selectById(17) << "SELECT * FROM NOTATKI WHERE ID = 17";
        QTest::newRow("read missing")
            << sql::note::selectById(-1) << "SELECT * FROM NOTATKI WHERE ID = -1";
        QTest::newRow("next id") << sql::note::nextId()
                                 << "SELECT GEN_ID(GenNotka, 1) AS ID FROM RDB$DATABASE";

        sql::note::NewNoteRow row{17,
                                  QStringLiteral("Note no 5"),
                                  QStringLiteral("Call the bank"),
                                  QDateTime(QDate(2024, 3, 7), QTime(18, 5, 9)),
                                  0,
                                  0,
                                  QDate(2024, 3, 7),
                                  QTime(18, 5, 9)};
        QTest::newRow("insert") << sql::note::insert(row)
                                << "INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, "
                                   "AlarmRodzaj, AlarmData, AlarmGodzina) VALUES (17, 'Note no 5', "
                                   "'Call the bank', '2024.03.07 18:05:09', 0, 0, '2024.03.07', "
                                   "'18:05')";
        row.title = QStringLiteral("Tom's");
        row.message = QStringLiteral("it's\r\n'quoted'");
        row.state = 2;
        row.kind = 3;
        row.alarmDate = QDate(2024, 12, 31);
        row.alarmTime = QTime(0, 0);
        QTest::newRow("insert with alarm and apostrophes")
            << sql::note::insert(row)
            << "INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, AlarmRodzaj, AlarmData, "
               "AlarmGodzina) VALUES (17, 'Tom''s', 'it''s\r\n''quoted''', '2024.03.07 18:05:09', "
               "2, 3, '2024.12.31', '00:00')";
        QTest::newRow("update")
            << sql::note::updateText(17, QStringLiteral("Note no 5"),
                                     QStringLiteral("Call the bank at 9"))
            << "UPDATE NOTATKI SET Tytul = 'Note no 5', Tresc = 'Call the bank at 9' WHERE ID = 17";
        QTest::newRow("update to empty")
            << sql::note::updateText(3, QString(), QString())
            << "UPDATE NOTATKI SET Tytul = '', Tresc = '' WHERE ID = 3";
        QTest::newRow("read text under lock")
            << sql::note::selectTextForUpdate(17)
            << "SELECT Tytul, Tresc FROM NOTATKI WHERE ID = 17 WITH LOCK";
    }
    void noteStatements()
    {
        QFETCH(QString, built);
        QFETCH(QString, expected);
        QCOMPARE(built, expected);
    }

    void alarmAfterSaveTable_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<std::optional<AlarmWrite>>("expected");
        const std::optional<AlarmWrite> none;
        const std::optional<AlarmWrite> planned = AlarmWrite{AlarmPlanned, true};
        const std::optional<AlarmWrite> off = AlarmWrite{AlarmNone, false};
        const std::optional<AlarmWrite> acknowledged = AlarmWrite{AlarmAcknowledged, false};
        for (const bool changed : {false, true}) {
            const char* c = changed ? "changed" : "untouched";
            auto row = [&](const char* name, int stored, bool ticked,
                           const std::optional<AlarmWrite>& expected) {
                QTest::addRow("%s, %s", name, c) << stored << ticked << changed << expected;
            };
            row("none, ticked", AlarmNone, true, planned);
            row("none, cleared", AlarmNone, false, none);
            row("running, ticked", AlarmRunning, true, acknowledged);
            row("running, cleared", AlarmRunning, false, acknowledged);
            row("planned, ticked", AlarmPlanned, true, planned);
            row("planned, cleared", AlarmPlanned, false, off);
            row("acknowledged, ticked", AlarmAcknowledged, true, changed ? planned : none);
            row("acknowledged, cleared", AlarmAcknowledged, false, changed ? off : none);
            row("unknown 4, ticked", 4, true, none);
            row("unknown 7, cleared", 7, false, none);
            row("negative, ticked", -1, true, none);
            // Only the low byte of the stored value names the state.
            row("258 reads as planned", 258, false, off);
            row("257 reads as running", 257, true, acknowledged);
        }
    }
    void alarmAfterSaveTable()
    {
        QFETCH(int, stored);
        QFETCH(bool, ticked);
        QFETCH(bool, changed);
        QFETCH(std::optional<AlarmWrite>, expected);
        QCOMPARE(alarmAfterSave(stored, ticked, changed), expected);
    }

    void alarmValidation_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<int>("verdict");
        const QDate today(2024, 3, 8);
        const auto accepted = int(AlarmVerdict::Accepted);
        const auto early = int(AlarmVerdict::DateBeforeToday);
        const auto past = int(AlarmVerdict::TimeNotInFuture);
        // Now is 2024-03-08 14:30:20.500.
        QTest::newRow("yesterday, later hour") << today.addDays(-1) << QTime(23, 59) << early;
        QTest::newRow("last year") << QDate(2023, 12, 31) << QTime(15, 0) << early;
        QTest::newRow("today, earlier") << today << QTime(9, 0) << past;
        QTest::newRow("today, same second") << today << QTime(14, 30, 20) << past;
        QTest::newRow("today, same second, later ms") << today << QTime(14, 30, 20, 900) << past;
        QTest::newRow("today, next second") << today << QTime(14, 30, 21) << accepted;
        QTest::newRow("today, same minute, no seconds") << today << QTime(14, 30) << past;
        QTest::newRow("today, next minute") << today << QTime(14, 31) << accepted;
        QTest::newRow("tomorrow, midnight") << today.addDays(1) << QTime(0, 0) << accepted;
        QTest::newRow("tomorrow, earlier hour") << today.addDays(1) << QTime(1, 0) << accepted;
        QTest::newRow("next year") << QDate(2025, 1, 1) << QTime(14, 0) << accepted;
    }
    void alarmValidation()
    {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(int, verdict);
        const QDateTime now(QDate(2024, 3, 8), QTime(14, 30, 20, 500));
        QCOMPARE(int(validateAlarm(date, time, now)), verdict);
    }

    void verdictMessages()
    {
        QCOMPARE(alarmVerdictMessage(AlarmVerdict::DateBeforeToday),
                 QStringLiteral("Alarm date can't be earlier than today's!"));
        QCOMPARE(alarmVerdictMessage(AlarmVerdict::TimeNotInFuture),
                 QStringLiteral("Alarm time must be later than the current!"));
        QVERIFY(alarmVerdictMessage(AlarmVerdict::Accepted).isEmpty());
    }

    void memoMeasure_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("plain") << "abc" << 3;
        QTest::newRow("crlf") << "a\r\nb" << 4;
        QTest::newRow("lone lf") << "a\nb" << 4;
        QTest::newRow("lone cr") << "a\rb" << 4;
        QTest::newRow("lf cr is two breaks") << "\n\r" << 4;
        QTest::newRow("paragraph separator") << QStringLiteral("a\u2029b") << 4;
        QTest::newRow("polish") << QString::fromUtf8("żółć") << 4;
        QTest::newRow("emoji is one character") << QString::fromUtf8("🦆") << 1;
        QTest::newRow("emoji with skin tone is two code points")
            << QString::fromUtf8("👍🏽") << 2;
        QTest::newRow("combining mark counts") << QStringLiteral("e\u0301") << 2;
        QTest::newRow("5000 with an emoji last")
            << QString(4999, u'a') + QString::fromUtf8("🦆") << 5000;
    }
    void memoMeasure()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QCOMPARE(memo_text::storedLength(text), length);
    }

    void memoFitting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("room");
        QTest::addColumn<QString>("fitted");
        QTest::newRow("all fits") << "abc" << 3 << "abc";
        QTest::newRow("cut") << "abcdef" << 4 << "abcd";
        QTest::newRow("no room") << "abc" << 0 << "";
        QTest::newRow("negative room") << "abc" << -5 << "";
        QTest::newRow("break needs two") << "ab\r\ncd" << 3 << "ab";
        QTest::newRow("break fits") << "ab\r\ncd" << 4 << "ab\r\n";
        QTest::newRow("lone lf needs two") << "a\nb" << 2 << "a";
        QTest::newRow("surrogate pair kept whole")
            << QString::fromUtf8("a🦆🦆") << 2 << QString::fromUtf8("a🦆");
        QTest::newRow("surrogate pair fits")
            << QString::fromUtf8("a🦆b") << 2 << QString::fromUtf8("a🦆");
        QTest::newRow("emoji and its modifier kept together")
            << QString::fromUtf8("a👍🏽") << 2 << "a";
        QTest::newRow("letter and its mark kept together")
            << QStringLiteral("ae\u0301") << 2 << "a";
        QTest::newRow("emoji last at 5000")
            << QString(4999, u'a') + QString::fromUtf8("🦆") << 5000
            << QString(4999, u'a') + QString::fromUtf8("🦆");
        QTest::newRow("emoji one past 5000")
            << QString(5000, u'a') + QString::fromUtf8("🦆") << 5000 << QString(5000, u'a');
    }
    void memoFitting()
    {
        QFETCH(QString, text);
        QFETCH(int, room);
        QFETCH(QString, fitted);
        QCOMPARE(memo_text::fitting(text, room), fitted);
    }

    void memoTypedText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("plain") << "abc"
                               << "abc";
        QTest::newRow("nul") << QString::fromLatin1("ab\0cd", 5) << "abcd";
        QTest::newRow("other c0") << "a\x01\x07\x1b[31m\x1f"
                                  << "a[31m";
        QTest::newRow("tab and line breaks stay") << "a\tb\r\nc\nd\re"
                                                  << "a\tb\r\nc\nd\re";
        QTest::newRow("emoji stays") << QString::fromUtf8("🦆") << QString::fromUtf8("🦆");
        QTest::newRow("lone surrogate") << QString(QChar(0xd83e)) + u"x"_s << "x";
    }
    void memoTypedText()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QCOMPARE(memo_text::typed(typed), kept);
    }

    void titleEdit_data()
    {
        // before: the title before the edit; after and cursor: what the edit made and where
        // its insertion ends; then what is kept and where the cursor stays.
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("keptCursor");
        const QString duck = QString::fromUtf8("🦆");
        const QString a49(49, u'a');
        const QString a50(50, u'a');
        QTest::newRow("49 and an emoji fit") << a49 << a49 + duck << 51 << a49 + duck << 51;
        QTest::newRow("50 emoji fit")
            << QString() << duck.repeated(50) << 100 << duck.repeated(50) << 100;
        QTest::newRow("emoji after 50 refused whole") << a50 << a50 + duck << 52 << a50 << 50;
        QTest::newRow("emoji after 49 emoji fits")
            << duck.repeated(49) << duck.repeated(50) << 100 << duck.repeated(50) << 100;
        QTest::newRow("paste cut to the room, never inside a pair")
            << QString(48, u'a') << QString(48, u'a') + duck.repeated(3) << 54
            << QString(48, u'a') + duck.repeated(2) << 52;
        QTest::newRow("paste in the middle keeps the tail")
            << QString(24, u'a') + QString(24, u'b')
            << QString(24, u'a') + u"123" + QString(24, u'b') << 27
            << QString(24, u'a') + u"12" + QString(24, u'b') << 26;
        QTest::newRow("paste replacing a selection")
            << a50 << QString(40, u'a') + QString(30, u'x') << 70
            << QString(40, u'a') + QString(10, u'x') << 50;
        QTest::newRow("combining mark at the limit refused, letter kept")
            << QString(50, u'e') << QString(50, u'e') + QChar(0x0301) << 51 << QString(50, u'e')
            << 50;
        QTest::newRow("combining mark counts as a character")
            << a49 << a49 + QChar(0x0301) << 50 << a49 + QChar(0x0301) << 50;
        QTest::newRow("letter with its mark not parted")
            << a49 << a49 + QStringLiteral("e\u0301") << 51 << a49 << 49;
        QTest::newRow("nul dropped")
            << QString() << QString::fromLatin1("ab\0cd", 5) << 5 << "abcd" << 4;
        QTest::newRow("tab and line breaks dropped") << "ab"
                                                     << "a\t\r\nxb" << 5 << "axb" << 2;
        QTest::newRow("lone surrogate dropped")
            << QString() << QString(QChar(0xd83e)) + u"x" << 2 << "x" << 1;
        QTest::newRow("deleting is left alone") << "abc"
                                                << "ac" << 1 << "ac" << 1;
    }
    void titleEdit()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, cursor);
        QFETCH(QString, kept);
        QFETCH(int, keptCursor);
        const code_points::Edit edit = title_text::edited(before, after, cursor);
        QCOMPARE(edit.text, kept);
        QCOMPARE(int(edit.cursor), keptCursor);
    }

    void memoStoredForm()
    {
        QCOMPARE(memo_text::toStored(QStringLiteral("a\u2029\u2029b")),
                 QStringLiteral("a\r\n\r\nb"));
        // Characters the editor keeps as they are.
        const QString kept = QStringLiteral("tab\there\u00a0nbsp\u2028line separator");
        QCOMPARE(memo_text::toStored(kept), kept);
    }

    // What a save forced by the end of the program stores of the alarm: OK's rule where OK
    // would accept, the stored alarm where it would refuse.
    void quitAlarm_data()
    {
        QTest::addColumn<bool>("newNote");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<AlarmVerdict>("verdict");
        QTest::addColumn<QuitAlarm>("expected");
        const auto accepted = AlarmVerdict::Accepted;
        const auto past = AlarmVerdict::DateBeforeToday;
        const auto now = AlarmVerdict::TimeNotInFuture;
        QTest::newRow("new, no alarm") << true << false << false << past << QuitAlarm::AsShown;
        QTest::newRow("new, untouched box, refused moment")
            << true << false << true << past << QuitAlarm::AsShown;
        QTest::newRow("new, future alarm")
            << true << true << true << accepted << QuitAlarm::AsShown;
        QTest::newRow("new, past date") << true << true << true << past << QuitAlarm::LeaveStored;
        QTest::newRow("new, time come") << true << true << false << now << QuitAlarm::LeaveStored;
        QTest::newRow("existing, alarm untouched, moment passed")
            << false << true << false << past << QuitAlarm::AsShown;
        QTest::newRow("existing, alarm moved to the past")
            << false << true << true << past << QuitAlarm::LeaveStored;
        QTest::newRow("existing, alarm moved to the future")
            << false << true << true << accepted << QuitAlarm::AsShown;
        QTest::newRow("existing, alarm switched off")
            << false << false << true << past << QuitAlarm::AsShown;
    }
    void quitAlarm()
    {
        QFETCH(bool, newNote);
        QFETCH(bool, ticked);
        QFETCH(bool, changed);
        QFETCH(AlarmVerdict, verdict);
        QFETCH(QuitAlarm, expected);
        QCOMPARE(::quitAlarm(EditorAlarmState{newNote, ticked, changed}, verdict), expected);
    }
};

QTEST_GUILESS_MAIN(TestNoteLogic)
#include "TestNoteLogic.moc"
