#include "core/alarms/BlinkingItems.h"
#include "core/list/NoteListRows.h"
#include "core/notes/NeighbourNote.h"
#include "gui/main/FormMain.h"
#include "gui/main/NoteListFill.h"
#include "gui/main/NoteListModel.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/FormUsuwanie.h"
#include "support/ModalWatcher.h"
#include "support/NoteListDriver.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

namespace {

// count notes, one a minute, note 1 the oldest; notes whose ID is a multiple of 500 have a
// running alarm. Titles are "note <ID>".
void insertNotes(const TestDatabase& db, int count)
{
    db.execute(
        QStringLiteral("EXECUTE BLOCK AS DECLARE i INTEGER = 1; BEGIN WHILE (i <= %1) DO BEGIN "
                       "INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm) VALUES (:i, "
                       "'note ' || :i, 'text', DATEADD(:i MINUTE TO TIMESTAMP '2024-01-01 00:00'), "
                       "IIF(MOD(:i, 500) = 0, 1, 0)); i = i + 1; END END")
            .arg(count));
}

// What the statements return now, read on a connection of its own.
QList<qint32> statementIds(const TestDatabase& db, const QString& search)
{
    TDM dm(db.path());
    NoteRows rows;
    readNoteList(dm, search.isEmpty() ? sql::notes::fullList() : sql::notes::search(search), rows,
                 QStringLiteral("test"));
    return rows.ids();
}

} // namespace

// Fills of the note list racing the user on a real database with real threads: each race ends
// with the list equal to what the last request's statements return, and the right selection.
class TestNoteListRaces : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void aFillShowsItsSignUntilComplete()
    {
        TestDatabase db;
        insertNotes(db, 3000);
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        QVERIFY(waitForList(form));
        QVERIFY(!form.ListFillBusy->isVisible());
        form.LoadNotes();
        QVERIFY(form.ListFillBusy->isVisible());
        QVERIFY(!form.noteListFill()->isComplete());
        QVERIFY(waitForList(form));
        QVERIFY(!form.ListFillBusy->isVisible());
        QCOMPARE(form.listedNoteIds(), statementIds(db, {}));
    }

    void typingAndEscapeDuringFills()
    {
        TestDatabase db;
        insertNotes(db, 3000);
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form, WindowShown::Active));
        QVERIFY(waitForList(form));
        form.CurrentNoteId = 1234;
        form.SzukanyCiag->setFocus();
        // Each key starts a fill while the one before still streams.
        QTest::keyClicks(form.SzukanyCiag, QStringLiteral("note 12"));
        QVERIFY(waitForList(form));
        QCOMPARE(form.listedNoteIds(), statementIds(db, QStringLiteral("note 12")));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1234});

        // Esc while the narrower search streams: the whole list, still selected.
        QTest::keyClick(form.SzukanyCiag, Qt::Key_3);
        QTest::keyClick(form.SzukanyCiag, Qt::Key_Escape);
        QCOMPARE(form.SzukanyCiag->text(), QString());
        QVERIFY(form.isVisible());
        QCOMPARE(form.listedNoteIds(), statementIds(db, {}));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1234});
        const QModelIndex index = form.LVNotatki->currentIndex();
        QVERIFY(form.LVNotatki->viewport()->rect().intersects(form.LVNotatki->visualRect(index)));
    }

    void deletingTheSelectedNoteWhileAnotherSearchStreams()
    {
        TestDatabase db;
        insertNotes(db, 3000);
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form, WindowShown::Active));
        QVERIFY(waitForList(form));
        form.CurrentNoteId = 2999;
        form.SearchNotes(QStringLiteral("note 29"));
        QVERIFY(waitForList(form));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{2999});

        // Another search starts streaming; the selected note is deleted before it is whole.
        QList<qint32> searched;
        ModalWatcher watcher([&](QWidget* modal) {
            auto* dialog = qobject_cast<TFormUsuwanie*>(modal);
            QVERIFY(dialog);
            form.SearchNotes(QStringLiteral("note 2"));
            searched = statementIds(db, QStringLiteral("note 2"));
            dialog->TAK->click();
        });
        form.DeleteSelectedNote();
        // The neighbour comes from the complete search list; the reload is the full list.
        const qint32 neighbour = FindNeighbourNote(searched, 2999);
        QCOMPARE(form.listedNoteIds(), statementIds(db, {}));
        QVERIFY(!form.listedNoteIds().contains(2999));
        QCOMPARE(form.CurrentNoteId, neighbour);
        QCOMPARE(selectedNoteIds(form), QList<qint32>{neighbour});
    }

    void savingWhileASearchStreams()
    {
        TestDatabase db;
        insertNotes(db, 3000);
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(waitForList(form));
        form.CurrentNoteId = 1500;
        QTest::keyClicks(form.SzukanyCiag, QStringLiteral("note 15"));
        // The editor saves while the search still streams; its refresh wins.
        TFormNotatka editor(*dm, form, &form);
        editor.NoteId = 1500;
        editor.LoadNote(1500);
        editor.Tytul->setText(QStringLiteral("note 15 edited"));
        editor.OK->click();
        QCOMPARE(form.listedNoteIds(), statementIds(db, QStringLiteral("note 15")));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1500});
        QVERIFY(listedTitles(form).contains(QStringLiteral("note 15 edited")));
    }

    void closingMidFillEnds()
    {
        TestDatabase db;
        insertNotes(db, 3000);
        auto dm = db.open();
        auto form = std::make_unique<TFormMain>(*dm, quietWindowOptions());
        QTest::keyClicks(form->SzukanyCiag, QStringLiteral("no such text"));
        QVERIFY(!form->noteListFill()->isComplete());
        form.reset();
        // The connection of the window still works afterwards.
        QCOMPARE(dm->GetSetting(QStringLiteral("nothing")), QStringLiteral("-1"));
    }

    void blinkingOnlyWhileARunningAlarmIsShown()
    {
        TestDatabase db;
        insertNotes(db, 1000); // running: 1000 and 500, at the top
        auto dm = db.open();
        FormMainOptions options = quietWindowOptions();
        options.blinkInterval = std::chrono::milliseconds(50);
        TFormMain form(*dm, options);
        TBlinkingItems* blinking = form.blinkingItems();
        QVERIFY(waitForList(form));
        // Hidden in the tray: no beat at all.
        QVERIFY(!blinking->isActive());
        form.ShowMainWindow();
        QVERIFY(blinking->isActive());
        QTRY_COMPARE(listedImages(form).mid(0, 3), (QList<int>{3, 3, 0}));
        // A search without a running alarm stops the beat.
        QVERIFY(typeSearch(form, QStringLiteral("note 7")));
        QVERIFY(!blinking->isActive());
        form.SzukanyCiag->clear();
        QVERIFY(waitForList(form));
        QVERIFY(blinking->isActive());
        form.UkryjExecute();
        QVERIFY(!form.isVisible());
        QVERIFY(!blinking->isActive());
    }
};

QTEST_MAIN(TestNoteListRaces)
#include "TestNoteListRaces.moc"
