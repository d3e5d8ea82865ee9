#include "core/storage/DataModule.h"
#include "core/storage/NoteChangeListener.h"
#include "core/storage/NoteListStore.h"
#include "core/storage/NoteStore.h"
#include "support/FirebirdServer.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

// One note database on a Firebird server, reached through 127.0.0.1/<port>: what users with
// several computers do. The storage operations work through the server, several programs see
// each other's notes, and a server that goes away and comes back costs a failed operation,
// not the connection for good.
class TestSharedServer : public QObject
{
    Q_OBJECT

    FirebirdServer server_;

    QStringList titlesSeenBy(TDM& dm)
    {
        QStringList titles;
        const bool ok = note_list_store::read(
            dm, sql::notes::fullList(),
            [&](const note_list_store::ListedNote& note) {
                titles << QString::fromUtf8(note.titleUtf8);
            },
            QStringLiteral("test"));
        if (!ok)
            titles << QStringLiteral("<read failed>");
        titles.sort();
        return titles;
    }

    static sql::note::NewNoteRow row(const QString& title)
    {
        sql::note::NewNoteRow r;
        r.title = title;
        r.message = QStringLiteral("body of ") + title;
        r.created = QDateTime::currentDateTime();
        r.alarmDate = r.created.date();
        r.alarmTime = QTime(7, 30);
        return r;
    }

    static QStringList titlesOfAnotherProgram(const QString& connection)
    {
        QProcess reader;
        reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        reader.start(QStringLiteral(QUILLBOX_DB_WRITER), {QStringLiteral("titles"), connection});
        if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
            return {QStringLiteral("<reader failed>")};
        QStringList titles = QString::fromUtf8(reader.readAllStandardOutput())
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        titles.sort();
        return titles;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QString why;
        if (!server_.start(&why))
            QSKIP(qPrintable(QStringLiteral("no Firebird server can be started here: ") + why));
    }

    void storageOperationsThroughTheServer()
    {
        TestDatabase db;
        TDM dm(server_.prefix() + db.path());
        QVERIFY(dm.Connect());

        QVERIFY(dm.SetSetting(QStringLiteral("FormMainWidth"), QStringLiteral("640")));
        QCOMPARE(dm.GetSetting(QStringLiteral("FormMainWidth")), QStringLiteral("640"));

        const qint32 id = note_store::insertNote(dm, row(QStringLiteral("Tom's note")));
        QVERIFY(id > 0);
        auto stored = note_store::readNote(dm, id);
        QVERIFY(stored.has_value());
        QCOMPARE(stored->title, QStringLiteral("Tom's note"));
        QVERIFY(note_store::saveExistingNote(
                    dm, id, note_store::NoteText{stored->title, stored->message},
                    QStringLiteral("Zażółć"), QStringLiteral("gęślą jaźń"),
                    [](int) { return std::optional<note_store::AlarmUpdate>(); },
                    QDateTime::currentDateTime()) == note_store::SaveOutcome::Saved);
        QCOMPARE(note_store::readNote(dm, id)->message, QStringLiteral("gęślą jaźń"));
        QCOMPARE(titlesSeenBy(dm), QStringList{QStringLiteral("Zażółć")});
        note_store::deleteNote(dm, id);
        QCOMPARE(note_store::countNotes(dm), qint64(0));

        // The server keeps the locks: nothing of ours appears beside the file.
        QCOMPARE(
            QDir(db.directory()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("dbn.ib")});
    }

    void twoProgramsSeeEachOthersNotes()
    {
        TestDatabase db;
        const QString connection = server_.prefix() + db.path();
        TDM mine(connection);
        QVERIFY(mine.Connect());
        QCOMPARE(titlesSeenBy(mine), QStringList{});

        // Another program, with a connection of its own, adds notes while this one is open.
        QProcess other;
        other.setProcessChannelMode(QProcess::ForwardedChannels);
        other.start(
            QStringLiteral(QUILLBOX_DB_WRITER),
            {QStringLiteral("notes"), connection, QStringLiteral("other "), QStringLiteral("2")});
        QVERIFY(other.waitForFinished(60000));
        QCOMPARE(other.exitCode(), 0);
        QCOMPARE(titlesSeenBy(mine),
                 (QStringList{QStringLiteral("other 0"), QStringLiteral("other 1")}));

        // And this program's note is there for the other one on its next reload.
        QVERIFY(note_store::insertNote(mine, row(QStringLiteral("mine"))) > 0);
        QCOMPARE(titlesOfAnotherProgram(connection),
                 (QStringList{QStringLiteral("mine"), QStringLiteral("other 0"),
                              QStringLiteral("other 1")}));
    }

    void twoProgramsEditOneNote()
    {
        // Two programs on two computers open one note; the one that saves second does not
        // overwrite the first one's text.
        TestDatabase db;
        const QString connection = server_.prefix() + db.path();
        TDM first(connection);
        TDM second(connection);
        QVERIFY(first.Connect());
        QVERIFY(second.Connect());
        const qint32 id = note_store::insertNote(first, row(QStringLiteral("shared")));
        QVERIFY(id > 0);
        auto loaded = [](TDM& dm, qint32 noteId) {
            const auto note = note_store::readNote(dm, noteId);
            return note_store::NoteText{note->title, note->message};
        };
        const note_store::NoteText loadedByFirst = loaded(first, id);
        const note_store::NoteText loadedBySecond = loaded(second, id);
        const auto noAlarm = [](int) { return std::optional<note_store::AlarmUpdate>(); };

        QVERIFY(note_store::saveExistingNote(first, id, loadedByFirst, QStringLiteral("first"),
                                             QStringLiteral("first's text"), noAlarm,
                                             QDateTime::currentDateTime()) ==
                note_store::SaveOutcome::Saved);
        QVERIFY(note_store::saveExistingNote(second, id, loadedBySecond, QStringLiteral("second"),
                                             QStringLiteral("second's text"), noAlarm,
                                             QDateTime::currentDateTime()) ==
                note_store::SaveOutcome::ChangedElsewhere);
        QCOMPARE(note_store::readNote(second, id)->message, QStringLiteral("first's text"));
        QCOMPARE(titlesSeenBy(second), QStringList{QStringLiteral("first")});
    }

    void aServerThatComesBackIsUsedAgain()
    {
        TestDatabase db;
        TDM dm(server_.prefix() + db.path());
        QVERIFY(dm.Connect());
        QVERIFY(dm.SetSetting(QStringLiteral("k"), QStringLiteral("before")));

        server_.stop();
        // Operations fail into their fallbacks while the server is away.
        QCOMPARE(dm.GetSetting(QStringLiteral("k")), QStringLiteral("-1"));
        QVERIFY(!dm.SetSetting(QStringLiteral("k"), QStringLiteral("lost")));
        QVERIFY_THROWS_EXCEPTION(fb::Error, note_store::insertNote(dm, row(QStringLiteral("x"))));

        QString why;
        QVERIFY2(server_.start(&why), qPrintable(why));
        QCOMPARE(dm.GetSetting(QStringLiteral("k")), QStringLiteral("before"));
        QVERIFY(dm.SetSetting(QStringLiteral("k"), QStringLiteral("after")));
        QCOMPARE(dm.GetSetting(QStringLiteral("k")), QStringLiteral("after"));
    }

    void aListenerHearsOtherConnectionsAndComesBackWithTheServer()
    {
        TestDatabase db;
        const QString connection = server_.prefix() + db.path();
        TDM mine(connection);
        TDM other(connection);
        NoteChangeListener hears(mine);
        hears.setRetryPauses(50, 400);
        QSignalSpy changed(&hears, &NoteChangeListener::changed);
        QVERIFY(hears.start());
        QVERIFY(note_store::insertNote(other, row(QStringLiteral("before"))) > 0);
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 60000);

        // The server goes away: the wait ends with the connection, and the listener says so
        // only once it listens again, with one announcement for whatever happened meanwhile.
        server_.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!hears.isListening(), 60000);
        QCOMPARE(changed.count(), 1);
        QString why;
        QVERIFY2(server_.start(&why), qPrintable(why));
        QTRY_VERIFY_WITH_TIMEOUT(hears.isListening(), 60000);
        QCOMPARE(changed.count(), 2);

        // And it hears the next change of another connection (whose first operation finds its
        // own connection lost and drops it: the second opens it anew).
        qint32 id = -1;
        for (int attempt = 0; attempt < 2 && id <= 0; ++attempt) {
            try {
                id = note_store::insertNote(other, row(QStringLiteral("after")));
            } catch (const fb::Error&) {
            }
        }
        QVERIFY(id > 0);
        QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 3, 60000);
    }

    void aServerThatDoesNotAnswerIsNoConnection()
    {
        // A port nobody listens on, and a path the server does not have.
        TestDatabase db;
        TDM refused(QStringLiteral("127.0.0.1/1:") + db.path());
        QVERIFY(!refused.Connect());
        TDM missing(server_.prefix() + db.directory() + QStringLiteral("/none/dbn.ib"));
        QVERIFY(!missing.Connect());
        QVERIFY(!QFileInfo::exists(db.directory() + QStringLiteral("/none")));
    }
};

QTEST_GUILESS_MAIN(TestSharedServer)
#include "TestSharedServer.moc"
