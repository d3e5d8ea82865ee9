#include "core/storage/DataModule.h"
#include "core/storage/NoteStore.h"
#include "support/TestDatabase.h"

#include <QtTest>
#include <future>
#include <thread>

Q_DECLARE_METATYPE(note_store::SaveOutcome)

namespace {

using note_store::SaveOutcome;

const char* outcomeName(SaveOutcome outcome)
{
    switch (outcome) {
    case SaveOutcome::Saved:
        return "Saved";
    case SaveOutcome::Deleted:
        return "Deleted";
    case SaveOutcome::ChangedElsewhere:
        return "ChangedElsewhere";
    }
    return "?";
}

const note_store::AlarmAfterText kNoAlarmWrite = [](int) {
    return std::optional<note_store::AlarmUpdate>();
};

// The note's title and message as the editor holds them after loading.
note_store::NoteText loadedText(TDM& dm, qint32 id)
{
    const auto note = note_store::readNote(dm, id);
    return note ? note_store::NoteText{note->title, note->message} : note_store::NoteText{};
}

SaveOutcome save(TDM& dm, qint32 id, const note_store::NoteText& loaded, const QString& title,
                 const QString& message)
{
    return note_store::saveExistingNote(dm, id, loaded, title, message, kNoAlarmWrite,
                                        QDateTime::currentDateTime());
}

QString storedText(const TestDatabase& db, qint32 id)
{
    return db.scalar(QStringLiteral("SELECT COALESCE(Tytul, 'NULL') || ' | ' || "
                                    "COALESCE(Tresc, 'NULL') FROM NOTATKI WHERE ID = ") +
                     QString::number(id));
}

void insertShopping(const TestDatabase& db)
{
    db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, "
                              "AlarmRodzaj, AlarmData, AlarmGodzina) VALUES (1, 'Shopping', "
                              "'milk', '2030.04.01 10:00:00', 2, 0, '2030.05.01', '08:15')"));
}

} // namespace

namespace QTest {
template <> inline char* toString(const SaveOutcome& outcome)
{
    return qstrdup(outcomeName(outcome));
}
} // namespace QTest

// The note editor's save of an existing note, with two programs on one database file, each
// with a connection of its own: a save never overwrites text another program stored since
// the editor loaded the note.
class TestNoteStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void twoEditorsSaveOneNote()
    {
        TestDatabase db;
        insertShopping(db);
        auto a = db.open();
        auto b = db.open();
        const note_store::NoteText loadedByA = loadedText(*a, 1);
        const note_store::NoteText loadedByB = loadedText(*b, 1);

        QCOMPARE(save(*a, 1, loadedByA, QStringLiteral("Shopping A"), QStringLiteral("milk, eggs")),
                 SaveOutcome::Saved);
        QCOMPARE(save(*b, 1, loadedByB, QStringLiteral("Shopping B"), QStringLiteral("bread")),
                 SaveOutcome::ChangedElsewhere);
        QCOMPARE(storedText(db, 1), QStringLiteral("Shopping A | milk, eggs"));

        // Loaded again, B's editor may save over it.
        QCOMPARE(
            save(*b, 1, loadedText(*b, 1), QStringLiteral("Shopping B"), QStringLiteral("bread")),
            SaveOutcome::Saved);
        QCOMPARE(storedText(db, 1), QStringLiteral("Shopping B | bread"));
    }

    void changesByTheOtherProgram_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<SaveOutcome>("outcome");
        QTest::newRow("none") << QString() << SaveOutcome::Saved;
        QTest::newRow("title") << "UPDATE NOTATKI SET Tytul = 'Groceries' WHERE ID = 1"
                               << SaveOutcome::ChangedElsewhere;
        QTest::newRow("message") << "UPDATE NOTATKI SET Tresc = 'milk!' WHERE ID = 1"
                                 << SaveOutcome::ChangedElsewhere;
        // The engine's = ignores trailing blanks; the comparison must not.
        QTest::newRow("a trailing blank") << "UPDATE NOTATKI SET Tytul = 'Shopping ' WHERE ID = 1"
                                          << SaveOutcome::ChangedElsewhere;
        QTest::newRow("case") << "UPDATE NOTATKI SET Tresc = 'MILK' WHERE ID = 1"
                              << SaveOutcome::ChangedElsewhere;
        QTest::newRow("emptied") << "UPDATE NOTATKI SET Tresc = '' WHERE ID = 1"
                                 << SaveOutcome::ChangedElsewhere;
        QTest::newRow("set to NULL")
            << "UPDATE NOTATKI SET Tytul = NULL WHERE ID = 1" << SaveOutcome::ChangedElsewhere;
        // The other program's checker fires the alarm, or it is acknowledged: no change of
        // the note's text.
        QTest::newRow("alarm fired")
            << "UPDATE NOTATKI SET Alarm = 1 WHERE ID = 1" << SaveOutcome::Saved;
        QTest::newRow("alarm acknowledged")
            << "UPDATE NOTATKI SET Alarm = 3, AlarmArchiwum = '2030.05.01 08:20:00' WHERE ID = 1"
            << SaveOutcome::Saved;
        QTest::newRow("same text written again")
            << "UPDATE NOTATKI SET Tytul = 'Shopping', Tresc = 'milk' WHERE ID = 1"
            << SaveOutcome::Saved;
        QTest::newRow("deleted") << "DELETE FROM NOTATKI WHERE ID = 1" << SaveOutcome::Deleted;
    }
    void changesByTheOtherProgram()
    {
        QFETCH(QString, statement);
        QFETCH(SaveOutcome, outcome);
        TestDatabase db;
        insertShopping(db);
        auto mine = db.open();
        auto other = db.open();
        const note_store::NoteText loaded = loadedText(*mine, 1);
        const QString before = storedText(db, 1);
        if (!statement.isEmpty())
            other->transact([&](DbSession& s) { s.execute(statement); });
        const QString theirs = storedText(db, 1);

        QCOMPARE(save(*mine, 1, loaded, QStringLiteral("mine"), QStringLiteral("my text")),
                 outcome);
        QCOMPARE(storedText(db, 1),
                 outcome == SaveOutcome::Saved ? QStringLiteral("mine | my text") : theirs);
        QVERIFY(before != QStringLiteral("mine | my text"));
    }

    void nullTextsAsLoadedAreNoChange()
    {
        TestDatabase db;
        db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm) "
                                  "VALUES (1, NULL, NULL, '2030.04.01 10:00:00', 0)"));
        auto mine = db.open();
        QCOMPARE(save(*mine, 1, loadedText(*mine, 1), QStringLiteral("t"), QStringLiteral("m")),
                 SaveOutcome::Saved);
        QCOMPARE(storedText(db, 1), QStringLiteral("t | m"));
    }

    void savesThatMeetWaitForEachOther()
    {
        // Program A has written the note and not yet committed when B saves it: B waits for
        // A's transaction and then finds A's text. Either way, A's text is never overwritten.
        TestDatabase db;
        insertShopping(db);
        auto a = db.open();
        auto b = db.open();
        const note_store::NoteText loaded = loadedText(*b, 1);

        std::promise<void> written;
        std::promise<void> bStarted;
        std::thread programA([&] {
            a->transact([&](DbSession& s) {
                s.execute(QStringLiteral(
                    "UPDATE NOTATKI SET Tytul = 'from A', Tresc = 'A''s text' WHERE ID = 1"));
                written.set_value();
                bStarted.get_future().wait();
                // B is on its way to the row A holds.
                std::this_thread::sleep_for(std::chrono::milliseconds(500));
            });
        });
        written.get_future().wait();
        std::optional<SaveOutcome> outcome;
        QString failure;
        std::thread programB([&] {
            bStarted.set_value();
            try {
                outcome = save(*b, 1, loaded, QStringLiteral("from B"), QStringLiteral("B's"));
            } catch (const note_store::SaveError& e) {
                failure = e.text();
            }
        });
        programB.join();
        programA.join();
        QVERIFY2(outcome != SaveOutcome::Saved, "B's save overwrote A's");
        QVERIFY2(outcome == SaveOutcome::ChangedElsewhere || !failure.isEmpty(),
                 qPrintable(failure));
        QCOMPARE(storedText(db, 1), QStringLiteral("from A | A's text"));
    }
};

QTEST_GUILESS_MAIN(TestNoteStore)
#include "TestNoteStore.moc"
