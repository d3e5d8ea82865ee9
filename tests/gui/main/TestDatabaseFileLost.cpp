#include "gui/main/FormMain.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/FormUsuwanie.h"
#include "gui/notes/LimitedMemo.h"
#include "support/ModalWatcher.h"
#include "support/NoteListDriver.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// The database file moved, replaced or deleted while the program runs, as the user meets it:
// told once, the typed note kept in the open editor, the list left as it was, and nothing
// written anywhere.
class TestDatabaseFileLost : public QObject
{
    Q_OBJECT

    static QString noteCount(const QString& path)
    {
        TDM dm(path);
        return dm.transact([](DbSession& s) {
            auto query = s.open(QStringLiteral("SELECT COUNT(*) FROM NOTATKI"));
            query->fetch();
            return query->text(0);
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Failed operations are logged; that is not what is tested here.
        QLoggingCategory::setFilterRules(QStringLiteral("quillbox.db.warning=false"));
    }

    void toldOnceAndNothingIsLost_data() { addFileLossRows(); }
    void toldOnceAndNothingIsLost()
    {
        QFETCH(QString, change);
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("alpha"), QStringLiteral("2024.01.01 10:00:00"));
        insertNote(db, 2, QStringLiteral("beta"), QStringLiteral("2024.01.02 10:00:00"));
        auto dm = db.open();
        TFormMain form(*dm, quietWindowOptions());
        // The search worker has its connection open before the change.
        QVERIFY(typeSearch(form, QStringLiteral("a")));
        const QStringList shown{QStringLiteral("beta"), QStringLiteral("alpha")};
        QCOMPARE(listedTitles(form), shown);

        const QString elsewhere = movedDatabasePath(db);
        QVERIFY(loseDatabaseFile(db, change));

        bool editorStayedOpen = false;
        QString editorHolds;
        ModalWatcher watcher([&](QWidget* window) {
            if (auto* editor = qobject_cast<TFormNotatka*>(window)) {
                editor->Tytul->setText(QStringLiteral("typed title"));
                editor->Tresc->setStoredText(QStringLiteral("typed text"));
                // Clicked from the editor's own loop, so the watcher can close the message
                // the click brings up.
                QTimer::singleShot(0, editor, [&, editor] {
                    editor->OK->click();
                    editorStayedOpen = editor->isVisible();
                    editorHolds =
                        editor->Tytul->text() + QLatin1Char('|') + editor->Tresc->storedText();
                    editor->reject();
                });
            } else if (auto* confirm = qobject_cast<TFormUsuwanie*>(window)) {
                confirm->TAK->click();
            } else if (auto* dialog = qobject_cast<QDialog*>(window)) {
                dialog->reject();
            }
        });

        // Save a new note, search, delete the selected note.
        form.MMNowaNotatka->trigger();
        QVERIFY(editorStayedOpen);
        QCOMPARE(editorHolds, QStringLiteral("typed title|typed text"));
        QVERIFY(typeSearch(form, QStringLiteral("l")));
        QCOMPARE(listedTitles(form), shown);
        clickRow(form, 0);
        form.MMUsun->trigger();
        QCOMPARE(listedTitles(form), shown);
        // Any notice still queued is shown now.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();

        const QString announcement = QStringLiteral(
            "The database file was moved or replaced while the program was running. Please "
            "restart the program.");
        QCOMPARE(watcher.messages.filter(announcement).size(), 1);
        // The failed save said why, and nothing else was shown.
        QVERIFY(watcher.messages.filter(QStringLiteral("The note could not be saved!")).size() ==
                1);
        for (const QString& message : watcher.messages)
            QVERIFY2(message.contains(QStringLiteral("moved or replaced")), qPrintable(message));

        // Nothing reached either file.
        dm.reset();
        if (change == QStringLiteral("moved"))
            QCOMPARE(noteCount(elsewhere), QStringLiteral("2"));
        else if (change == QStringLiteral("replaced"))
            QCOMPARE(noteCount(db.path()), QStringLiteral("0"));
        else
            QVERIFY(!QFile::exists(db.path()));
    }
};

QTEST_MAIN(TestDatabaseFileLost)
#include "TestDatabaseFileLost.moc"
