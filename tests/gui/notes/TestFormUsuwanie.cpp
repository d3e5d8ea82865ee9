#include "gui/main/FormMain.h"
#include "gui/notes/FormUsuwanie.h"
#include "support/ModalWatcher.h"
#include "support/NoteListDriver.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

// The delete confirmation, opened from the main window with the Delete key and answered with
// keys and clicks, on a real database.
class TestFormUsuwanie : public QObject
{
    Q_OBJECT

    // Three notes listed 3, 2, 1 (newest first).
    static void threeNotes(const TestDatabase& db)
    {
        insertNote(db, 1, QStringLiteral("one"), QStringLiteral("2024.01.01 10:00:00"));
        insertNote(db, 2, QStringLiteral("two"), QStringLiteral("2024.01.02 10:00:00"));
        insertNote(db, 3, QStringLiteral("three"), QStringLiteral("2024.01.03 10:00:00"), 1);
    }

    static QString noteIds(const TestDatabase& db)
    {
        return db.scalar(QStringLiteral("SELECT CAST(LIST(ID, ',') AS VARCHAR(200)) FROM "
                                        "(SELECT ID FROM NOTATKI ORDER BY ID)"));
    }

    // Opens the confirmation for the row by the Delete key and answers it with answer.
    static void deleteRow(TFormMain& form, int row, std::function<void(TFormUsuwanie*)> answer)
    {
        bool asked = false;
        ModalWatcher watcher([&](QWidget* modal) {
            auto* dialog = qobject_cast<TFormUsuwanie*>(modal);
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            // A dialog counts as active while its parent window is; its own activation, which
            // gives Yes the focus, can come a moment later.
            QTRY_VERIFY(dialog->TAK->hasFocus());
            asked = true;
            QPointer<TFormUsuwanie> guard(dialog);
            answer(dialog);
            // A mnemonic clicks its button after a short press animation.
            if (!QTest::qWaitFor([&] { return !guard || !guard->isVisible(); }, 2000)) {
                guard->reject();
                QFAIL("the answer did not close the confirmation");
            }
        });
        clickRow(form, row);
        QTest::keyClick(form.LVNotatki, Qt::Key_Delete);
        QVERIFY(asked);
        QVERIFY(watcher.messages.isEmpty());
    }

    static void pressEnter(TFormUsuwanie*)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

private Q_SLOTS:
    void theWindow()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        TFormUsuwanie dialog(*dm, form, &form);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Quillbox - Delete"));
        QCOMPARE(dialog.size(), QSize(233, 136));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Are you sure you want to delete?"));
        QCOMPARE(dialog.TAK->text(), QStringLiteral("&Yes"));
        QCOMPARE(dialog.NIE->text(), QStringLiteral("&No"));
        QVERIFY(dialog.TAK->isDefault());
        QVERIFY(dialog.TAK->hasFocus());
        QCOMPARE(dialog.TAK->geometry(), QRect(78, 107, 72, 24));
        QCOMPARE(dialog.NIE->geometry(), QRect(155, 107, 72, 24));
        QCOMPARE(dialog.palette().color(QPalette::Window), QColor(255, 251, 240));

        // Only the button that Enter presses looks like the default one.
        QTest::keyClick(dialog.TAK, Qt::Key_Tab);
        QVERIFY(dialog.NIE->hasFocus());
        QVERIFY(dialog.NIE->isDefault());
        QVERIFY(!dialog.TAK->isDefault());
        QTest::keyClick(dialog.NIE, Qt::Key_Backtab);
        QVERIFY(dialog.TAK->hasFocus());
        QVERIFY(dialog.TAK->isDefault());
        QVERIFY(!dialog.NIE->isDefault());
    }

    // Enter right away deletes (Yes has the focus) and selects the entry that takes the
    // deleted one's place: the next one down, or the one above for the last entry.
    void deleteSelectsTheNeighbour_data()
    {
        QTest::addColumn<int>("notes");
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<qint32>>("listed");
        QTest::addColumn<QList<qint32>>("selected");
        QTest::newRow("first") << 3 << 0 << QList<qint32>{2, 1} << QList<qint32>{2};
        QTest::newRow("middle") << 3 << 1 << QList<qint32>{3, 1} << QList<qint32>{1};
        QTest::newRow("last") << 3 << 2 << QList<qint32>{3, 2} << QList<qint32>{2};
        QTest::newRow("only") << 1 << 0 << QList<qint32>{} << QList<qint32>{};
    }
    void deleteSelectsTheNeighbour()
    {
        QFETCH(int, notes);
        QFETCH(int, row);
        QFETCH(QList<qint32>, listed);
        QFETCH(QList<qint32>, selected);
        TestDatabase db;
        for (int id = 1; id <= notes; ++id) {
            insertNote(db, id, QStringLiteral("note %1").arg(id),
                       QStringLiteral("2024.01.0%1 10:00:00").arg(id));
        }
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        deleteRow(form, row, pressEnter);
        QCOMPARE(form.listedNoteIds(), listed);
        QCOMPARE(selectedNoteIds(form), selected);
        QCOMPARE(form.MMUsun->isEnabled(), !selected.isEmpty());
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")),
                 QString::number(notes - 1));
    }

    void answers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("click yes") << "click yes" << true;
        QTest::newRow("alt+y") << "alt+y" << true;
        QTest::newRow("tab to no, enter") << "tab enter" << false;
        QTest::newRow("esc") << "esc" << false;
        QTest::newRow("click no") << "click no" << false;
        QTest::newRow("close box") << "close" << false;
    }
    void answers()
    {
        QFETCH(QString, answer);
        QFETCH(bool, deleted);
        TestDatabase db;
        threeNotes(db);
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        deleteRow(form, 0, [&](TFormUsuwanie* dialog) {
            QCOMPARE(dialog->NoteId, 3);
            if (answer == QLatin1String("click yes")) {
                QTest::mouseClick(dialog->TAK, Qt::LeftButton);
            } else if (answer == QLatin1String("alt+y")) {
                QTest::keyClick(dialog->TAK, Qt::Key_Y, Qt::AltModifier);
            } else if (answer == QLatin1String("tab enter")) {
                QTest::keyClick(dialog->TAK, Qt::Key_Tab);
                QVERIFY(dialog->NIE->hasFocus());
                pressEnter(dialog);
            } else if (answer == QLatin1String("esc")) {
                QTest::keyClick(dialog, Qt::Key_Escape);
            } else if (answer == QLatin1String("click no")) {
                QTest::mouseClick(dialog->NIE, Qt::LeftButton);
            } else {
                dialog->close();
            }
        });
        QCOMPARE(noteIds(db), deleted ? QStringLiteral("1,2") : QStringLiteral("1,2,3"));
        QCOMPARE(form.listedNoteIds(), (deleted ? QList<qint32>{2, 1} : QList<qint32>{3, 2, 1}));
        QCOMPARE(selectedNoteIds(form), (deleted ? QList<qint32>{2} : QList<qint32>{3}));
    }

    // After a delete the list still shows what the search box holds, which keeps its text:
    // only the other matches, or nothing when the last match went; the neighbour picked is one
    // of the matches.
    void deleteWhileSearching_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<qint32>>("listed");
        QTest::addColumn<QList<qint32>>("selected");
        QTest::newRow("the only match") << "three" << 0 << QList<qint32>{} << QList<qint32>{};
        QTest::newRow("one of two matches") << "o" << 0 << QList<qint32>{1} << QList<qint32>{1};
    }
    void deleteWhileSearching()
    {
        QFETCH(QString, search);
        QFETCH(int, row);
        QFETCH(QList<qint32>, listed);
        QFETCH(QList<qint32>, selected);
        TestDatabase db;
        threeNotes(db);
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        QVERIFY(typeSearch(form, search));
        const QList<qint32> before = form.listedNoteIds();
        QVERIFY(!before.isEmpty());
        const qint32 deleted = before.at(row);
        deleteRow(form, row, pressEnter);
        QCOMPARE(
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI WHERE ID = %1").arg(deleted)),
            QStringLiteral("0"));
        QCOMPARE(form.SzukanyCiag->text(), search);
        QCOMPARE(form.listedNoteIds(), listed);
        QCOMPARE(selectedNoteIds(form), selected);
    }

    void noteDeletedElsewhereReloadsCleanly()
    {
        TestDatabase db;
        threeNotes(db);
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        deleteRow(form, 1, [&](TFormUsuwanie* dialog) {
            db.execute(QStringLiteral("DELETE FROM NOTATKI WHERE ID = 2"));
            pressEnter(dialog);
        });
        QCOMPARE(form.listedNoteIds(), (QList<qint32>{3, 1}));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1});
    }

    void failedDeleteStillReloads()
    {
        TestDatabase db;
        threeNotes(db);
        db.execute(QStringLiteral("CREATE EXCEPTION KEEP_NOTES 'notes are kept'"));
        db.execute(QStringLiteral("CREATE TRIGGER NO_DELETE FOR NOTATKI BEFORE DELETE AS BEGIN "
                                  "EXCEPTION KEEP_NOTES; END"));
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        QTest::ignoreMessage(
            QtWarningMsg, QRegularExpression(QStringLiteral("FormUsuwanie - Can't delete note!")));
        deleteRow(form, 1, pressEnter);
        // Nothing is shown; the note stays listed and the selection has moved on.
        QCOMPARE(noteIds(db), QStringLiteral("1,2,3"));
        QCOMPARE(form.listedNoteIds(), (QList<qint32>{3, 2, 1}));
        QCOMPARE(selectedNoteIds(form), QList<qint32>{1});
    }
};

QTEST_MAIN(TestFormUsuwanie)
#include "TestFormUsuwanie.moc"
