#include "core/notes/AlarmValidation.h"
#include "gui/main/FormMain.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/LimitedMemo.h"
#include "gui/tray/Tray.h"
#include "support/ModalWatcher.h"
#include "support/NoteFixture.h"
#include "support/NoteListDriver.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// What a test saw of the editor while it was open.
struct EditorSeen
{
    QPointer<TFormNotatka> editor;
    QString mode;
    QString title;
    qint32 noteId = 0;
    bool checkerPaused = false;
    bool modal = false;
    QWidget* parent = nullptr;
};

// Hands the open editor to act, after noting what it showed; any other window is rejected.
ModalWatcher* watchEditor(QObject* owner, TFormMain& main, EditorSeen& seen,
                          std::function<void(TFormNotatka&)> act)
{
    auto* watcher = new ModalWatcher([&main, &seen, act](QWidget* w) {
        auto* editor = qobject_cast<TFormNotatka*>(w);
        if (!editor) {
            if (auto* dialog = qobject_cast<QDialog*>(w))
                dialog->reject();
            return;
        }
        seen.editor = editor;
        seen.mode = editor->StatusFormatki->text();
        seen.title = editor->Tytul->text();
        seen.noteId = editor->NoteId;
        seen.checkerPaused = main.alarmChecker() && main.alarmChecker()->isPaused();
        seen.modal = editor->isModal();
        seen.parent = editor->parentWidget();
        act(*editor);
        if (editor->isVisible())
            editor->reject();
    });
    watcher->setParent(owner);
    return watcher;
}

// A quit asks the application to leave every event loop, and every loop started after that
// ends at once. One run of the application's own loop, ended as soon as it starts, clears it
// for the next case.
void endQuitRun()
{
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

const QString kSaveQuestion = QStringLiteral("Save the changes to this note?");

// Types text into the open editor's message and, with alarmDays, ticks the alarm (when not
// ticked) and moves its date that many days from today.
void typeIntoEditor(TFormNotatka& editor, const QString& text, int alarmDays)
{
    QTest::keyClicks(editor.Tresc, text);
    if (alarmDays != 0) {
        editor.cAlarm->setChecked(true);
        editor.dtDate->setDate(QDate::currentDate().addDays(alarmDays));
    }
}

} // namespace

// The note editor opened by the real main window: the mode it is given, the pause of the alarm
// checker around it, and the main window's state after it closes.
class TestEditorInMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void newNoteCommand()
    {
        TestDatabase db;
        insertNote(db, NoteSeed{.id = 10});
        auto dm = db.open();
        TFormMain main(*dm, FormMainOptions{});
        EditorSeen seen;
        QObject scope;
        watchEditor(&scope, main, seen, [](TFormNotatka& editor) {
            editor.Tresc->setStoredText(QStringLiteral("from the menu"));
            editor.OK->click();
        });
        main.MMNowaNotatka->trigger();

        QCOMPARE(seen.mode, QStringLiteral("New note"));
        QCOMPARE(seen.noteId, -1);
        QCOMPARE(seen.title, QStringLiteral("Note no 2"));
        QVERIFY(seen.checkerPaused);
        QVERIFY(seen.modal);
        QCOMPARE(seen.parent, &main);
        QVERIFY(!main.alarmChecker()->isPaused());
        QCOMPARE(main.CurrentNoteId, 11);
        QCOMPARE(noteColumns(db, 11, {u"Tytul"_s, u"Tresc"_s, u"Alarm"_s}),
                 QStringLiteral("Note no 2 | from the menu | 0"));
        // The editor freed itself when it closed.
        QTRY_VERIFY(seen.editor.isNull());
    }

    void existingNoteIsOpenedForEditing()
    {
        TestDatabase db;
        insertNote(db, NoteSeed{.id = 20, .title = QStringLiteral("Plans"), .alarm = 2});
        auto dm = db.open();
        TFormMain main(*dm, FormMainOptions{});
        main.CurrentNoteId = 20;
        EditorSeen seen;
        QObject scope;
        watchEditor(&scope, main, seen, [](TFormNotatka& editor) {
            editor.Tytul->setText(QStringLiteral("Plans for May"));
            editor.OK->click();
        });
        QVERIFY(main.PauseAlarmChecker());
        main.showNoteEditor(20);
        main.ResumeAlarmChecker();

        QCOMPARE(seen.mode, QStringLiteral("View / Edit"));
        QCOMPARE(seen.noteId, 20);
        QCOMPARE(seen.title, QStringLiteral("Plans"));
        QCOMPARE(main.CurrentNoteId, 20);
        QCOMPARE(noteColumns(db, 20, {u"Tytul"_s, u"Alarm"_s}),
                 QStringLiteral("Plans for May | 2"));
        QTRY_VERIFY(seen.editor.isNull());
    }

    void noteChangedElsewhereIsListedAsANewNote()
    {
        // Another program saves the note while it is open here: both texts are listed.
        TestDatabase db;
        insertNote(db, NoteSeed{.id = 20, .title = QStringLiteral("Plans")});
        auto dm = db.open();
        auto other = db.open();
        TFormMain main(*dm, FormMainOptions{});
        EditorSeen seen;
        QObject scope;
        QStringList messages;
        watchEditor(&scope, main, seen, [&](TFormNotatka& editor) {
            editor.Tytul->setText(QStringLiteral("Plans for May"));
            other->transact([](DbSession& s) {
                s.execute(QStringLiteral("UPDATE NOTATKI SET Tytul = 'Plans for June' "
                                         "WHERE ID = 20"));
            });
            // The message the save shows opens over the editor, while the watcher that
            // handed it over still waits for it.
            ModalWatcher overEditor;
            editor.OK->click();
            messages = overEditor.messages;
        });
        main.CurrentNoteId = 20;
        QVERIFY(main.PauseAlarmChecker());
        main.showNoteEditor(20);
        main.ResumeAlarmChecker();

        QCOMPARE(messages,
                 QStringList{QStringLiteral("This note was changed elsewhere while you were "
                                            "editing it. Your text is saved as a new note.")});
        // Newest first: the seeded note is dated 2030, the new one now.
        QCOMPARE(listedTitles(main),
                 (QStringList{QStringLiteral("Plans for June"), QStringLiteral("Plans for May")}));
        QVERIFY(main.CurrentNoteId > 20);
        QCOMPARE(selectedNoteIds(main), QList<qint32>{main.CurrentNoteId});
        QCOMPARE(noteColumns(db, main.CurrentNoteId, {u"Tytul"_s, u"Tresc"_s}),
                 QStringLiteral("Plans for May | milk\r\nbread"));
        QTRY_VERIFY(seen.editor.isNull());
    }

    void cancelledEditorWritesNothing()
    {
        TestDatabase db;
        insertNote(db, NoteSeed{.id = 30});
        const QString before = noteColumns(db, 30, {u"Tytul"_s, u"Tresc"_s}) + alarmColumns(db, 30);
        auto dm = db.open();
        TFormMain main(*dm, FormMainOptions{});
        EditorSeen seen;
        QObject scope;
        watchEditor(&scope, main, seen, [](TFormNotatka& editor) {
            editor.Tytul->setText(QStringLiteral("never stored"));
            QTest::keyClick(editor.Tytul, Qt::Key_Escape);
        });
        main.MMNowaNotatka->trigger();
        main.showNoteEditor(30);

        QVERIFY(!seen.title.isEmpty());
        QCOMPARE(noteColumns(db, 30, {u"Tytul"_s, u"Tresc"_s}) + alarmColumns(db, 30), before);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")), QStringLiteral("1"));
        QVERIFY(!main.alarmChecker()->isPaused());
    }

    void trayWhileTheEditorIsOpen()
    {
        // The editor is modal to the main window only: a window outside it (as the tray
        // icon's own window is on an XEmbed tray) still takes clicks, and the tray's commands
        // lead back to the open editor instead of opening a second one.
        TestDatabase db;
        auto dm = db.open();
        TFormMain main(*dm, FormMainOptions{});
        QWidget outside;
        outside.setWindowTitle(QStringLiteral("outside"));
        outside.resize(60, 40);
        outside.show();
        QVERIFY(QTest::qWaitForWindowExposed(&outside));
        int clicksOutside = 0;
        struct ClickCounter : QObject
        {
            int& count;
            ClickCounter(int& c) : count(c) {}
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::MouseButtonPress)
                    ++count;
                return false;
            }
        } counter(clicksOutside);
        outside.installEventFilter(&counter);

        int editorsOpened = 0;
        Qt::WindowModality modality = Qt::NonModal;
        bool shownAgainByClick = false;
        bool shownAgainByOpen = false;
        bool pausedThroughout = true;
        bool stillTheOpenDialog = false;
        QObject scope;
        auto* watcher = new ModalWatcher([&](QWidget* w) {
            auto* editor = qobject_cast<TFormNotatka*>(w);
            ++editorsOpened;
            if (!editor || editorsOpened > 1) {
                static_cast<QDialog*>(w)->reject();
                return;
            }
            modality = editor->windowModality();
            QTest::mouseClick(outside.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));

            main.hide();
            emit main.tray()->icon()->activated(QSystemTrayIcon::Trigger);
            shownAgainByClick = main.isVisible() && editor->isVisible();
            main.tray()->newNoteAction()->trigger();
            pausedThroughout = pausedThroughout && main.alarmChecker()->isPaused();
            main.hide();
            main.tray()->openAction()->trigger();
            shownAgainByOpen = main.isVisible() && editor->isVisible();
            main.MMNowaNotatka->trigger();
            pausedThroughout = pausedThroughout && main.alarmChecker()->isPaused();
            stillTheOpenDialog = main.openDialog() == editor;
            editor->Tytul->setText(QStringLiteral("the one editor"));
            editor->OK->click();
        });
        watcher->setParent(&scope);
        main.tray()->newNoteAction()->trigger();

        QCOMPARE(editorsOpened, 1);
        QCOMPARE(modality, Qt::WindowModal);
        QCOMPARE(clicksOutside, 1);
        QVERIFY(shownAgainByClick);
        QVERIFY(shownAgainByOpen);
        QVERIFY(pausedThroughout);
        QVERIFY(stillTheOpenDialog);
        QVERIFY(!main.alarmChecker()->isPaused());
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")), QStringLiteral("1"));
        QCOMPARE(noteColumns(db, main.CurrentNoteId, {u"Tytul"_s}),
                 QStringLiteral("the one editor"));
    }

    void deleteQuestionIsModalToTheMainWindow()
    {
        TestDatabase db;
        insertNote(db, NoteSeed{.id = 5});
        auto dm = db.open();
        TFormMain main(*dm, FormMainOptions{});
        main.CurrentNoteId = 5;
        QVERIFY(main.LoadNotes());
        // The fill streams in; the command needs the note selected.
        QVERIFY(waitForList(main));
        QTRY_COMPARE(selectedNoteIds(main), QList<qint32>{5});
        Qt::WindowModality modality = Qt::NonModal;
        int editorsOpened = 0;
        QObject scope;
        auto* watcher = new ModalWatcher([&](QWidget* w) {
            if (qobject_cast<TFormNotatka*>(w))
                ++editorsOpened;
            else
                modality = w->windowModality();
            // The tray's New note leads back to the question.
            main.tray()->newNoteAction()->trigger();
            static_cast<QDialog*>(w)->reject();
        });
        watcher->setParent(&scope);
        main.DeleteSelectedNote();
        QCOMPARE(modality, Qt::WindowModal);
        QCOMPARE(editorsOpened, 0);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")), QStringLiteral("1"));
    }

    // "Close" from a menu while the editor holds changes asks first. The question is answered
    // in the editor's own event loop, as a user would.
    void closeAsksAboutChanges_data()
    {
        QTest::addColumn<bool>("fromTray");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("alarmDays");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("quits");
        QTest::addColumn<QString>("stored");
        const QString none = QStringLiteral("0");
        QTest::newRow("Yes saves and quits")
            << true << QStringLiteral("buy stamps") << 0 << int(QMessageBox::Yes)
            << QStringList{kSaveQuestion} << true << QStringLiteral("Note no 1 | buy stamps | 0");
        QTest::newRow("Yes with an alarm ahead")
            << false << QStringLiteral("buy stamps") << 2 << int(QMessageBox::Yes)
            << QStringList{kSaveQuestion} << true << QStringLiteral("Note no 1 | buy stamps | 2");
        QTest::newRow("No quits without saving")
            << false << QStringLiteral("buy stamps") << 0 << int(QMessageBox::No)
            << QStringList{kSaveQuestion} << true << none;
        QTest::newRow("Cancel keeps running")
            << true << QStringLiteral("buy stamps") << 0 << int(QMessageBox::Cancel)
            << QStringList{kSaveQuestion} << false << none;
        QTest::newRow("Yes with a refused alarm keeps the editor")
            << true << QStringLiteral("buy stamps") << -1 << int(QMessageBox::Yes)
            << QStringList{kSaveQuestion, alarmVerdictMessage(AlarmVerdict::DateBeforeToday)}
            << false << none;
        QTest::newRow("nothing typed: no question")
            << true << QString() << 0 << int(QMessageBox::Cancel) << QStringList() << true << none;
    }
    void closeAsksAboutChanges()
    {
        QFETCH(bool, fromTray);
        QFETCH(QString, typed);
        QFETCH(int, alarmDays);
        QFETCH(int, answer);
        QFETCH(QStringList, messages);
        QFETCH(bool, quits);
        QFETCH(QString, stored);
        TestDatabase db;
        auto dm = db.open();
        TFormMain main(*dm, FormMainOptions{});
        QPointer<TFormNotatka> editor;
        bool openAfterClose = false;
        QObject scope;
        auto* watcher = new ModalWatcher([&](QWidget* w) {
            auto* form = qobject_cast<TFormNotatka*>(w);
            // Back at the editor after the program kept running: the test closes it.
            if (!form || editor) {
                if (auto* dialog = qobject_cast<QDialog*>(w))
                    dialog->reject();
                return;
            }
            editor = form;
            typeIntoEditor(*form, typed, alarmDays);
            // From the editor's loop, where the user's click would come from.
            QTimer::singleShot(0, &main, [&] {
                (fromTray ? main.tray()->closeAction() : main.MMZakoncz)->trigger();
                openAfterClose = editor && editor->isVisible();
            });
        });
        watcher->answer = answer;
        watcher->setParent(&scope);
        main.tray()->newNoteAction()->trigger();

        QVERIFY(editor.isNull() || !editor->isVisible());
        QCOMPARE(watcher->messages, messages);
        QCOMPARE(main.isQuitting(), quits);
        QCOMPARE(openAfterClose, !quits);
        if (stored == QStringLiteral("0"))
            QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")), stored);
        else
            QCOMPARE(noteColumns(db, 1, {u"Tytul"_s, u"Tresc"_s, u"Alarm"_s}), stored);
        if (quits)
            endQuitRun();
    }

    // Log-out and the termination signals cannot ask: what was typed is saved, with the alarm
    // only where OK would accept it, and nothing is shown.
    void quitWithoutQuestionsSavesTheEditor_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("alarmDays");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("alarmKept");
        QTest::newRow("new note") << false << 0 << QStringLiteral("Note no 1 |  ring Ann | 0")
                                  << false;
        QTest::newRow("new note, alarm ahead")
            << false << 3 << QStringLiteral("Note no 1 |  ring Ann | 2") << false;
        QTest::newRow("new note, alarm in the past: none")
            << false << -1 << QStringLiteral("Note no 1 |  ring Ann | 0") << false;
        QTest::newRow("edited note")
            << true << 0 << QStringLiteral("Shopping | milk\r\nbread ring Ann | 2") << true;
        QTest::newRow("edited note, alarm moved to the past: stored alarm kept")
            << true << -1 << QStringLiteral("Shopping | milk\r\nbread ring Ann | 2") << true;
    }
    void quitWithoutQuestionsSavesTheEditor()
    {
        QFETCH(bool, existing);
        QFETCH(int, alarmDays);
        QFETCH(QString, stored);
        QFETCH(bool, alarmKept);
        TestDatabase db;
        if (existing)
            // A planned alarm (state 2) on a whole minute, as the editor stores one.
            insertNote(db, NoteSeed{.id = 1, .alarm = 2, .time = QStringLiteral("'08:15:00'")});
        const QString alarmBefore = alarmColumns(db, 1);
        auto dm = db.open();
        TFormMain main(*dm, FormMainOptions{});
        bool opened = false;
        QObject scope;
        auto* watcher = new ModalWatcher([&](QWidget* w) {
            auto* form = qobject_cast<TFormNotatka*>(w);
            if (!form || opened) {
                if (auto* dialog = qobject_cast<QDialog*>(w))
                    dialog->reject();
                return;
            }
            opened = true;
            QTest::keyClick(form->Tresc, Qt::Key_End, Qt::ControlModifier);
            typeIntoEditor(*form, QStringLiteral(" ring Ann"), alarmDays);
            QTimer::singleShot(0, &main, [&] { main.quitWithoutQuestions(); });
        });
        watcher->setParent(&scope);
        QElapsedTimer clock;
        if (existing) {
            QVERIFY(main.PauseAlarmChecker());
            clock.start();
            main.showNoteEditor(1);
            main.ResumeAlarmChecker();
        } else {
            clock.start();
            main.tray()->newNoteAction()->trigger();
        }

        QVERIFY(opened);
        QVERIFY(main.isQuitting());
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(watcher->messages, QStringList());
        QCOMPARE(noteColumns(db, 1, {u"Tytul"_s, u"Tresc"_s, u"Alarm"_s}), stored);
        if (alarmKept)
            QCOMPARE(alarmColumns(db, 1), alarmBefore);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")), QStringLiteral("1"));
        endQuitRun();
    }

    // The delete question holds nothing typed: Close closes it and the note stays.
    void closeWhileTheDeleteQuestionIsOpen()
    {
        TestDatabase db;
        insertNote(db, NoteSeed{.id = 5});
        auto dm = db.open();
        TFormMain main(*dm, FormMainOptions{});
        main.CurrentNoteId = 5;
        QVERIFY(main.LoadNotes());
        QVERIFY(waitForList(main));
        QTRY_COMPARE(selectedNoteIds(main), QList<qint32>{5});
        bool questionOpen = false;
        QObject scope;
        auto* watcher = new ModalWatcher([&](QWidget* w) {
            questionOpen = w->objectName() == QStringLiteral("FormUsuwanie");
            QTimer::singleShot(0, &main, [&] { main.tray()->closeAction()->trigger(); });
        });
        watcher->setParent(&scope);
        main.DeleteSelectedNote();
        QVERIFY(questionOpen);
        QVERIFY(main.isQuitting());
        QCOMPARE(watcher->messages, QStringList());
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")), QStringLiteral("1"));
        endQuitRun();
    }

    // Last: it ends the event loops of this process.
    void closeFromTheTrayWhileTheEditorIsOpen()
    {
        TestDatabase db;
        auto dm = db.open();
        TFormMain main(*dm, FormMainOptions{});
        bool editorWasOpen = false;
        QObject scope;
        auto* watcher = new ModalWatcher([&](QWidget* w) {
            editorWasOpen = qobject_cast<TFormNotatka*>(w) != nullptr;
            // Left open: Close must end the program around it.
            main.tray()->closeAction()->trigger();
        });
        watcher->setParent(&scope);
        main.tray()->newNoteAction()->trigger();
        QVERIFY(editorWasOpen);
        QVERIFY(main.isQuitting());
        QVERIFY(!main.alarmChecker()->isPaused());
        bool isNumber = false;
        db.scalar(QStringLiteral("SELECT Wartosc FROM USTAWIENIA WHERE Ustawienie = "
                                 "'FormMainWidth'"))
            .toInt(&isNumber);
        QVERIFY(isNumber);
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestEditorInMainWindow)
#include "TestEditorInMainWindow.moc"
