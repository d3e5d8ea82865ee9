#include "core/alarms/CheckAlarms.h"
#include "core/list/ReloadScheduler.h"
#include "core/storage/AlarmColumns.h"
#include "core/storage/AlarmStateStore.h"
#include "core/storage/ChangeEvent.h"
#include "core/storage/DataModule.h"
#include "core/storage/NoteChangeListener.h"
#include "core/storage/NoteStore.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>
#include <functional>
#include <memory>

// Two programs on one note database, each with its data module and its listener: what one
// commits, the other hears; what a program commits itself it does not hear twice. On a local
// file this runs through the embedded engine of each process (SuperClassic, one lock
// directory); run by quillbox_with_server, through a Firebird server.
class TestNoteChangeListener : public QObject
{
    Q_OBJECT

    static constexpr int kGenerous = 60000;

    // The database the cases with another process use. An engine takes its lock directory from
    // the first database file it opens (the one beside that file), and so does the other
    // process: this file is opened first, so that both coordinate through the same one.
    TestDatabase shared_;
    std::unique_ptr<TDM> sharedDm_;

    using Change = std::function<void(TDM& dm, qint32 noteId)>;

    static sql::note::NewNoteRow row(const QString& title)
    {
        sql::note::NewNoteRow r;
        r.title = title;
        r.message = QStringLiteral("body of ") + title;
        r.created = QDateTime::currentDateTime();
        r.alarmDate = QDate(2024, 5, 1);
        r.alarmTime = QTime(8, 30);
        return r;
    }

    // Another program, started on the database with its arguments.
    static void startWriter(QProcess& writer, const QStringList& arguments)
    {
        writer.setProcessChannelMode(QProcess::ForwardedChannels);
        writer.start(QStringLiteral(QUILLBOX_DB_WRITER), arguments);
        QVERIFY(writer.waitForStarted());
    }

private Q_SLOTS:
    void initTestCase() { sharedDm_ = shared_.open(); }

    void aCommittedChangeIsHeardByTheOtherProgramOnly_data()
    {
        QTest::addColumn<Change>("change");
        QTest::newRow("note added") << Change([](TDM& dm, qint32) {
            QVERIFY(note_store::insertNote(dm, row(QStringLiteral("new"))) > 0);
        });
        QTest::newRow("note saved") << Change([](TDM& dm, qint32 id) {
            QVERIFY(note_store::saveExistingNote(
                        dm, id, std::nullopt, QStringLiteral("edited"), QStringLiteral("text"),
                        [](int) { return std::nullopt; },
                        QDateTime::currentDateTime()) == note_store::SaveOutcome::Saved);
        });
        QTest::newRow("note saved with its alarm") << Change([](TDM& dm, qint32 id) {
            QVERIFY(note_store::saveExistingNote(
                        dm, id, std::nullopt, QStringLiteral("edited"), QStringLiteral("text"),
                        [](int) {
                            return note_store::AlarmUpdate{AlarmPlanned, std::nullopt};
                        },
                        QDateTime::currentDateTime()) == note_store::SaveOutcome::Saved);
        });
        QTest::newRow("note deleted")
            << Change([](TDM& dm, qint32 id) { note_store::deleteNote(dm, id); });
        QTest::newRow("alarm acknowledged from the list") << Change([](TDM& dm, qint32 id) {
            QVERIFY(SetAlarmState(dm, id, AlarmAcknowledged, std::nullopt,
                                  QDateTime::currentDateTime(), QStringLiteral("FormMain")));
        });
        QTest::newRow("alarm fired by the checker") << Change([](TDM& dm, qint32) {
            const int fired = CheckAlarms(
                dm, [] { return QDateTime(QDate(2024, 5, 1), QTime(12, 0)); },
                [](const AlarmBalloon&) { return true; }, {});
            QCOMPARE(fired, 1);
        });
    }

    void aCommittedChangeIsHeardByTheOtherProgramOnly()
    {
        QFETCH(Change, change);
        TestDatabase db;
        auto mine = db.open();
        auto other = db.open();
        qint32 id = 0;
        {
            auto r = row(QStringLiteral("planned"));
            r.state = AlarmPlanned;
            r.kind = AlarmDaily;
            id = note_store::insertNote(*mine, r);
            QVERIFY(id > 0);
        }
        NoteChangeListener mineHears(*mine);
        NoteChangeListener otherHears(*other);
        QSignalSpy mineChanged(&mineHears, &NoteChangeListener::changed);
        QSignalSpy otherChanged(&otherHears, &NoteChangeListener::changed);
        QVERIFY(mineHears.start());
        QVERIFY(otherHears.start());
        QVERIFY(mineHears.isListening() && otherHears.isListening());

        change(*mine, id);
        if (QTest::currentTestFailed())
            return;
        mineHears.expectOwnChanges(1);

        QTRY_COMPARE_WITH_TIMEOUT(otherChanged.count(), 1, kGenerous);
        // The program's own change reached its listener too, and was taken as its own.
        QTRY_COMPARE_WITH_TIMEOUT(mineHears.ownChangesExpected(), 0, kGenerous);
        QCOMPARE(mineChanged.count(), 0);
        QVERIFY(mineHears.isListening() && otherHears.isListening());

        // And both keep listening: the other program's next change reaches this one.
        QVERIFY(note_store::insertNote(*other, row(QStringLiteral("reply"))) > 0);
        otherHears.expectOwnChanges(1);
        QTRY_COMPARE_WITH_TIMEOUT(mineChanged.count(), 1, kGenerous);
        QTRY_COMPARE_WITH_TIMEOUT(otherHears.ownChangesExpected(), 0, kGenerous);
        QCOMPARE(otherChanged.count(), 1);
    }

    void aChangeRolledBackIsNotAnnounced()
    {
        TestDatabase db;
        auto mine = db.open();
        NoteChangeListener hears(*mine);
        QSignalSpy changed(&hears, &NoteChangeListener::changed);
        QVERIFY(hears.start());
        auto other = db.open();
        QVERIFY_THROWS_EXCEPTION(fb::Error, other->transact([](DbSession& s) {
            s.execute(QStringLiteral("DELETE FROM NOTATKI"));
            change_event::post(s);
            throw fb::Error("the operation fails after its writes");
        }));
        // The next committed change is announced alone.
        QVERIFY(note_store::insertNote(*other, row(QStringLiteral("kept"))) > 0);
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, kGenerous);
        QVERIFY(note_store::insertNote(*other, row(QStringLiteral("kept too"))) > 0);
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 2, kGenerous);
    }

    void ownChangesAreAbsorbedOnlyAsFarAsTheyWent()
    {
        TestDatabase db;
        auto mine = db.open();
        auto other = db.open();
        NoteChangeListener hears(*mine);
        QSignalSpy changed(&hears, &NoteChangeListener::changed);
        QVERIFY(hears.start());
        // Two own changes announced, one made: one is left to absorb, and the other program's
        // change that follows still counts beyond it.
        hears.expectOwnChanges(2);
        QVERIFY(note_store::insertNote(*mine, row(QStringLiteral("mine"))) > 0);
        QTRY_COMPARE_WITH_TIMEOUT(hears.ownChangesExpected(), 1, kGenerous);
        QCOMPARE(changed.count(), 0);
        QVERIFY(note_store::insertNote(*other, row(QStringLiteral("first"))) > 0);
        QTRY_COMPARE_WITH_TIMEOUT(hears.ownChangesExpected(), 0, kGenerous);
        QCOMPARE(changed.count(), 0);
        QVERIFY(note_store::insertNote(*other, row(QStringLiteral("second"))) > 0);
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, kGenerous);
    }

    void reconnectingAnnouncesOneChange()
    {
        TestDatabase db;
        auto mine = db.open();
        NoteChangeListener hears(*mine);
        QSignalSpy changed(&hears, &NoteChangeListener::changed);
        QVERIFY(hears.start());
        QCOMPARE(changed.count(), 0);
        QVERIFY(hears.reconnect());
        QCOMPARE(changed.count(), 1);
        QVERIFY(hears.isListening());
        auto other = db.open();
        QVERIFY(note_store::insertNote(*other, row(QStringLiteral("after"))) > 0);
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 2, kGenerous);
    }

    void aBurstFromAnotherProcessCostsFewReloads()
    {
        const TestDatabase& db = shared_;
        TDM* const mine = sharedDm_.get();
        const qint64 notesBefore = note_store::countNotes(*mine);
        NoteChangeListener hears(*mine);
        ReloadScheduler scheduler;
        connect(&hears, &NoteChangeListener::changed, &scheduler,
                &ReloadScheduler::changeAnnounced);
        int reloads = 0;
        qint64 notesSeen = 0;
        connect(&scheduler, &ReloadScheduler::reloadDue, this, [&] {
            scheduler.reloadStarted();
            ++reloads;
            notesSeen = note_store::countNotes(*mine);
            scheduler.reloadFinished();
        });
        QSignalSpy changed(&hears, &NoteChangeListener::changed);
        QVERIFY(hears.start());

        constexpr int kNotes = 1000;
        QElapsedTimer elapsed;
        elapsed.start();
        QProcess writer;
        startWriter(writer, {QStringLiteral("saved"), db.connection(), QStringLiteral("burst "),
                             QString::number(kNotes)});
        QTRY_VERIFY_WITH_TIMEOUT(writer.state() == QProcess::NotRunning, 300000);
        QCOMPARE(writer.exitCode(), 0);
        // The last reload comes after the last commit and shows every note.
        QTRY_COMPARE_WITH_TIMEOUT(notesSeen, notesBefore + kNotes, kGenerous);
        const qint64 longestWaits = elapsed.elapsed() / ReloadCoalescer::kLongestWait.count();
        qInfo("%d commits, %lld announcements, %d reloads in %lld ms", kNotes,
              qlonglong(changed.count()), reloads, qlonglong(elapsed.elapsed()));
        QVERIFY(reloads >= 1);
        // A burst that never goes quiet reloads once per longest wait, and once at its end.
        QVERIFY2(reloads <= longestWaits + 2, qPrintable(QString::number(reloads)));
        QVERIFY(reloads <= changed.count());
    }

    void aListenerDestroyedWhileChangesArriveLeavesQuietly()
    {
        const TestDatabase& db = shared_;
        TDM* const mine = sharedDm_.get();
        QProcess writer;
        startWriter(writer, {QStringLiteral("saved"), db.connection(), QStringLiteral("busy "),
                             QStringLiteral("300")});
        int heard = 0;
        int rounds = 0;
        while (writer.state() != QProcess::NotRunning || rounds < 5) {
            auto hears = std::make_unique<NoteChangeListener>(*mine);
            connect(hears.get(), &NoteChangeListener::changed, this, [&] { ++heard; });
            QVERIFY(hears->start());
            QTest::qWait(rounds % 3 == 0 ? 0 : 15);
            hears.reset();
            ++rounds;
        }
        QCOMPARE(writer.exitCode(), 0);
        // Answers still on their way to the destroyed listeners reach nobody.
        const int heardBefore = heard;
        QTest::qWait(200);
        QCOMPARE(heard, heardBefore);
        // And the database still announces to a listener of today.
        NoteChangeListener hears(*mine);
        QSignalSpy changed(&hears, &NoteChangeListener::changed);
        QVERIFY(hears.start());
        auto other = db.open();
        QVERIFY(note_store::insertNote(*other, row(QStringLiteral("after"))) > 0);
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, kGenerous);
    }
};

QTEST_GUILESS_MAIN(TestNoteChangeListener)
#include "TestNoteChangeListener.moc"
