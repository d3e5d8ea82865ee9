#include "core/storage/AlarmColumns.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/LimitedMemo.h"
#include "gui/notes/TitleValidator.h"
#include "support/ModalWatcher.h"
#include "support/NoteFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString kNotSaved = QStringLiteral("The note could not be saved!");

bool showAsNew(TFormNotatka& editor)
{
    editor.StatusFormatki->setText(QStringLiteral("New note"));
    editor.NoteId = -1;
    editor.show();
    return QTest::qWaitForWindowExposed(&editor);
}

bool showExisting(TFormNotatka& editor, qint32 id)
{
    editor.NoteId = id;
    editor.StatusFormatki->setText(QStringLiteral("View / Edit"));
    editor.LoadNote(id);
    editor.show();
    return QTest::qWaitForWindowExposed(&editor);
}

// Takes the database file away from a connection, so that every statement fails until
// bringBack.
void takeAway(TDM& dm, const TestDatabase& db)
{
    dm.Disconnect();
    QVERIFY(QFile::rename(db.path(), db.path() + QStringLiteral(".away")));
}

void bringBack(const TestDatabase& db)
{
    QVERIFY(QFile::rename(db.path() + QStringLiteral(".away"), db.path()));
}

// A trigger that refuses every insert, and every update that changes a note's title or
// message, as a database can refuse a write.
void refuseTextWrites(const TestDatabase& db)
{
    db.execute(QStringLiteral("CREATE EXCEPTION NOTE_REFUSED 'note refused'"));
    db.execute(QStringLiteral(
        "CREATE TRIGGER NOTATKI_REFUSE_TEXT FOR NOTATKI BEFORE INSERT OR UPDATE AS BEGIN "
        "IF (INSERTING OR NEW.Tytul IS DISTINCT FROM OLD.Tytul OR "
        "NEW.Tresc IS DISTINCT FROM OLD.Tresc) THEN EXCEPTION NOTE_REFUSED; END"));
}

QString noteCount(const TestDatabase& db)
{
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI"));
}

} // namespace

// The note editor on real database files: what it shows, what OK writes for new and existing
// notes, the alarm section, and what happens when the database refuses.
// The editor's clock of the shared fixture, for the cases that make their own editor.
TFormNotatka::Clock fixedClock()
{
    return &EditorFixture::fixedNow;
}

class TestFormNotatka : public QObject
{
    Q_OBJECT
    // Answers every message box, so a message no test expected fails the test instead of
    // waiting for ever.
    std::unique_ptr<ModalWatcher> watcher_;

private Q_SLOTS:
    void init() { watcher_ = std::make_unique<ModalWatcher>(); }
    void cleanup() { watcher_.reset(); }

    void windowAndControls()
    {
        EditorFixture f;
        TFormNotatka& editor = f.openEditor();
        QCOMPARE(editor.windowTitle(), QStringLiteral("Quillbox - Note"));
        QCOMPARE(editor.size(), QSize(392, 273));
        QCOMPARE(editor.minimumSize(), QSize(392, 273));
        QVERIFY(editor.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!editor.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        const auto* titleRules = qobject_cast<const TitleValidator*>(editor.Tytul->validator());
        QVERIFY(titleRules);
        QCOMPARE(titleRules->maxLength(), 50);
        QCOMPARE(editor.dtTime->displayFormat(), QStringLiteral("HH:mm"));
        QCOMPARE(editor.LBIloscZnakow->text(), QStringLiteral("Characters left 5000"));
        QStringList kinds;
        for (int i = 0; i < editor.cbAlarm->count(); ++i)
            kinds << editor.cbAlarm->itemText(i);
        QCOMPARE(kinds, QStringList({QStringLiteral("tylko raz"), QStringLiteral("codziennie"),
                                     QStringLiteral("co tydzień"), QStringLiteral("co miesiąc"),
                                     QStringLiteral("co rok")}));
        QCOMPARE(editor.cbAlarm->currentIndex(), 0);
        QVERIFY(showAsNew(editor));
        QCOMPARE(editor.Tresc->geometry(), QRect(8, 64, 376, 135));
        QCOMPARE(editor.OK->geometry(), QRect(226, 240, 75, 25));

        // The memo follows all four edges, the buttons the bottom-right corner, the mode label
        // the bottom-left one; the title stays where it is.
        editor.resize(492, 373);
        QTRY_COMPARE(editor.Tresc->geometry(), QRect(8, 64, 476, 235));
        QCOMPARE(editor.OK->geometry(), QRect(326, 340, 75, 25));
        QCOMPARE(editor.Anuluj->geometry(), QRect(407, 340, 75, 25));
        QCOMPARE(editor.StatusFormatki->geometry().topLeft(), QPoint(8, 342));
        QCOMPARE(editor.Tytul->geometry(), QRect(8, 23, 142, 19));
        QCOMPARE(editor.Bevel1->geometry().width(), 492);
    }

    void tabOrder()
    {
        EditorFixture f;
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showAsNew(editor));
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        editor.cAlarm->setChecked(true);
        editor.Tytul->setFocus();
        // The control that owns the focus: the pickers hand it to their inner line edit.
        const QList<QWidget*> controls{editor.Tytul, editor.cAlarm, editor.dtDate, editor.dtTime,
                                       editor.Tresc, editor.OK,     editor.Anuluj, editor.cbAlarm};
        const auto owner = [&](QWidget* w) {
            while (w && !controls.contains(w))
                w = w->parentWidget();
            return w;
        };
        // Each Tab leaves the control at once, the pickers too (their sections are reached
        // with the arrow keys); Shift+Tab goes back the same way.
        const QList<QWidget*> expected{editor.cAlarm, editor.dtDate, editor.dtTime, editor.Tresc,
                                       editor.OK,     editor.Anuluj, editor.Tytul};
        QList<QWidget*> forward;
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward << owner(QApplication::focusWidget());
        }
        QCOMPARE(forward, expected);
        QList<QWidget*> backward;
        for (int i = 0; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            backward << owner(QApplication::focusWidget());
        }
        QList<QWidget*> reversed{editor.Anuluj, editor.OK,     editor.Tresc, editor.dtTime,
                                 editor.dtDate, editor.cAlarm, editor.Tytul};
        QCOMPARE(backward, reversed);
        // The arrow keys still reach and change the sections.
        editor.dtDate->setFocus(Qt::TabFocusReason);
        const QDate before = editor.dtDate->date();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(editor.dtDate->date(), before.addYears(1));
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(editor.dtDate->currentSection(), QDateTimeEdit::MonthSection);
    }

    void defaultTitle_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("title");
        QTest::newRow("no notes") << 0 << true << "Note no 1";
        QTest::newRow("four notes") << 4 << true << "Note no 5";
        QTest::newRow("database gone") << 2 << false << "n. a.";
    }
    void defaultTitle()
    {
        QFETCH(int, stored);
        QFETCH(bool, reachable);
        QFETCH(QString, title);
        EditorFixture f;
        for (int id = 1; id <= stored; ++id)
            insertNote(f.db, NoteSeed{.id = id});
        if (!reachable) {
            takeAway(f.dm(), f.db);
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral(
                                     "^FormNotatka - Unable to get default title! - ")));
        }
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showAsNew(editor));
        QCOMPARE(editor.Tytul->text(), title);
    }

    void existingNoteIsShownAsStored()
    {
        EditorFixture f;
        insertNote(f.db, NoteSeed{.id = 7,
                                  .title = QStringLiteral("Dentist"),
                                  .message = QStringLiteral("Tuesday\r\n\r\nbring card"),
                                  .alarm = AlarmPlanned,
                                  .kind = AlarmWeekly,
                                  .date = QStringLiteral("'2030.06.02'"),
                                  .time = QStringLiteral("'09:45'")});
        insertNote(f.db, NoteSeed{.id = 8});
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showExisting(editor, 7));
        QCOMPARE(editor.Tytul->text(), QStringLiteral("Dentist"));
        QCOMPARE(editor.Tresc->storedText(), QStringLiteral("Tuesday\r\n\r\nbring card"));
        QCOMPARE(editor.Tresc->toPlainText(), QStringLiteral("Tuesday\n\nbring card"));
        QCOMPARE(editor.LBIloscZnakow->text(), QStringLiteral("Characters left 4979"));
        QVERIFY(editor.cAlarm->isChecked());
        QVERIFY(editor.dtDate->isVisible());
        QVERIFY(editor.dtTime->isVisible());
        QVERIFY(!editor.cbAlarm->isVisible());
        QCOMPARE(editor.dtDate->date(), QDate(2030, 6, 2));
        QCOMPARE(editor.dtTime->time(), QTime(9, 45));
        QCOMPARE(editor.cbAlarm->currentIndex(), int(AlarmWeekly));
        QVERIFY(!editor.AlarmChanged);
    }

    // The alarm row has room to breathe: the check box's focus frame keeps clear of the date
    // picker, the widest date stays clear of the picker's drop-down arrow, and both pickers are
    // as tall as designed.
    void alarmRowIsNotCramped()
    {
        EditorFixture f;
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showAsNew(editor));
        editor.cAlarm->setChecked(true);
        QVERIFY(editor.dtDate->isVisible());

        QStyleOptionButton box;
        box.initFrom(editor.cAlarm);
        box.text = editor.cAlarm->text();
        const QRect focusFrame =
            editor.cAlarm->style()
                ->subElementRect(QStyle::SE_CheckBoxFocusRect, &box, editor.cAlarm)
                .translated(editor.cAlarm->pos());
        QVERIFY(editor.cAlarm->width() >= editor.cAlarm->sizeHint().width());
        QVERIFY2(focusFrame.right() + 3 <= editor.dtDate->x(),
                 qPrintable(QStringLiteral("focus frame ends at %1, the date picker starts at %2")
                                .arg(focusFrame.right())
                                .arg(editor.dtDate->x())));

        // The text field of the picker ends where the drop-down arrow begins.
        const auto* dateField = editor.dtDate->findChild<QLineEdit*>();
        QVERIFY(dateField);
        const int widestDate =
            dateField->fontMetrics().horizontalAdvance(QStringLiteral("2028-08-28"));
        QVERIFY2(dateField->width() >= widestDate + 6,
                 qPrintable(QStringLiteral("%1 px for a date of %2 px")
                                .arg(dateField->width())
                                .arg(widestDate)));
        const auto* timeField = editor.dtTime->findChild<QLineEdit*>();
        QVERIFY(timeField);
        QVERIFY(timeField->width() >=
                timeField->fontMetrics().horizontalAdvance(QStringLiteral("20:08")) + 6);
        // Both pickers are drawn 21 pixels tall, top to top: the rows their frames cover in the
        // middle of each, as the window shows them.
        const QImage shown = editor.grab().toImage();
        auto drawnRows = [&](const QWidget* picker) {
            const int x = picker->geometry().center().x();
            const QColor background = shown.pixelColor(x, picker->y() - 4);
            int top = -1;
            int bottom = -1;
            for (int y = picker->y() - 3; y <= picker->geometry().bottom() + 3; ++y) {
                if (shown.pixelColor(x, y) == background)
                    continue;
                if (top < 0)
                    top = y;
                bottom = y;
            }
            return std::make_pair(top, bottom - top + 1);
        };
        const auto date = drawnRows(editor.dtDate);
        const auto time = drawnRows(editor.dtTime);
        QCOMPARE(date.second, 21);
        QCOMPARE(time.second, 21);
        QCOMPARE(time.first, date.first);
        QVERIFY(editor.dtDate->geometry().right() < editor.dtTime->x());
        QVERIFY(editor.dtTime->geometry().right() < editor.width());
    }

    void tickingTheAlarm()
    {
        EditorFixture f;
        QDateTime now = EditorFixture::kNow;
        TFormNotatka& editor = f.openEditor([&] { return now; });
        QVERIFY(showAsNew(editor));
        QVERIFY(!editor.dtDate->isVisible());
        QVERIFY(!editor.dtTime->isVisible());
        // The pickers show the moment the box is ticked, not the one the editor opened at.
        now = EditorFixture::kNow.addSecs(3 * 3600);
        editor.dtDate->setDate(QDate(2031, 1, 1));
        QTest::mouseClick(editor.cAlarm, Qt::LeftButton);
        QVERIFY(editor.cAlarm->isChecked());
        QVERIFY(editor.dtDate->isVisible());
        QVERIFY(editor.dtTime->isVisible());
        QVERIFY(!editor.cbAlarm->isVisible());
        QCOMPARE(editor.dtDate->date(), now.date());
        QCOMPARE(editor.dtTime->time().toString(QStringLiteral("HH:mm")),
                 now.time().toString(QStringLiteral("HH:mm")));
        QTest::mouseClick(editor.cAlarm, Qt::LeftButton);
        QVERIFY(!editor.dtDate->isVisible());
        QVERIFY(!editor.dtTime->isVisible());
        QVERIFY(!editor.cbAlarm->isVisible());
    }

    void newNoteIsStored_data()
    {
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("alarmRow");
        const auto row = [](const char* name, bool alarm, const QDate& date, const QTime& time,
                            const QString& search, const QString& alarmRow) {
            QTest::newRow(name) << alarm << date << time << search << alarmRow;
        };
        row("without alarm", false, QDate(), QTime(), u""_s,
            u"0 | 0 | 2030-05-15 | 14:30:00 | NULL"_s);
        row("without alarm, searching", false, QDate(), QTime(), u"milk"_s,
            u"0 | 0 | 2030-05-15 | 14:30:00 | NULL"_s);
        row("alarm tomorrow", true, QDate(2030, 5, 16), QTime(7, 5, 33), u""_s,
            u"2 | 0 | 2030-05-16 | 07:05:00 | NULL"_s);
        row("alarm tomorrow before now", true, QDate(2030, 5, 16), QTime(0, 0), u""_s,
            u"2 | 0 | 2030-05-16 | 00:00:00 | NULL"_s);
        row("alarm later today", true, QDate(2030, 5, 15), QTime(14, 31), u""_s,
            u"2 | 0 | 2030-05-15 | 14:31:00 | NULL"_s);
    }
    void newNoteIsStored()
    {
        QFETCH(bool, alarm);
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QString, search);
        QFETCH(QString, alarmRow);
        EditorFixture f;
        insertNote(f.db, NoteSeed{.id = 1});
        f.list.search = search;
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showAsNew(editor));
        QTest::keyClicks(editor.Tytul, QStringLiteral("Bank"));
        QTest::keyClicks(editor.Tresc, QStringLiteral("Call"));
        if (alarm) {
            QTest::mouseClick(editor.cAlarm, Qt::LeftButton);
            editor.dtDate->setDate(date);
            editor.dtTime->setTime(time);
        }
        ModalWatcher& watcher = *watcher_;
        watcher.messages.clear();
        QTest::mouseClick(editor.OK, Qt::LeftButton);
        QCOMPARE(watcher.messages, QStringList());
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QVERIFY(!editor.isVisible());

        const qint32 id = f.list.current;
        QVERIFY(id > 1);
        QCOMPARE(noteColumns(f.db, id, {u"Tytul"_s, u"Tresc"_s, u"DataGodzina"_s}),
                 QStringLiteral("Bank | Call | 2030-05-15 14:30:20"));
        QCOMPARE(alarmColumns(f.db, id), alarmRow);
        QCOMPARE(f.list.loads, 1);
        QCOMPARE(f.list.refreshes, 0);
        QCOMPARE(f.list.focusRequests, search.isEmpty() ? 0 : 1);
    }

    void emptiedTitle()
    {
        EditorFixture f;
        insertNote(f.db, NoteSeed{.id = 1});
        insertNote(f.db, NoteSeed{.id = 2});
        {
            // A new note gets the number counted when it is saved.
            TFormNotatka& editor = f.openEditor();
            QVERIFY(showAsNew(editor));
            QCOMPARE(editor.Tytul->text(), QStringLiteral("Note no 3"));
            editor.Tytul->clear();
            insertNote(f.db, NoteSeed{.id = 3});
            editor.OK->click();
            QCOMPARE(editor.result(), int(QDialog::Accepted));
            QCOMPARE(noteColumns(f.db, f.list.current, {u"Tytul"_s}), QStringLiteral("Note no 4"));
        }
        {
            // An existing note keeps the empty title it was given.
            TFormNotatka& editor = f.openEditor();
            QVERIFY(showExisting(editor, 2));
            editor.Tytul->clear();
            editor.OK->click();
            QCOMPARE(editor.result(), int(QDialog::Accepted));
            QCOMPARE(noteColumns(f.db, 2, {u"Tytul"_s, u"OCTET_LENGTH(Tytul)"_s}),
                     QStringLiteral(" | 0"));
        }
    }

    void textsRoundTrip_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::newRow("apostrophes and quotes") << "O'Brien's \"list\""
                                                << "it's ''twice'' and \"quoted\" `back`";
        QTest::newRow("backslashes") << R"(C:\notes\)"
                                     << R"(\n is not a break \\ \' \")";
        QTest::newRow("polish") << QString::fromUtf8("Zażółć gęślą jaźń")
                                << QString::fromUtf8("ŁÓDŹ, źdźbło, Świętokrzyskie");
        QTest::newRow("emoji") << QString::fromUtf8("🦆 duck 🎉")
                               << QString::fromUtf8("👍🏽 ok\r\n✔");
        QTest::newRow("several lines") << "lines"
                                       << "first\r\n\r\n  third, indented\r\n\tfourth\r\n";
        QTest::newRow("spaces kept") << "  padded  " << QStringLiteral("a\u00a0b  \r\n ");
        QTest::newRow("sql fragment") << "x'); DELETE FROM NOTATKI; --"
                                      << "'; DROP TABLE NOTATKI; --";
        QTest::newRow("exactly 50 and 5000") << QString(50, u'T') << QString(5000, u'm');
        QTest::newRow("50 emoji and 5000 with an emoji last")
            << QString::fromUtf8("🦆").repeated(50)
            << QString(4999, u'm') + QString::fromUtf8("🎉");
        QTest::newRow("49 and an emoji, combining marks")
            << QString(49, u'T') + QString::fromUtf8("🦆")
            << QStringLiteral("e\u0301").repeated(2500);
        QTest::newRow("5000 with breaks")
            << QString::fromUtf8("ż").repeated(50) << QStringLiteral("ab\r\n").repeated(1250);
    }
    void textsRoundTrip()
    {
        QFETCH(QString, title);
        QFETCH(QString, message);
        EditorFixture f;
        qint32 id = -1;
        {
            TFormNotatka& editor = f.openEditor();
            QVERIFY(showAsNew(editor));
            editor.Tytul->setText(title);
            editor.Tresc->setStoredText(message);
            editor.OK->click();
            QCOMPARE(editor.result(), int(QDialog::Accepted));
            id = f.list.current;
        }
        const QString expected = title + QStringLiteral(" | ") + message + QStringLiteral(" | ") +
                                 QString::number(title.toUtf8().size()) + QStringLiteral(" | ") +
                                 QString::number(message.toUtf8().size());
        const QStringList columns{u"Tytul"_s, u"Tresc"_s, u"OCTET_LENGTH(Tytul)"_s,
                                  u"OCTET_LENGTH(Tresc)"_s};
        QCOMPARE(noteColumns(f.db, id, columns), expected);
        {
            // Opened and saved again without a change, the note keeps every byte.
            TFormNotatka& editor = f.openEditor();
            QVERIFY(showExisting(editor, id));
            QCOMPARE(editor.Tytul->text(), title);
            QCOMPARE(editor.Tresc->storedText(), message);
            editor.OK->click();
            QCOMPARE(editor.result(), int(QDialog::Accepted));
        }
        QCOMPARE(noteColumns(f.db, id, columns), expected);
    }

    void typedLinesAreStoredWithCrLf()
    {
        EditorFixture f;
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showAsNew(editor));
        editor.Tresc->setFocus();
        QTest::keyClicks(editor.Tresc, QStringLiteral("one"));
        QTest::keyClick(editor.Tresc, Qt::Key_Return);
        QTest::keyClick(editor.Tresc, Qt::Key_Return);
        QTest::keyClicks(editor.Tresc, QStringLiteral("three"));
        // Shift+Enter is a line break like any other.
        QTest::keyClick(editor.Tresc, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(editor.Tresc, QStringLiteral("four"));
        // Enter inside the memo starts a line; it does not press OK.
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.LBIloscZnakow->text(), QStringLiteral("Characters left 4982"));
        // In the title Enter presses OK.
        editor.Tytul->setFocus();
        QTest::keyClick(editor.Tytul, Qt::Key_Return);
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(noteColumns(f.db, f.list.current, {u"Tresc"_s}),
                 QStringLiteral("one\r\n\r\nthree\r\nfour"));
    }

    void messageLimit()
    {
        EditorFixture f;
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showAsNew(editor));
        LimitedMemo* memo = editor.Tresc;
        memo->setFocus();

        memo->setStoredText(QString(4999, u'a'));
        memo->moveCursor(QTextCursor::End);
        QCOMPARE(editor.LBIloscZnakow->text(), QStringLiteral("Characters left 1"));
        // A line break takes two characters: refused, and the key does not reach OK either.
        QTest::keyClick(memo, Qt::Key_Return);
        QVERIFY(editor.isVisible());
        QCOMPARE(memo->storedLength(), 4999);
        QTest::keyClick(memo, Qt::Key_X);
        QCOMPARE(editor.LBIloscZnakow->text(), QStringLiteral("Characters left 0"));
        QTest::keyClick(memo, Qt::Key_Y);
        QCOMPARE(memo->storedLength(), 5000);
        QVERIFY(memo->storedText().endsWith(QStringLiteral("ax")));

        // A paste is cut to the room left by the selection it replaces.
        QGuiApplication::clipboard()->setText(QStringLiteral("PASTED"));
        memo->paste();
        QCOMPARE(memo->storedLength(), 5000);
        QTextCursor cursor = memo->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 3);
        memo->setTextCursor(cursor);
        memo->paste();
        QCOMPARE(memo->storedLength(), 5000);
        QVERIFY(memo->storedText().endsWith(QStringLiteral("aaPAS")));
        // Deleting makes room again; a break fits in two.
        QTest::keyClick(memo, Qt::Key_Backspace);
        QTest::keyClick(memo, Qt::Key_Backspace);
        QTest::keyClick(memo, Qt::Key_Return);
        QCOMPARE(editor.LBIloscZnakow->text(), QStringLiteral("Characters left 0"));
        QVERIFY(memo->storedText().endsWith(QStringLiteral("aaP\r\n")));
        // Text composed by an input method is held to the same limit.
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("zz"));
        QApplication::sendEvent(memo, &composed);
        QCOMPARE(memo->storedLength(), 5000);
        // Removing the break leaves two characters; one is typed, the input method gets one.
        QTest::keyClick(memo, Qt::Key_Backspace);
        QTest::keyClick(memo, Qt::Key_Q);
        QApplication::sendEvent(memo, &composed);
        QVERIFY(memo->storedText().endsWith(QStringLiteral("aaPqz")));

        editor.OK->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(noteColumns(f.db, f.list.current, {u"CHAR_LENGTH(Tresc)"_s}),
                 QStringLiteral("5000"));
    }

    void titleLimit()
    {
        EditorFixture f;
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showAsNew(editor));
        editor.Tytul->clear();
        QTest::keyClicks(editor.Tytul, QString(60, u'w'));
        QCOMPARE(editor.Tytul->text(), QString(50, u'w'));
        editor.Tytul->selectAll();
        QGuiApplication::clipboard()->setText(QString(70, u'p'));
        editor.Tytul->paste();
        QCOMPARE(editor.Tytul->text(), QString(50, u'p'));

        // Characters count as the database counts them: an emoji is one, and is never cut in
        // half.
        const QString duck = QString::fromUtf8("🦆");
        editor.Tytul->setText(QString(49, u'a'));
        QGuiApplication::clipboard()->setText(duck.repeated(3));
        editor.Tytul->end(false);
        editor.Tytul->paste();
        QCOMPARE(editor.Tytul->text(), QString(49, u'a') + duck);
        editor.Tytul->paste();
        QCOMPARE(editor.Tytul->text(), QString(49, u'a') + duck);
        editor.Tytul->clear();
        for (int i = 0; i < 51; ++i) {
            QInputMethodEvent composed;
            composed.setCommitString(duck);
            QApplication::sendEvent(editor.Tytul, &composed);
        }
        QCOMPARE(editor.Tytul->text(), duck.repeated(50));
        // A paste in the middle is cut, the text after it kept.
        editor.Tytul->setText(QString(24, u'a') + QString(24, u'b'));
        editor.Tytul->setCursorPosition(24);
        QGuiApplication::clipboard()->setText(QStringLiteral("123"));
        editor.Tytul->paste();
        QCOMPARE(editor.Tytul->text(),
                 QString(24, u'a') + QStringLiteral("12") + QString(24, u'b'));
        QCOMPARE(editor.Tytul->cursorPosition(), 26);
        // An edit within the limit is left to the field, its undo included.
        editor.Tytul->setText(QStringLiteral("ab"));
        editor.Tytul->setCursorPosition(1);
        editor.Tytul->insert(QStringLiteral("x"));
        QCOMPARE(editor.Tytul->text(), QStringLiteral("axb"));
        editor.Tytul->undo();
        QCOMPARE(editor.Tytul->text(), QStringLiteral("ab"));

        // Control characters never get in: a NUL would cut the title short in other tools.
        editor.Tytul->clear();
        QGuiApplication::clipboard()->setText(QString::fromLatin1("Bank\0 \x1b[2Jcall\t\r\n", 17));
        editor.Tytul->paste();
        QCOMPARE(editor.Tytul->text(), QStringLiteral("Bank [2Jcall"));
        editor.OK->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(noteColumns(f.db, f.list.current, {u"Tytul"_s, u"OCTET_LENGTH(Tytul)"_s}),
                 QStringLiteral("Bank [2Jcall | 12"));
    }

    void messageControlCharactersAndEmoji()
    {
        TestDatabase db;
        auto dm = db.open();
        RecordingNoteList list;
        TFormNotatka editor(*dm, list, nullptr, fixedClock());
        QVERIFY(showAsNew(editor));
        LimitedMemo* memo = editor.Tresc;
        memo->setFocus();
        // Pasted and composed text loses its control characters, tab and line breaks aside.
        QGuiApplication::clipboard()->setText(QString::fromLatin1("a\0b\x07\tc\r\nd", 10));
        memo->paste();
        QInputMethodEvent composed;
        composed.setCommitString(QString::fromLatin1("\x01"
                                                     "e",
                                                     2));
        QApplication::sendEvent(memo, &composed);
        QCOMPARE(memo->storedText(), QStringLiteral("ab\tc\r\nde"));
        // An emoji takes one character, as in the database; the counter says the same.
        memo->setStoredText(QString(4998, u'a'));
        memo->moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(QString::fromUtf8("🦆🦆🦆"));
        memo->paste();
        QCOMPARE(editor.LBIloscZnakow->text(), QStringLiteral("Characters left 0"));
        QCOMPARE(memo->storedText(), QString(4998, u'a') + QString::fromUtf8("🦆🦆"));
        editor.OK->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(noteColumns(db, list.current, {u"CHAR_LENGTH(Tresc)"_s}), QStringLiteral("5000"));
    }

    void alarmValidation_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        const auto row = [](const char* name, const QDate& date, const QTime& time,
                            const QString& message, const QString& focused) {
            QTest::newRow(name) << date << time << message << focused;
        };
        // Now is 2030-05-15 14:30:20.
        row("yesterday", QDate(2030, 5, 14), QTime(23, 0),
            u"Alarm date can't be earlier than today's!"_s, u"dtDate"_s);
        row("today, earlier", QDate(2030, 5, 15), QTime(9, 0),
            u"Alarm time must be later than the current!"_s, u"dtTime"_s);
        row("today, this very second", QDate(2030, 5, 15), QTime(14, 30, 20),
            u"Alarm time must be later than the current!"_s, u"dtTime"_s);
    }
    void alarmValidation()
    {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        EditorFixture f;
        insertNote(f.db, NoteSeed{.id = 1, .alarm = AlarmNone});
        // A new note, and an existing one whose alarm the user sets.
        for (const bool existing : {false, true}) {
            TFormNotatka& editor = f.openEditor();
            QVERIFY(existing ? showExisting(editor, 1) : showAsNew(editor));
            editor.cAlarm->click();
            editor.dtDate->setDate(date);
            editor.dtTime->setTime(time);
            ModalWatcher& watcher = *watcher_;
            watcher.messages.clear();
            editor.OK->click();
            QCOMPARE(watcher.messages, QStringList{message});
            QVERIFY(editor.isVisible());
            QCOMPARE(editor.focusWidget()->objectName().isEmpty()
                         ? editor.focusWidget()->parentWidget()->objectName()
                         : editor.focusWidget()->objectName(),
                     focused);
            QCOMPARE(noteCount(f.db), QStringLiteral("1"));
            QCOMPARE(alarmColumns(f.db, 1), QStringLiteral("0 | 0 | 2030-05-01 | 08:15:40 | NULL"));
            QCOMPARE(f.list.loads + f.list.refreshes, 0);
        }
    }

    void existingNoteWithUntouchedAlarmIsNotValidated()
    {
        // A planned alarm whose moment has passed is saved as it is, without a message.
        EditorFixture f;
        insertNote(f.db, NoteSeed{.id = 1, .alarm = AlarmPlanned, .kind = AlarmDaily});
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showExisting(editor, 1));
        editor.Tytul->setText(QStringLiteral("Shopping list"));
        ModalWatcher& watcher = *watcher_;
        watcher.messages.clear();
        editor.OK->click();
        QCOMPARE(watcher.messages, QStringList());
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(noteColumns(f.db, 1, {u"Tytul"_s}), QStringLiteral("Shopping list"));
        QCOMPARE(alarmColumns(f.db, 1), QStringLiteral("2 | 1 | 2030-05-01 | 08:15:00 | NULL"));
    }

    void alarmAfterSave_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("alarmRow");
        const QString acked = QStringLiteral("'2030.05.10 09:00:00'");
        // Stored: kind as given, 2030-05-01 08:15:40. An alarm rewritten from the pickers
        // loses the seconds, which shows that it was written.
        const QString untouched = QStringLiteral(" | 2030-05-01 | 08:15:40 | ");
        const QString rewritten = QStringLiteral(" | 2030-05-01 | 08:15:00 | NULL");
        const QString replanned = QStringLiteral(" | 2030-06-20 | 07:45:00 | NULL");
        const QString ackNow = QStringLiteral("2030-05-15 14:30:20");
        const auto row = [](const char* name, int stored, int kind, const QString& archive,
                            const char* action, const QString& alarmRow) {
            QTest::newRow(name) << stored << kind << archive << QString::fromLatin1(action)
                                << alarmRow;
        };
        row("none, left off", AlarmNone, 3, u"NULL"_s, "none", u"0 | 3"_s + untouched + u"NULL"_s);
        row("none, ticked", AlarmNone, 3, u"NULL"_s, "tick", u"2 | 0"_s + replanned);
        row("running, untouched", AlarmRunning, 3, u"NULL"_s, "none",
            u"3 | 3"_s + untouched + ackNow);
        row("running, changed", AlarmRunning, 3, u"NULL"_s, "change",
            u"3 | 3"_s + untouched + ackNow);
        row("running, cleared", AlarmRunning, 3, u"NULL"_s, "clear",
            u"3 | 3"_s + untouched + ackNow);
        row("planned, untouched", AlarmPlanned, 3, u"NULL"_s, "none", u"2 | 3"_s + rewritten);
        row("planned, changed", AlarmPlanned, 3, u"NULL"_s, "change", u"2 | 3"_s + replanned);
        row("planned, cleared", AlarmPlanned, 3, u"NULL"_s, "clear",
            u"0 | 3"_s + untouched + u"NULL"_s);
        row("acknowledged, untouched", AlarmAcknowledged, 3, acked, "none",
            u"3 | 3"_s + untouched + u"2030-05-10 09:00:00"_s);
        row("acknowledged, changed", AlarmAcknowledged, 3, acked, "change", u"2 | 3"_s + replanned);
        row("acknowledged, cleared", AlarmAcknowledged, 3, acked, "clear",
            u"0 | 3"_s + untouched + u"NULL"_s);
        row("unknown state, untouched", 7, 3, u"NULL"_s, "none",
            u"7 | 3"_s + untouched + u"NULL"_s);
        row("unknown state, ticked", 7, 3, u"NULL"_s, "tick", u"7 | 3"_s + untouched + u"NULL"_s);
        // Without a kind the list shows no selection, and the schedule stays as stored.
        row("planned, unknown kind, changed", AlarmPlanned, 9, u"NULL"_s, "change",
            u"2 | 9"_s + untouched + u"NULL"_s);
    }

    void alarmAfterSave()
    {
        QFETCH(int, stored);
        QFETCH(int, kind);
        QFETCH(QString, archive);
        QFETCH(QString, action);
        QFETCH(QString, alarmRow);
        EditorFixture f;
        insertNote(f.db, NoteSeed{.id = 5, .alarm = stored, .kind = kind, .archive = archive});
        f.list.current = 5;
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showExisting(editor, 5));
        const auto planForJune = [&] {
            editor.dtDate->setDate(QDate(2030, 6, 20));
            editor.dtTime->setTime(QTime(7, 45));
        };
        if (action == QLatin1String("tick")) {
            QVERIFY(!editor.cAlarm->isChecked());
            QTest::mouseClick(editor.cAlarm, Qt::LeftButton);
            planForJune();
        } else if (action == QLatin1String("change")) {
            QVERIFY(editor.cAlarm->isChecked());
            planForJune();
        } else if (action == QLatin1String("clear")) {
            QVERIFY(editor.cAlarm->isChecked());
            QTest::mouseClick(editor.cAlarm, Qt::LeftButton);
        }
        editor.Tytul->setText(QStringLiteral("Edited"));
        ModalWatcher& watcher = *watcher_;
        watcher.messages.clear();
        editor.OK->click();
        QCOMPARE(watcher.messages, QStringList());
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(noteColumns(f.db, 5, {u"Tytul"_s}), QStringLiteral("Edited"));
        QCOMPARE(alarmColumns(f.db, 5), alarmRow);
        QCOMPARE(f.list.refreshes, 1);
        QCOMPARE(f.list.loads, 0);
        QCOMPARE(f.list.current, 5);
    }

    void cancelWritesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel button") << "button";
        QTest::newRow("Esc") << "escape";
        QTest::newRow("close box") << "close";
    }
    void cancelWritesNothing()
    {
        QFETCH(QString, how);
        EditorFixture f;
        insertNote(f.db, NoteSeed{.id = 4, .alarm = AlarmRunning});
        const QStringList all{u"Tytul"_s,        u"Tresc"_s,        u"DataGodzina"_s,
                              u"Alarm"_s,        u"AlarmRodzaj"_s,  u"AlarmData"_s,
                              u"AlarmGodzina"_s, u"AlarmArchiwum"_s};
        const QString before = noteColumns(f.db, 4, all);
        for (const bool existing : {true, false}) {
            TFormNotatka& editor = f.openEditor();
            QVERIFY(existing ? showExisting(editor, 4) : showAsNew(editor));
            editor.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&editor));
            editor.Tytul->setText(QStringLiteral("changed"));
            QTest::keyClicks(editor.Tresc, QStringLiteral("more"));
            QTest::mouseClick(editor.cAlarm, Qt::LeftButton);
            editor.Tresc->setFocus();
            if (how == QLatin1String("button"))
                QTest::mouseClick(editor.Anuluj, Qt::LeftButton);
            else if (how == QLatin1String("escape"))
                QTest::keyClick(editor.Tresc, Qt::Key_Escape);
            else
                editor.close();
            QVERIFY(!editor.isVisible());
            QCOMPARE(editor.result(), int(QDialog::Rejected));
        }
        QCOMPARE(noteColumns(f.db, 4, all), before);
        QCOMPARE(noteCount(f.db), QStringLiteral("1"));
        QCOMPARE(f.list.loads + f.list.refreshes, 0);
    }

    void saveFailureKeepsTheEditorOpen_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<bool>("refusedByTrigger");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("message");
        // A database file moved away while the editor was open is named as the reason.
        const QString gone =
            kNotSaved + QStringLiteral("\n\nThe database file was moved or replaced while "
                                       "the program was running. Please restart the program.");
        QTest::newRow("new note, database gone") << false << false << "Can't add new note!" << gone;
        QTest::newRow("new note, insert refused")
            << false << true << "Can't add new note!" << kNotSaved;
        QTest::newRow("existing note, database gone")
            << true << false << "Can't save changes in note!" << gone;
        QTest::newRow("existing note, update refused")
            << true << true << "Can't save changes in note!" << kNotSaved;
    }
    void saveFailureKeepsTheEditorOpen()
    {
        QFETCH(bool, existing);
        QFETCH(bool, refusedByTrigger);
        QFETCH(QString, report);
        QFETCH(QString, message);
        EditorFixture f;
        // Saving would acknowledge this alarm, were the text saved.
        insertNote(f.db, NoteSeed{.id = 3, .alarm = AlarmRunning});
        if (refusedByTrigger)
            refuseTextWrites(f.db);
        const QString before =
            noteColumns(f.db, 3, {u"Tytul"_s, u"Tresc"_s}) + alarmColumns(f.db, 3);
        f.list.current = 3;
        TFormNotatka& editor = f.openEditor();
        QVERIFY(existing ? showExisting(editor, 3) : showAsNew(editor));
        editor.Tytul->setText(QStringLiteral("Don't lose me"));
        editor.Tresc->setStoredText(QStringLiteral("typed\r\nby hand"));
        if (!existing) {
            editor.cAlarm->click();
            editor.dtDate->setDate(QDate(2030, 5, 20));
        }
        if (!refusedByTrigger)
            takeAway(f.dm(), f.db);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^FormNotatka - ") +
                                                              QRegularExpression::escape(report)));
        ModalWatcher& watcher = *watcher_;
        watcher.messages.clear();
        editor.OK->click();
        QCOMPARE(watcher.messages, QStringList{message});
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.Tytul->text(), QStringLiteral("Don't lose me"));
        QCOMPARE(editor.Tresc->storedText(), QStringLiteral("typed\r\nby hand"));
        QCOMPARE(f.list.loads + f.list.refreshes, 0);
        QCOMPARE(f.list.current, 3);
        if (!refusedByTrigger) {
            bringBack(f.db);
            QCOMPARE(noteColumns(f.db, 3, {u"Tytul"_s, u"Tresc"_s}) + alarmColumns(f.db, 3),
                     before);
            QCOMPARE(noteCount(f.db), QStringLiteral("1"));
            // Once the database is back, the same OK saves what was typed.
            editor.OK->click();
            QCOMPARE(editor.result(), int(QDialog::Accepted));
            QCOMPARE(noteColumns(f.db, f.list.current, {u"Tytul"_s, u"Tresc"_s}),
                     QStringLiteral("Don't lose me | typed\r\nby hand"));
        } else {
            QCOMPARE(noteColumns(f.db, 3, {u"Tytul"_s, u"Tresc"_s}) + alarmColumns(f.db, 3),
                     before);
            QCOMPARE(noteCount(f.db), QStringLiteral("1"));
        }
    }

    void alarmWriteFailureSavesNothing()
    {
        // The text and the alarm of one OK are one transaction: a refused alarm write keeps
        // the old text too, and the user is told nothing was saved.
        EditorFixture f;
        insertNote(f.db, NoteSeed{.id = 3});
        f.db.execute(QStringLiteral("CREATE EXCEPTION ALARM_REFUSED 'alarm refused'"));
        f.db.execute(QStringLiteral(
            "CREATE TRIGGER NOTATKI_REFUSE_ALARM FOR NOTATKI BEFORE UPDATE AS BEGIN "
            "IF (NEW.Alarm IS DISTINCT FROM OLD.Alarm) THEN EXCEPTION ALARM_REFUSED; END"));
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showExisting(editor, 3));
        editor.Tytul->setText(QStringLiteral("Remind me"));
        editor.Tresc->setStoredText(QStringLiteral("at noon"));
        editor.cAlarm->click();
        editor.dtDate->setDate(QDate(2030, 5, 20));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                               "^FormNotatka - Can't set the type of alarm! - ")));
        ModalWatcher& watcher = *watcher_;
        watcher.messages.clear();
        editor.OK->click();
        QCOMPARE(watcher.messages, QStringList{kNotSaved});
        QVERIFY(editor.isVisible());
        QVERIFY(editor.cAlarm->isChecked());
        QCOMPARE(editor.Tytul->text(), QStringLiteral("Remind me"));
        QCOMPARE(f.list.refreshes, 0);
        QCOMPARE(noteColumns(f.db, 3, {u"Tytul"_s, u"Tresc"_s}),
                 QStringLiteral("Shopping | milk\r\nbread"));
        QCOMPARE(alarmColumns(f.db, 3), QStringLiteral("0 | 0 | 2030-05-01 | 08:15:40 | NULL"));

        // Once the database takes the alarm, the same OK saves all of it.
        f.db.execute(QStringLiteral("DROP TRIGGER NOTATKI_REFUSE_ALARM"));
        editor.OK->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(noteColumns(f.db, 3, {u"Tytul"_s, u"Tresc"_s}),
                 QStringLiteral("Remind me | at noon"));
        QCOMPARE(alarmColumns(f.db, 3).left(18), QStringLiteral("2 | 0 | 2030-05-20"));
    }

    void failedStateReadIsShownAndKeepsTheEditorOpen()
    {
        EditorFixture f;
        insertNote(f.db, NoteSeed{.id = 3, .alarm = AlarmRunning});
        // The state can no longer be read by its name; the rest of the row can.
        f.db.execute(QStringLiteral("ALTER TABLE NOTATKI ALTER COLUMN Alarm TO AlarmStan"));
        TFormNotatka& editor = f.openEditor();
        editor.NoteId = 3;
        editor.StatusFormatki->setText(QStringLiteral("View / Edit"));
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.Tytul->setText(QStringLiteral("Still here"));
        ModalWatcher& watcher = *watcher_;
        watcher.messages.clear();
        editor.OK->click();
        QCOMPARE(watcher.messages.size(), 1);
        QVERIFY2(watcher.messages.first().contains(QStringLiteral("ALARM"), Qt::CaseInsensitive),
                 qPrintable(watcher.messages.first()));
        QVERIFY(editor.isVisible());
        QCOMPARE(editor.Tytul->text(), QStringLiteral("Still here"));
        QCOMPARE(f.list.refreshes, 0);
        // The text is saved with the alarm or not at all.
        QCOMPARE(noteColumns(f.db, 3, {u"Tytul"_s, u"AlarmStan"_s}),
                 QStringLiteral("Shopping | 1"));
    }

    void noteDeletedMeanwhileIsSavedAsNew_data()
    {
        QTest::addColumn<bool>("tickAlarm");
        QTest::addColumn<QString>("search");
        QTest::newRow("text only") << false << QString();
        QTest::newRow("with an alarm, list searched") << true << QStringLiteral("milk");
    }
    void noteDeletedMeanwhileIsSavedAsNew()
    {
        // Another program deletes the note while it is open here; what was typed is kept.
        QFETCH(bool, tickAlarm);
        QFETCH(QString, search);
        EditorFixture f;
        insertNote(f.db, NoteSeed{.id = 1});
        insertNote(f.db, NoteSeed{.id = 2, .title = QStringLiteral("Other")});
        f.list.current = 1;
        f.list.search = search;
        TFormNotatka& editor = f.openEditor();
        QVERIFY(showExisting(editor, 1));
        editor.Tytul->setText(QStringLiteral("typed meanwhile"));
        editor.Tresc->setStoredText(QStringLiteral("not to be lost"));
        if (tickAlarm) {
            editor.cAlarm->click();
            editor.dtDate->setDate(QDate(2030, 6, 1));
            editor.dtTime->setTime(QTime(9, 45));
        }
        f.db.execute(QStringLiteral("DELETE FROM NOTATKI WHERE ID = 1"));

        ModalWatcher& watcher = *watcher_;
        watcher.messages.clear();
        editor.OK->click();
        QCOMPARE(watcher.messages,
                 QStringList{QStringLiteral(
                     "This note was deleted meanwhile. It is saved as a new note.")});
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(noteCount(f.db), QStringLiteral("2"));
        const qint32 id = f.list.current;
        QVERIFY(id > 2);
        QCOMPARE(editor.NoteId, id);
        QCOMPARE(noteColumns(f.db, id, {u"Tytul"_s, u"Tresc"_s}),
                 QStringLiteral("typed meanwhile | not to be lost"));
        QCOMPARE(alarmColumns(f.db, id).left(29),
                 tickAlarm ? QStringLiteral("2 | 0 | 2030-06-01 | 09:45:00")
                           : QStringLiteral("0 | 0 | 2030-05-15 | 14:30:00"));
        QCOMPARE(noteColumns(f.db, 2, {u"Tytul"_s}), QStringLiteral("Other"));
        QCOMPARE(f.list.loads, 1);
        QCOMPARE(f.list.focusRequests, search.isEmpty() ? 0 : 1);
    }

    void noteChangedElsewhereIsSavedAsNew_data()
    {
        QTest::addColumn<QString>("otherProgram");
        QTest::addColumn<bool>("savedAsNew");
        QTest::newRow("text changed")
            << "UPDATE NOTATKI SET Tresc = 'milk, eggs' WHERE ID = 1" << true;
        QTest::newRow("title changed")
            << "UPDATE NOTATKI SET Tytul = 'Groceries' WHERE ID = 1" << true;
        QTest::newRow("alarm fired") << "UPDATE NOTATKI SET Alarm = 1 WHERE ID = 1" << false;
    }
    void noteChangedElsewhereIsSavedAsNew()
    {
        // Another program, on a connection of its own, saves the note while it is open here.
        QFETCH(QString, otherProgram);
        QFETCH(bool, savedAsNew);
        TestDatabase db;
        insertNote(db, NoteSeed{.id = 1, .alarm = AlarmPlanned});
        auto dm = db.open();
        auto other = db.open();
        RecordingNoteList list;
        list.current = 1;
        TFormNotatka editor(*dm, list, nullptr, fixedClock());
        QVERIFY(showExisting(editor, 1));
        editor.Tytul->setText(QStringLiteral("typed here"));
        editor.Tresc->setStoredText(QStringLiteral("my text"));
        const QString theirs = [&] {
            other->transact([&](DbSession& s) { s.execute(otherProgram); });
            return noteColumns(db, 1, {u"Tytul"_s, u"Tresc"_s});
        }();

        ModalWatcher& watcher = *watcher_;
        watcher.messages.clear();
        editor.OK->click();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        if (!savedAsNew) {
            QCOMPARE(watcher.messages, QStringList());
            QCOMPARE(noteCount(db), QStringLiteral("1"));
            // Saved as usual: a running alarm is acknowledged by the save.
            QCOMPARE(noteColumns(db, 1, {u"Tytul"_s, u"Tresc"_s, u"Alarm"_s}),
                     QStringLiteral("typed here | my text | 3"));
            QCOMPARE(list.refreshes, 1);
            return;
        }
        QCOMPARE(watcher.messages,
                 QStringList{QStringLiteral("This note was changed elsewhere while you were "
                                            "editing it. Your text is saved as a new note.")});
        // Both texts are kept: theirs in the note, mine in a new one that the list shows.
        QCOMPARE(noteCount(db), QStringLiteral("2"));
        QCOMPARE(noteColumns(db, 1, {u"Tytul"_s, u"Tresc"_s}), theirs);
        const qint32 id = list.current;
        QVERIFY(id > 1);
        QCOMPARE(editor.NoteId, id);
        QCOMPARE(noteColumns(db, id, {u"Tytul"_s, u"Tresc"_s}),
                 QStringLiteral("typed here | my text"));
        QCOMPARE(alarmColumns(db, id).left(20), QStringLiteral("2 | 0 | 2030-05-01 |"));
        QCOMPARE(list.loads, 1);
    }

    void failedLoadIsReported()
    {
        EditorFixture f;
        insertNote(f.db, NoteSeed{.id = 1, .alarm = AlarmPlanned});
        takeAway(f.dm(), f.db);
        TFormNotatka& editor = f.openEditor();
        QTest::ignoreMessage(
            QtWarningMsg, QRegularExpression(QStringLiteral("^FormNotatka - Can't get data! - ")));
        QVERIFY(!editor.LoadNote(1));
        QVERIFY(!editor.AlarmChanged);
        QVERIFY(editor.Tytul->text().isEmpty());
        QVERIFY(!editor.cAlarm->isChecked());
        bringBack(f.db);
    }
};

QTEST_MAIN(TestFormNotatka)
#include "TestFormNotatka.moc"
