#include "core/list/ReloadCoalescer.h"
#include "core/storage/AlarmColumns.h"
#include "core/storage/AlarmStateStore.h"
#include "core/storage/NoteChangeListener.h"
#include "core/storage/NoteStore.h"
#include "gui/main/FormMain.h"
#include "gui/main/LiveList.h"
#include "gui/main/NoteListFill.h"
#include "gui/notes/FormNotatka.h"
#include "support/ModalWatcher.h"
#include "support/NoteListDriver.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int kGenerous = 30000;

sql::note::NewNoteRow newNote(const QString& title)
{
    sql::note::NewNoteRow row;
    row.title = title;
    row.message = QStringLiteral("written by the other program");
    row.created = QDateTime::currentDateTime();
    row.alarmDate = QDate(2024, 5, 1);
    row.alarmTime = QTime(8, 30);
    return row;
}

// Notes 1001 to 1003 in program B's list, newest first: "beta three", "alpha two", "alpha one".
void insertThreeNotes(const TestDatabase& db)
{
    insertNote(db, 1001, QStringLiteral("alpha one"), QStringLiteral("2024.05.01 08:00:00"));
    insertNote(db, 1002, QStringLiteral("alpha two"), QStringLiteral("2024.05.02 08:00:00"));
    insertNote(db, 1003, QStringLiteral("beta three"), QStringLiteral("2024.05.03 08:00:00"));
}

void renameNote(TDM& dm, qint32 id, const QString& title)
{
    const auto outcome = note_store::saveExistingNote(
        dm, id, std::nullopt, title, QStringLiteral("renamed elsewhere"),
        [](int) { return std::optional<note_store::AlarmUpdate>(); }, QDateTime::currentDateTime());
    QCOMPARE(outcome, note_store::SaveOutcome::Saved);
}

QStringList sorted(QStringList titles)
{
    titles.sort();
    return titles;
}

// Fills of the list started since the spy was made.
int fillsStarted(const QSignalSpy& busy)
{
    int fills = 0;
    for (const QList<QVariant>& signal : busy)
        fills += signal.first().toBool() ? 1 : 0;
    return fills;
}

} // namespace

// Two programs on one database file: program B's main window, and program A (a data module of
// its own in this process, or a process of its own) committing changes. B's list follows A's
// changes without a key pressed, keeping what the user set up.
class TestLiveList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void anotherProgramsChangeShows_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("expected");
        const QString all;
        const QString alpha = QStringLiteral("alpha");
        QTest::newRow("insert") << all << "insert"
                                << QStringList{u"alpha new"_s, u"alpha one"_s, u"alpha two"_s,
                                               u"beta three"_s};
        QTest::newRow("insert while searching")
            << alpha << u"insert"_s << QStringList{u"alpha new"_s, u"alpha one"_s, u"alpha two"_s};
        QTest::newRow("edit into the search")
            << alpha << u"edit"_s
            << QStringList{u"alpha one"_s, u"alpha renamed"_s, u"alpha two"_s};
        QTest::newRow("delete") << all << u"delete"_s
                                << QStringList{u"alpha two"_s, u"beta three"_s};
        QTest::newRow("delete while searching")
            << alpha << u"delete"_s << QStringList{u"alpha two"_s};
    }

    void anotherProgramsChangeShows()
    {
        QFETCH(QString, search);
        QFETCH(QString, change);
        QFETCH(QStringList, expected);
        TestDatabase db;
        insertThreeNotes(db);
        auto dmB = db.open();
        TFormMain form(*dmB, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        if (!search.isEmpty())
            QVERIFY(typeSearch(form, search));
        form.CurrentNoteId = 1002;
        form.RefreshNotes();
        QVERIFY(waitForList(form));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1002});
        QTRY_VERIFY_WITH_TIMEOUT(form.liveList()->listener()->isListening(), kGenerous);

        auto dmA = db.open();
        if (change == QStringLiteral("insert"))
            QVERIFY(note_store::insertNote(*dmA, newNote(QStringLiteral("alpha new"))) > 0);
        else if (change == QStringLiteral("edit"))
            renameNote(*dmA, 1003, QStringLiteral("alpha renamed"));
        else
            note_store::deleteNote(*dmA, 1001);

        QTRY_COMPARE_WITH_TIMEOUT(sorted(listedTitles(form)), expected, kGenerous);
        QCOMPARE(form.SzukanyCiag->text(), search);
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1002});
        QCOMPARE(form.CurrentNoteId, 1002);
    }

    void anAlarmFiredElsewhereShows()
    {
        TestDatabase db;
        insertThreeNotes(db);
        auto dmB = db.open();
        TFormMain form(*dmB, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        QVERIFY(waitForList(form));
        const QList<int> before = listedImages(form);
        QTRY_VERIFY_WITH_TIMEOUT(form.liveList()->listener()->isListening(), kGenerous);

        // What the other program's alarm checker commits when note 1001's alarm fires.
        auto dmA = db.open();
        QVERIFY(SetAlarmState(*dmA, 1001, AlarmRunning, std::nullopt, QDateTime::currentDateTime(),
                              QStringLiteral("test")));
        // The running alarm moves to the top of the list with its own image.
        QTRY_COMPARE_WITH_TIMEOUT(listedTitles(form).first(), QStringLiteral("alpha one"),
                                  kGenerous);
        QVERIFY(listedImages(form) != before);
    }

    void theScrollPositionStays()
    {
        TestDatabase db;
        for (int id = 1; id <= 300; ++id)
            insertNote(
                db, 1000 + id, QStringLiteral("note %1").arg(id),
                QStringLiteral("2024.05.01 08:00:00")
                    .replace(QStringLiteral("08:00"), QStringLiteral("%1:%2")
                                                          .arg(id / 60, 2, 10, QLatin1Char('0'))
                                                          .arg(id % 60, 2, 10, QLatin1Char('0'))));
        auto dmB = db.open();
        TFormMain form(*dmB, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        QVERIFY(waitForList(form));
        QScrollBar* bar = form.LVNotatki->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 2);
        bar->setValue(bar->maximum() / 2);
        const int position = bar->value();
        QTRY_VERIFY_WITH_TIMEOUT(form.liveList()->listener()->isListening(), kGenerous);
        QSignalSpy busy(form.noteListFill(), &NoteListFill::busyChanged);

        // An old note: it joins the bottom of the list, the rows in view stay where they are.
        auto dmA = db.open();
        auto row = newNote(QStringLiteral("old note"));
        row.created = QDateTime(QDate(2020, 1, 1), QTime(8, 0));
        QVERIFY(note_store::insertNote(*dmA, row) > 0);
        QTRY_VERIFY_WITH_TIMEOUT(listedTitles(form).contains(QStringLiteral("old note")),
                                 kGenerous);
        QVERIFY(fillsStarted(busy) >= 1);
        QCOMPARE(bar->value(), position);
    }

    void aHiddenWindowReloadsWhenShown()
    {
        TestDatabase db;
        insertThreeNotes(db);
        auto dmB = db.open();
        TFormMain form(*dmB, quietWindowOptions());
        QVERIFY(waitForList(form));
        QVERIFY(!form.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(form.liveList()->listener()->isListening(), kGenerous);

        auto dmA = db.open();
        QVERIFY(note_store::insertNote(*dmA, newNote(QStringLiteral("while hidden"))) > 0);
        QTRY_VERIFY_WITH_TIMEOUT(form.liveList()->isReloadHeld(), kGenerous);
        QVERIFY(!listedTitles(form).contains(QStringLiteral("while hidden")));

        form.TrayIconClick();
        QTRY_VERIFY_WITH_TIMEOUT(listedTitles(form).contains(QStringLiteral("while hidden")),
                                 kGenerous);
        QVERIFY(!form.liveList()->isReloadHeld());
    }

    void aChangeWhileTheEditorIsOpenWaitsForIt()
    {
        TestDatabase db;
        insertThreeNotes(db);
        auto dmB = db.open();
        TFormMain form(*dmB, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        form.CurrentNoteId = 1002;
        form.LoadNotes();
        QVERIFY(waitForList(form));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1002});
        QTRY_VERIFY_WITH_TIMEOUT(form.liveList()->listener()->isListening(), kGenerous);
        auto dmA = db.open();
        const QStringList before = listedTitles(form);

        bool checked = false;
        ModalWatcher watcher([&](QWidget* dialog) {
            auto* editor = qobject_cast<TFormNotatka*>(dialog);
            if (!editor)
                return;
            QSignalSpy busy(form.noteListFill(), &NoteListFill::busyChanged);
            QVERIFY(note_store::insertNote(*dmA, newNote(QStringLiteral("meanwhile"))) > 0);
            renameNote(*dmA, 1002, QStringLiteral("alpha two renamed"));
            QTRY_VERIFY_WITH_TIMEOUT(form.liveList()->isReloadHeld(), kGenerous);
            QCOMPARE(editor->Tytul->text(), QStringLiteral("alpha two"));
            QCOMPARE(fillsStarted(busy), 0);
            QCOMPARE(listedTitles(form), before);
            QCOMPARE(selectedNoteIds(form), QList<qint32>{1002});
            checked = true;
            dialog->close();
        });
        form.NotatkaPokazEdytujExecute();
        QVERIFY(checked);
        QTRY_VERIFY_WITH_TIMEOUT(listedTitles(form).contains(QStringLiteral("meanwhile")),
                                 kGenerous);
        QVERIFY(listedTitles(form).contains(QStringLiteral("alpha two renamed")));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1002});
    }

    void aBurstFromAnotherProgramCostsFewReloads()
    {
        TestDatabase db;
        insertThreeNotes(db);
        auto dmB = db.open();
        TFormMain form(*dmB, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        QVERIFY(waitForList(form));
        QTRY_VERIFY_WITH_TIMEOUT(form.liveList()->listener()->isListening(), kGenerous);
        QSignalSpy busy(form.noteListFill(), &NoteListFill::busyChanged);

        constexpr int kNotes = 200;
        QElapsedTimer elapsed;
        elapsed.start();
        // Program A commits one note after the other; B hears each commit as it comes.
        auto dmA = db.open();
        for (int i = 0; i < kNotes; ++i) {
            QVERIFY(note_store::insertNote(*dmA, newNote(QStringLiteral("burst %1").arg(i))) > 0);
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE_WITH_TIMEOUT(listedTitles(form).size(), 3 + kNotes, kGenerous);
        QVERIFY(listedTitles(form).contains(QStringLiteral("burst %1").arg(kNotes - 1)));
        const qint64 longestWaits = elapsed.elapsed() / ReloadCoalescer::kLongestWait.count();
        const int fills = fillsStarted(busy);
        qInfo("%d commits, %d fills in %lld ms", kNotes, fills, qlonglong(elapsed.elapsed()));
        // Once per longest wait while the burst goes on, and once at its end.
        QVERIFY2(fills <= longestWaits + 2, qPrintable(QString::number(fills)));
    }
};

QTEST_MAIN(TestLiveList)
#include "TestLiveList.moc"
