#include "gui/main/FormMain.h"
#include "gui/main/NoteListModel.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/FormUsuwanie.h"
#include "gui/web/FormOProgramie.h"
#include "support/ModalWatcher.h"
#include "support/NoteFixture.h"
#include "support/NoteListDriver.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTreeView>
#include <QtTest>
#include <memory>

namespace {

QAccessibleInterface* accessibleOf(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString nameOf(QAccessibleInterface* iface)
{
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

// The list's cell as a screen reader reaches it: through the view's table interface.
QAccessibleInterface* listCell(QTreeView* list, int row, int column)
{
    QAccessibleInterface* view = accessibleOf(list);
    if (!view || !view->tableInterface())
        return nullptr;
    return view->tableInterface()->cellAt(row, column);
}

// The cell the list's interface reports as focused, as "row,column name".
QString focusedCell(QTreeView* list)
{
    QAccessibleInterface* focused = accessibleOf(list)->focusChild();
    if (!focused || !focused->tableCellInterface())
        return QStringLiteral("<no focused cell>");
    QAccessibleTableCellInterface* cell = focused->tableCellInterface();
    return QStringLiteral("%1,%2 %3")
        .arg(cell->rowIndex())
        .arg(cell->columnIndex())
        .arg(focused->text(QAccessible::Name));
}

// One note in each alarm state. The running one is listed first, the others newest first.
void notesInEachState(const TestDatabase& db)
{
    insertNote(db, 1, QStringLiteral("Groceries"), QStringLiteral("2024.01.04 10:00:00"), 0);
    insertNote(db, 2, QStringLiteral("Dentist"), QStringLiteral("2024.01.03 10:00:00"), 2);
    insertNote(db, 3, QStringLiteral("Call Anna"), QStringLiteral("2024.01.02 10:00:00"), 3);
    insertNote(db, 4, QStringLiteral("Pills"), QStringLiteral("2024.01.01 10:00:00"), 1);
}

} // namespace

// What a screen reader finds in the real windows, read in-process through Qt's accessibility
// interfaces: the names of fields, buttons and pictures, the list's rows with the alarm state
// in words, the note named by the delete confirmation, and where the focus is as the keys move
// it.
class TestAccessibility : public QObject
{
    Q_OBJECT

    // The windows read by several tests, on one database; the tests leave them as found.
    TestDatabase db_;
    std::unique_ptr<TDM> dm_;
    std::unique_ptr<TFormMain> main_;
    RecordingNoteList editorList_;
    std::unique_ptr<TFormNotatka> editor_;
    std::unique_ptr<TFormOProgramie> about_;

    QWidget* window(const QString& which) const
    {
        if (which == QLatin1String("main"))
            return main_.get();
        if (which == QLatin1String("editor"))
            return editor_.get();
        return about_.get();
    }

    // A fresh main window with notes in each state, active, its list complete.
    static std::unique_ptr<TFormMain> activeMainWindow(TDM& dm)
    {
        auto form = std::make_unique<TFormMain>(dm, quietWindowOptions());
        if (!openMainWindow(*form, WindowShown::Active) || !waitForList(*form))
            return nullptr;
        return form;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QAccessible::setActive(true);
        notesInEachState(db_);
        dm_ = db_.open();
        main_ = std::make_unique<TFormMain>(*dm_, quietWindowOptions());
        QVERIFY(openMainWindow(*main_));
        QVERIFY(waitForList(*main_));
        editor_ = std::make_unique<TFormNotatka>(*dm_, editorList_, nullptr);
        editor_->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor_.get()));
        about_ = std::make_unique<TFormOProgramie>(QUrl(QStringLiteral("http://site.example/")));
        about_->show();
        QVERIFY(QTest::qWaitForWindowExposed(about_.get()));
    }

    void cleanupTestCase()
    {
        about_.reset();
        editor_.reset();
        main_.reset();
        dm_.reset();
    }

    // Every field, button and picture a screen reader meets has a name that says what it is.
    void controlNames_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        const auto row = [](const char* window, const char* control, const char* name,
                            QAccessible::Role role) {
            QTest::addRow("%s %s", window, control)
                << QString::fromLatin1(window) << QString::fromLatin1(control)
                << QString::fromLatin1(name) << int(role);
        };
        row("main", "SzukanyCiag", "Search", QAccessible::EditableText);
        row("main", "LVNotatki", "Notes", QAccessible::Tree);
        row("main", "SBDodaj", "New note", QAccessible::Button);
        row("main", "SBUsun", "Delete", QAccessible::Button);
        row("main", "Image1", "Magnifier", QAccessible::Graphic);
        row("editor", "Tytul", "Title", QAccessible::EditableText);
        row("editor", "Tresc", "Message", QAccessible::EditableText);
        row("editor", "dtDate", "Alarm date", QAccessible::SpinBox);
        row("editor", "dtTime", "Alarm time", QAccessible::SpinBox);
        row("editor", "pAlarm", "Alarm sign", QAccessible::Graphic);
        row("about", "I1", "Sticky note", QAccessible::Graphic);
        row("about", "I2", "Note with alarm sign", QAccessible::Graphic);
        row("about", "I3", "Running alarm sign", QAccessible::Graphic);
        row("about", "I33", "Running alarm sign", QAccessible::Graphic);
        row("about", "Label1", "site.example", QAccessible::Button);
    }
    void controlNames()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(int, role);
        auto* widget = this->window(window)->findChild<QWidget*>(control);
        QVERIFY2(widget, qPrintable(control));
        QAccessibleInterface* iface = accessibleOf(widget);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(int(iface->role()), role);
    }

    // A field with a label beside it is labelled by it, as a screen reader announces it.
    void fieldsAreLabelledByTheirLabels_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("labelText");
        QTest::newRow("search box") << "main"
                                    << "SzukanyCiag"
                                    << "Search:";
        QTest::newRow("title") << "editor"
                               << "Tytul"
                               << "Title";
        QTest::newRow("message") << "editor"
                                 << "Tresc"
                                 << "Message";
    }
    void fieldsAreLabelledByTheirLabels()
    {
        QFETCH(QString, window);
        QFETCH(QString, field);
        QFETCH(QString, labelText);
        auto* widget = this->window(window)->findChild<QWidget*>(field);
        QVERIFY(widget);
        const auto labels = accessibleOf(widget)->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->text(QAccessible::Name), labelText);
    }

    // Each row's title cell says the alarm state before the title and again as its
    // description; a plain note's says its title alone. The date cell is only the date.
    void listRowsSayTheAlarmState_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("date");
        QTest::newRow("running, first") << 0 << "running alarm: Pills"
                                        << "running alarm"
                                        << "2024-01-01 10:00";
        QTest::newRow("plain") << 1 << "Groceries"
                               << ""
                               << "2024-01-04 10:00";
        QTest::newRow("planned") << 2 << "planned alarm: Dentist"
                                 << "planned alarm"
                                 << "2024-01-03 10:00";
        QTest::newRow("acknowledged") << 3 << "acknowledged alarm: Call Anna"
                                      << "acknowledged alarm"
                                      << "2024-01-02 10:00";
    }
    void listRowsSayTheAlarmState()
    {
        QFETCH(int, row);
        QFETCH(QString, name);
        QFETCH(QString, description);
        QFETCH(QString, date);
        QAccessibleInterface* view = accessibleOf(main_->LVNotatki);
        QVERIFY(view->tableInterface());
        QCOMPARE(view->tableInterface()->rowCount(), 4);
        QAccessibleInterface* title = listCell(main_->LVNotatki, row, 0);
        QVERIFY(title);
        QCOMPARE(title->text(QAccessible::Name), name);
        QCOMPARE(title->text(QAccessible::Description), description);
        QAccessibleInterface* dateCell = listCell(main_->LVNotatki, row, 1);
        QVERIFY(dateCell);
        QCOMPARE(dateCell->text(QAccessible::Name), date);
        QCOMPARE(dateCell->text(QAccessible::Description), QString());
    }

    // The running alarm blinks by changing its picture; its words stay.
    void blinkingKeepsTheWords()
    {
        auto* model = qobject_cast<NoteListModel*>(main_->LVNotatki->model());
        QVERIFY(model);
        const int image = model->index(0, 0).data(NoteListModel::ImageIndexRole).toInt();
        model->blinkRunningAlarms();
        QVERIFY(model->index(0, 0).data(NoteListModel::ImageIndexRole).toInt() != image);
        QCOMPARE(nameOf(listCell(main_->LVNotatki, 0, 0)), QStringLiteral("running alarm: Pills"));
        model->blinkRunningAlarms();
        QCOMPARE(model->index(0, 0).data(NoteListModel::ImageIndexRole).toInt(), image);
    }

    // The question stays as it is; its description and the window's name the note.
    void deleteConfirmationNamesTheNote_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("description");
        QTest::newRow("running") << 0 << "Note: Pills";
        QTest::newRow("plain") << 1 << "Note: Groceries";
    }
    void deleteConfirmationNamesTheNote()
    {
        QFETCH(int, row);
        QFETCH(QString, description);
        bool asked = false;
        ModalWatcher watcher([&](QWidget* modal) {
            auto* dialog = qobject_cast<TFormUsuwanie*>(modal);
            QVERIFY(dialog);
            asked = true;
            QAccessibleInterface* iface = accessibleOf(dialog);
            QCOMPARE(iface->text(QAccessible::Description), description);
            QAccessibleInterface* question = accessibleOf(dialog->Label1);
            QCOMPARE(question->text(QAccessible::Name),
                     QStringLiteral("Are you sure you want to delete?"));
            QCOMPARE(question->text(QAccessible::Description), description);
            QCOMPARE(dialog->Label1->text(), QStringLiteral("Are you sure you want to delete?"));
            dialog->reject();
        });
        clickRow(*main_, row);
        main_->DeleteSelectedNote();
        QVERIFY(asked);
        QCOMPARE(db_.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")), QStringLiteral("4"));
    }

    // The editor opened for a new note has the focus in its title, and says so.
    void editorOpensOnTheTitle()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        QVERIFY(openMainWindow(form));
        QString focusedName;
        bool focusedState = false;
        QString windowFocusChild;
        ModalWatcher watcher([&](QWidget* modal) {
            auto* editor = qobject_cast<TFormNotatka*>(modal);
            QVERIFY(editor);
            // A dialog counts as active while its parent is; its own activation, which moves
            // the focus into it, can come a moment later.
            QTRY_VERIFY(QApplication::focusWidget() &&
                        QApplication::focusWidget()->window() == editor);
            QAccessibleInterface* focused = accessibleOf(QApplication::focusWidget());
            focusedName = nameOf(focused);
            focusedState = focused && focused->state().focused;
            windowFocusChild = nameOf(accessibleOf(editor)->focusChild());
            editor->reject();
        });
        form.MMNowaNotatka->trigger();
        QCOMPARE(focusedName, QStringLiteral("Title"));
        QVERIFY(focusedState);
        QCOMPARE(windowFocusChild, QStringLiteral("Title"));
    }

    // Down in the search box goes to the list's first row and selects it; Up from there goes
    // back. Up on a lower row stays in the list.
    void arrowsBetweenSearchAndList()
    {
        TestDatabase db;
        notesInEachState(db);
        auto dm = db.open();
        auto form = activeMainWindow(*dm);
        QVERIFY(form);
        QLineEdit* search = form->SzukanyCiag;
        QTreeView* list = form->LVNotatki;
        search->setFocus();
        QTRY_VERIFY(search->hasFocus());
        QVERIFY(selectedNoteIds(*form).isEmpty());

        QTest::keyClick(search, Qt::Key_Down);
        QVERIFY(list->hasFocus());
        QCOMPARE(selectedNoteIds(*form), QList<qint32>{4});
        QCOMPARE(form->CurrentNoteId, 4);
        QCOMPARE(focusedCell(list), QStringLiteral("0,0 running alarm: Pills"));

        QTest::keyClick(list, Qt::Key_Down);
        QVERIFY(list->hasFocus());
        QCOMPARE(focusedCell(list), QStringLiteral("1,0 Groceries"));
        QTest::keyClick(list, Qt::Key_Up);
        QVERIFY(list->hasFocus());
        QCOMPARE(focusedCell(list), QStringLiteral("0,0 running alarm: Pills"));

        QTest::keyClick(list, Qt::Key_Up);
        QVERIFY(search->hasFocus());
        QCOMPARE(nameOf(accessibleOf(QApplication::focusWidget())), QStringLiteral("Search"));
        // The row stays selected, as Tab back would leave it.
        QCOMPARE(selectedNoteIds(*form), QList<qint32>{4});

        // With Down pressed again from a later row selected, the first row is taken anew.
        clickRow(*form, 2);
        search->setFocus();
        QTest::keyClick(search, Qt::Key_Down);
        QVERIFY(list->hasFocus());
        QCOMPARE(selectedNoteIds(*form), QList<qint32>{4});
    }

    // An empty list keeps Down in the search box.
    void downInTheSearchBoxWithNoRows()
    {
        TestDatabase db;
        auto dm = db.open();
        auto form = activeMainWindow(*dm);
        QVERIFY(form);
        form->SzukanyCiag->setFocus();
        QTRY_VERIFY(form->SzukanyCiag->hasFocus());
        QTest::keyClick(form->SzukanyCiag, Qt::Key_Down);
        QVERIFY(form->SzukanyCiag->hasFocus());
    }

    // A click on a date leaves the focus on the row's title cell; Up and Down move it to the
    // title cell of the next row.
    void arrowsKeepTheFocusOnTheTitle_data()
    {
        QTest::addColumn<int>("clicked");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focused");
        QTest::newRow("down") << 1 << int(Qt::Key_Down) << "2,0 planned alarm: Dentist";
        QTest::newRow("up") << 2 << int(Qt::Key_Up) << "1,0 Groceries";
        QTest::newRow("down to the last")
            << 2 << int(Qt::Key_Down) << "3,0 acknowledged alarm: Call Anna";
    }
    void arrowsKeepTheFocusOnTheTitle()
    {
        QFETCH(int, clicked);
        QFETCH(int, key);
        QFETCH(QString, focused);
        TestDatabase db;
        notesInEachState(db);
        auto dm = db.open();
        auto form = activeMainWindow(*dm);
        QVERIFY(form);
        QTreeView* list = form->LVNotatki;
        const QModelIndex date = list->model()->index(clicked, 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(date).center());
        QCOMPARE(list->currentIndex(), date.siblingAtColumn(0));
        QTest::keyClick(list, Qt::Key(key));
        QCOMPARE(list->currentIndex().column(), 0);
        QCOMPARE(focusedCell(list), focused);
        QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(list->selectionModel()->selectedRows().first().row(), list->currentIndex().row());
    }
};

QTEST_MAIN(TestAccessibility)
#include "TestAccessibility.moc"
