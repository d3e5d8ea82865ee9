#include "core/storage/AlarmColumns.h"
#include "gui/main/FormMain.h"
#include "gui/main/NoteListFill.h"
#include "gui/main/NoteListModel.h"
#include "support/ModalWatcher.h"
#include "support/NoteListDriver.h"

#include <QAction>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

using namespace Qt::StringLiterals;

// The main window's note list on a real database, driven with keys and clicks: order and
// layout of the rows, search as you type, the selection across reloads, the commands that need
// a selection, the blink of running alarms and opening a note.
class TestNoteList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void runningAlarmsFirstThenNewestFirst()
    {
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("plain"), QStringLiteral("2024.01.01 10:00:00"),
                   AlarmNone);
        insertNote(db, 2, QStringLiteral("running new"), QStringLiteral("2024.01.05 08:30:00"),
                   AlarmRunning);
        insertNote(db, 3, QStringLiteral("planned"), QStringLiteral("2024.01.03 10:00:00"),
                   AlarmPlanned);
        insertNote(db, 4, QStringLiteral("running old"), QStringLiteral("2023.12.01 10:00:00"),
                   AlarmRunning);
        insertNote(db, 5, QStringLiteral("acknowledged"), QStringLiteral("2024.01.04 10:00:00"),
                   AlarmAcknowledged);
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());

        QCOMPARE(listedTitles(form), (QStringList{u"running new"_s, u"running old"_s,
                                                  u"acknowledged"_s, u"planned"_s, u"plain"_s}));
        QCOMPARE(listedImages(form), (QList<int>{2, 2, 1, 1, 0}));
        QCOMPARE(form.listedNoteIds(), (QList<qint32>{2, 4, 5, 3, 1}));

        const NoteListModel* model = form.notesModel();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Title"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Date"));
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("2024-01-05 08:30"));
        QCOMPARE(model->index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(Qt::white));
        QCOMPARE(model->index(1, 1).data(Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(237, 247, 248));
        QCOMPARE(model->index(2, 0).data(Qt::BackgroundRole).value<QBrush>().color(),
                 QColor(Qt::white));
        // Nothing is selected after the first fill (CurrentNoteId starts at 0).
        QVERIFY(selectedNoteIds(form).isEmpty());
        QVERIFY(!form.MMUsun->isEnabled());
    }

    void titlesAreDrawnIsolated()
    {
        // A title with a right-to-left override ("gnp.exe" drawn as "exe.png") or an
        // isolate it leaves open reorders nothing beside it; the model keeps the stored text.
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("\u202egnp.exe"), QStringLiteral("2024.01.02 10:00:00"));
        insertNote(db, 2, QStringLiteral("\u2069\u2067open"),
                   QStringLiteral("2024.01.01 10:00:00"));
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QCOMPARE(listedTitles(form), (QStringList{QStringLiteral("\u202egnp.exe"),
                                                  QStringLiteral("\u2069\u2067open")}));
        const QAbstractItemModel* model = form.LVNotatki->model();
        const auto drawn = [&](int row, int column) {
            const QModelIndex index = model->index(row, column);
            const auto* delegate =
                qobject_cast<QStyledItemDelegate*>(form.LVNotatki->itemDelegateForIndex(index));
            return delegate ? delegate->displayText(index.data(), QLocale()) : QString();
        };
        QCOMPARE(drawn(0, 0), QStringLiteral("\u2068\u202egnp.exe\u2069"));
        QCOMPARE(drawn(1, 0), QStringLiteral("\u2068\u2067open\u2069\u2069"));
        QCOMPARE(drawn(0, 1), QStringLiteral("2024-01-02 10:00"));
    }

    void longMultiByteTextsDisplay()
    {
        TestDatabase db;
        const QString title =
            QString::fromUtf8("Ż").repeated(25) + QString::fromUtf8("ё").repeated(25);
        const QString message = QString::fromUtf8("ą").repeated(5000);
        insertNote(db, 1, title, QStringLiteral("2024.01.01 10:00:00"), 0, message);
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QCOMPARE(listedTitles(form), QStringList{title});
        QVERIFY(form.SearchNotes(QString::fromUtf8("ĄĄĄ")));
        QCOMPARE(form.listedNoteIds(), QList<qint32>{1});
    }

    void searchNarrowsAndKeepsTheSelection()
    {
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("Buy milk today"), QStringLiteral("2024.01.01 10:00:00"));
        insertNote(db, 2, QStringLiteral("Milkshake recipe"),
                   QStringLiteral("2024.01.02 10:00:00"));
        insertNote(db, 3, QStringLiteral("Dentist"), QStringLiteral("2024.01.03 10:00:00"), 0,
                   QStringLiteral("bring the milkcard"));
        insertNote(db, 4, QStringLiteral("Taxes"), QStringLiteral("2024.01.04 10:00:00"));
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));

        clickRow(form, 2); // Milkshake recipe
        QCOMPARE(form.CurrentNoteId, 2);
        form.SzukanyCiag->setFocus();

        QVERIFY(typeSearch(form, QStringLiteral("MIL")));
        QCOMPARE(listedTitles(form),
                 (QStringList{u"Dentist"_s, u"Milkshake recipe"_s, u"Buy milk today"_s}));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{2});
        QVERIFY(form.MMUsun->isEnabled());
        QVERIFY(form.LVNotatki->viewport()->rect().intersects(
            form.LVNotatki->visualRect(form.notesModel()->index(1, 0))));

        QVERIFY(typeSearch(form, QStringLiteral("k ")));
        QCOMPARE(listedTitles(form), QStringList{u"Buy milk today"_s});
        QVERIFY(selectedNoteIds(form).isEmpty());
        QVERIFY(!form.MMUsun->isEnabled());
        QVERIFY(!form.SBUsun->isEnabled());
        QVERIFY(!form.MMPodgladEdycja->isEnabled());

        // Widening the search again brings the selection back.
        QTest::keyClick(form.SzukanyCiag, Qt::Key_Backspace);
        QTest::keyClick(form.SzukanyCiag, Qt::Key_Backspace);
        QVERIFY(waitForList(form));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{2});

        // Clearing the box shows the full list.
        form.SzukanyCiag->clear();
        QVERIFY(waitForList(form));
        QCOMPARE(form.listedNoteIds(), (QList<qint32>{4, 3, 2, 1}));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{2});
    }

    void apostropheSearch()
    {
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("Call O'Brien"), QStringLiteral("2024.01.01 10:00:00"));
        insertNote(db, 2, QStringLiteral("OBrien"), QStringLiteral("2024.01.02 10:00:00"));
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(typeSearch(form, QStringLiteral("o'brien")));
        QCOMPARE(listedTitles(form), QStringList{u"Call O'Brien"_s});
    }

    void searchShowsTheLastTextTyped()
    {
        TestDatabase db;
        for (int i = 1; i <= 40; ++i) {
            insertNote(db, i, QStringLiteral("note %1").arg(i),
                       QStringLiteral("2024.01.01 10:%1:00").arg(i, 2, 10, QLatin1Char('0')));
        }
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        // Several texts in a row without waiting: only the last one's result stays.
        QTest::keyClicks(form.SzukanyCiag, QStringLiteral("note 1"));
        QTest::keyClick(form.SzukanyCiag, Qt::Key_Backspace);
        QTest::keyClicks(form.SzukanyCiag, QStringLiteral("3"));
        const QList<qint32> expected{39, 38, 37, 36, 35, 34, 33, 32, 31, 30, 3};
        QVERIFY(waitForList(form));
        QCOMPARE(form.listedNoteIds(), expected);
        // Every stale result has come and gone; none replaced the list.
        QVERIFY(waitUntilListSettled(form));
        QCOMPARE(form.listedNoteIds(), expected);
    }

    void reloadSupersedesAPendingSearch()
    {
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("milk"), QStringLiteral("2024.01.01 10:00:00"));
        insertNote(db, 2, QStringLiteral("bread"), QStringLiteral("2024.01.02 10:00:00"));
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QTest::keyClicks(form.SzukanyCiag, QStringLiteral("milk"));
        // A reload of the full list (an alarm firing, a deletion) made before the search result
        // arrives wins over it.
        QVERIFY(form.LoadNotes());
        QVERIFY(waitForList(form));
        QVERIFY(waitUntilListSettled(form));
        QCOMPARE(form.listedNoteIds(), (QList<qint32>{2, 1}));
        QCOMPARE(form.SzukanyCiag->text(), QStringLiteral("milk"));
        // The synchronous refresh runs the search of the box's text.
        QVERIFY(form.RefreshNotes());
        QCOMPARE(form.listedNoteIds(), QList<qint32>{1});
    }

    void selectionSurvivesReloads()
    {
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("first"), QStringLiteral("2024.01.01 10:00:00"));
        insertNote(db, 2, QStringLiteral("second"), QStringLiteral("2024.01.02 10:00:00"));
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        clickRow(form, 1);
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1});

        // A newer note from elsewhere moves the selected one down a row.
        insertNote(db, 3, QStringLiteral("third"), QStringLiteral("2024.01.03 10:00:00"));
        QVERIFY(form.LoadNotes());
        QCOMPARE(form.listedNoteIds(), (QList<qint32>{3, 2, 1}));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1});
        QCOMPARE(form.LVNotatki->currentIndex().row(), 2);
        QVERIFY(form.MMPodgladEdycja->isEnabled());

        // A click on the empty part of the list only unselects: the note stays current.
        QTest::mouseClick(form.LVNotatki->viewport(), Qt::LeftButton, {},
                          QPoint(5, form.LVNotatki->viewport()->height() - 3));
        QVERIFY(selectedNoteIds(form).isEmpty());
        QVERIFY(!form.MMPodgladEdycja->isEnabled());
        QCOMPARE(form.CurrentNoteId, 1);
        QVERIFY(form.LoadNotes());
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1});
    }

    void keyboardSelectsTheRowItLandsOn()
    {
        // Tab from the search box into a list with nothing selected selects its current row;
        // Home, End and the page keys select the row they land on, also the current one.
        TestDatabase db;
        for (int id = 1; id <= 40; ++id)
            insertNote(db, id, QStringLiteral("note %1").arg(id),
                       QStringLiteral("2024.01.01 10:%1:00").arg(id, 2, 10, QLatin1Char('0')));
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        form.ShowMainWindow();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.CurrentNoteId = -1;
        QVERIFY(form.LoadNotes());
        QVERIFY(selectedNoteIds(form).isEmpty());
        const QList<qint32> ids = form.listedNoteIds();

        form.SzukanyCiag->setFocus();
        QTest::keyClick(form.SzukanyCiag, Qt::Key_Tab);
        QVERIFY(form.LVNotatki->hasFocus());
        QCOMPARE(selectedNoteIds(form), QList<qint32>{ids.first()});
        QVERIFY(form.MMPodgladEdycja->isEnabled());
        QCOMPARE(form.CurrentNoteId, ids.first());

        // A row current but unselected (a click into the empty part unselects it).
        QTest::mouseClick(form.LVNotatki->viewport(), Qt::LeftButton, {},
                          QPoint(5, form.LVNotatki->viewport()->height() - 3));
        form.LVNotatki->selectionModel()->clearSelection();
        form.LVNotatki->setCurrentIndex(QModelIndex());
        form.LVNotatki->selectionModel()->setCurrentIndex(form.notesModel()->index(0, 0),
                                                          QItemSelectionModel::NoUpdate);
        QVERIFY(selectedNoteIds(form).isEmpty());
        QTest::keyClick(form.LVNotatki, Qt::Key_Home);
        QCOMPARE(selectedNoteIds(form), QList<qint32>{ids.first()});
        QTest::keyClick(form.LVNotatki, Qt::Key_End);
        QCOMPARE(selectedNoteIds(form), QList<qint32>{ids.last()});
        QTest::keyClick(form.LVNotatki, Qt::Key_PageUp);
        QCOMPARE(selectedNoteIds(form).size(), 1);
        QVERIFY(selectedNoteIds(form).first() != ids.last());
        QCOMPARE(form.CurrentNoteId, selectedNoteIds(form).first());
        const qint32 pageUp = form.CurrentNoteId;
        QTest::keyClick(form.LVNotatki, Qt::Key_PageDown);
        QCOMPARE(selectedNoteIds(form).size(), 1);
        QVERIFY(selectedNoteIds(form).first() != pageUp);
        QCOMPARE(form.LVNotatki->currentIndex().row(),
                 int(ids.indexOf(selectedNoteIds(form).first())));
        QVERIFY(form.LVNotatki->allColumnsShowFocus());
    }

    void selectedNoteIsScrolledIntoView()
    {
        TestDatabase db;
        for (int i = 1; i <= 300; ++i) {
            insertNote(db, i, QStringLiteral("note %1").arg(i),
                       QStringLiteral("2024.01.01 %1:%2:00")
                           .arg(i / 60, 2, 10, QLatin1Char('0'))
                           .arg(i % 60, 2, 10, QLatin1Char('0')));
        }
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        form.CurrentNoteId = 1; // the oldest, at the bottom
        QVERIFY(form.LoadNotes());
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1});
        const QModelIndex index = form.notesModel()->index(299, 0);
        QVERIFY(form.LVNotatki->viewport()->rect().intersects(form.LVNotatki->visualRect(index)));
    }

    void commandsNeedExactlyOneSelection()
    {
        TestDatabase db;
        auto dm = db.open();
        ModalWatcher watcher([](QWidget* modal) {
            QFAIL("no dialog may open without a selection");
            modal->close();
        });
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        QVERIFY(form.listedNoteIds().isEmpty());
        QVERIFY(!form.MMUsun->isEnabled());
        QVERIFY(!form.SBUsun->isEnabled());
        QVERIFY(!form.MMPodgladEdycja->isEnabled());
        // The commands do nothing on an empty list, by key or called directly.
        form.SzukanyCiag->setFocus();
        QTest::keyClick(form.SzukanyCiag, Qt::Key_Delete);
        QTest::keyClick(form.SzukanyCiag, Qt::Key_F2);
        form.DeleteSelectedNote();
        form.NotatkaPokazEdytujExecute();
        QVERIFY(!form.alarmChecker()->isPaused());
        QVERIFY(watcher.messages.isEmpty());
    }

    void blinkTogglesTheLeadingRunningItems_data()
    {
        QTest::addColumn<QList<int>>("states"); // alarm states, newest note first
        QTest::addColumn<QList<int>>("afterOneBeat");
        QTest::newRow("empty list") << QList<int>{} << QList<int>{};
        QTest::newRow("two running above a plain note")
            << QList<int>{1, 1, 0, 2} << QList<int>{3, 3, 0, 1};
        QTest::newRow("only running") << QList<int>{1, 1, 1} << QList<int>{3, 3, 3};
        QTest::newRow("plain note on top") << QList<int>{0, 3} << QList<int>{0, 1};
        QTest::newRow("planned note on top") << QList<int>{2, 0} << QList<int>{1, 0};
    }
    void blinkTogglesTheLeadingRunningItems()
    {
        QFETCH(QList<int>, states);
        QFETCH(QList<int>, afterOneBeat);
        TestDatabase db;
        for (int i = 0; i < states.size(); ++i) {
            insertNote(db, i + 1, QStringLiteral("n%1").arg(i),
                       QStringLiteral("2024.01.%1 10:00:00").arg(28 - i), states[i]);
        }
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        const QList<int> loaded = listedImages(form);
        form.BlinkRunningAlarms();
        QCOMPARE(listedImages(form), afterOneBeat);
        form.BlinkRunningAlarms();
        QCOMPARE(listedImages(form), loaded);
        // A reload starts every running note at image 2 again.
        form.BlinkRunningAlarms();
        QVERIFY(form.LoadNotes());
        QCOMPARE(listedImages(form), loaded);
    }

    void blinkingThreadBeats()
    {
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("running"), QStringLiteral("2024.01.01 10:00:00"),
                   AlarmRunning);
        insertNote(db, 2, QStringLiteral("plain"), QStringLiteral("2024.01.02 10:00:00"),
                   AlarmNone);
        auto dm = db.open();
        FormMainOptions options = quietWindowOptions();
        // Slow enough that the list is looked at several times within each beat.
        options.blinkInterval = std::chrono::milliseconds(300);
        TFormMain form(*dm, options);
        form.ShowMainWindow();
        QTRY_COMPARE(listedImages(form), (QList<int>{3, 0}));
        QTRY_COMPARE(listedImages(form), (QList<int>{2, 0}));
    }

    void failureMidRefillKeepsTheRowsReadSoFar()
    {
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("running"), QStringLiteral("2024.01.09 10:00:00"),
                   AlarmRunning);
        insertNote(db, 2, QStringLiteral("newest"), QStringLiteral("2024.01.08 10:00:00"));
        insertNote(db, 3, QStringLiteral("broken"), QStringLiteral("2024.01.07 10:00:00"));
        insertNote(db, 4, QStringLiteral("oldest"), QStringLiteral("2024.01.06 10:00:00"));
        auto dm = db.open();
        ModalWatcher watcher;
        TFormMain form(*dm, quietWindowOptions());
        QCOMPARE(form.listedNoteIds(), (QList<qint32>{1, 2, 3, 4}));

        // Reading note 3 now fails in the engine, half way through the second statement.
        db.execute(QStringLiteral("ALTER TABLE NOTATKI ADD Boom COMPUTED BY (1 / (ID - 3))"));
        const NoteListFill& fill = *form.noteListFill();
        form.LoadNotes();
        QCOMPARE(form.listedNoteIds(), (QList<qint32>{1, 2}));
        QVERIFY(!fill.lastFillSucceeded());
        // The sign of a fill under way ends with the failure.
        QVERIFY(!form.ListFillBusy->isVisible());
        form.SearchNotes(QStringLiteral("e"));
        QCOMPARE(form.listedNoteIds(), (QList<qint32>{2}));
        QVERIFY(!fill.lastFillSucceeded());
        // The same through typing.
        QVERIFY(typeSearch(form, QStringLiteral("n")));
        QCOMPARE(form.listedNoteIds(), (QList<qint32>{1, 2}));
        QVERIFY(!fill.lastFillSucceeded());
        QVERIFY(!form.ListFillBusy->isVisible());
        // The failed fills are over, and nothing they set off showed a message.
        QVERIFY(waitUntilListSettled(form));
        QVERIFY(watcher.messages.isEmpty());
    }

    void openingARunningNoteAcknowledgesIt_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<qint32>>("afterwards");
        QTest::addColumn<QList<int>>("images");
        QTest::newRow("enter") << "enter"
                               << "" << QList<qint32>{2, 4, 3, 1} << QList<int>{2, 0, 0, 1};
        // The reload keeps the search: "alarm two" does not contain the text.
        QTest::newRow("f2 while searching") << "f2"
                                            << "e" << QList<qint32>{4, 3, 1} << QList<int>{0, 0, 1};
        QTest::newRow("double click") << "double click"
                                      << "" << QList<qint32>{2, 4, 3, 1} << QList<int>{2, 0, 0, 1};
    }
    void openingARunningNoteAcknowledgesIt()
    {
        QFETCH(QString, how);
        QFETCH(QString, search);
        QFETCH(QList<qint32>, afterwards);
        QFETCH(QList<int>, images);
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("alarm one"), QStringLiteral("2024.01.01 10:00:00"),
                   AlarmRunning);
        insertNote(db, 2, QStringLiteral("alarm two"), QStringLiteral("2023.01.01 10:00:00"),
                   AlarmRunning);
        insertNote(db, 3, QStringLiteral("note"), QStringLiteral("2024.02.01 10:00:00"), AlarmNone);
        insertNote(db, 4, QStringLiteral("other"), QStringLiteral("2024.03.01 10:00:00"),
                   AlarmNone);
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        if (!search.isEmpty())
            QVERIFY(typeSearch(form, search));
        QCOMPARE(form.listedNoteIds().first(), 1);
        clickRow(form, 0);

        // What stands in the database and the list at the moment the editor shows.
        struct Seen
        {
            bool shown = false;
            QString alarm, acknowledged;
            QList<qint32> ids;
            QList<int> images;
            QList<qint32> selected;
            bool checkerPaused = false;
        } seen;
        ModalWatcher watcher([&](QWidget* editor) {
            seen.shown = true;
            seen.alarm = db.scalar(QStringLiteral("SELECT Alarm FROM NOTATKI WHERE ID = 1"));
            seen.acknowledged =
                db.scalar(QStringLiteral("SELECT AlarmArchiwum FROM NOTATKI WHERE ID = 1"));
            seen.ids = form.listedNoteIds();
            seen.images = listedImages(form);
            seen.selected = selectedNoteIds(form);
            seen.checkerPaused = form.alarmChecker()->isPaused();
            editor->close();
        });
        if (how == QLatin1String("enter")) {
            QTest::keyClick(form.LVNotatki, Qt::Key_Return);
        } else if (how == QLatin1String("f2")) {
            QTest::keyClick(form.SzukanyCiag, Qt::Key_F2);
        } else {
            const QRect rect = form.LVNotatki->visualRect(form.notesModel()->index(0, 0));
            QTest::mouseDClick(form.LVNotatki->viewport(), Qt::LeftButton, {}, rect.center());
        }

        QVERIFY(seen.shown);
        QCOMPARE(seen.alarm, QStringLiteral("3"));
        QVERIFY(!seen.acknowledged.isEmpty());
        // Reloaded before the editor: the note left the top group and stays selected.
        QCOMPARE(seen.ids, afterwards);
        QCOMPARE(seen.images, images);
        QCOMPARE(seen.selected, QList<qint32>{1});
        QVERIFY(seen.checkerPaused);
        QVERIFY(!form.alarmChecker()->isPaused());

        // Opening a note without a running alarm leaves its state alone.
        clickRow(form, int(afterwards.indexOf(4)));
        QTest::keyClick(form.LVNotatki, Qt::Key_Return);
        QCOMPARE(db.scalar(QStringLiteral("SELECT Alarm FROM NOTATKI WHERE ID = 4")),
                 QStringLiteral("0"));
        QCOMPARE(form.listedNoteIds(), afterwards);
    }

    void failedAlarmStateReadIsShown()
    {
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("note"), QStringLiteral("2024.01.01 10:00:00"),
                   AlarmRunning);
        auto dm = db.open();
        ModalWatcher watcher;
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        clickRow(form, 0);
        db.execute(QStringLiteral("ALTER TABLE NOTATKI ALTER COLUMN Alarm TO AlarmStan"));
        QTest::keyClick(form.LVNotatki, Qt::Key_Return);
        QCOMPARE(watcher.messages.size(), 1);
        QVERIFY2(watcher.messages.first().contains(QStringLiteral("ALARM"), Qt::CaseInsensitive),
                 qPrintable(watcher.messages.first()));
        QVERIFY(!form.alarmChecker()->isPaused());
    }
};

QTEST_MAIN(TestNoteList)
#include "TestNoteList.moc"
