#include "core/storage/AlarmScanStore.h"
#include "core/storage/AlarmStateStore.h"
#include "core/storage/DataModule.h"
#include "core/storage/NoteChangeListener.h"
#include "core/storage/NoteListStore.h"
#include "core/storage/NoteStore.h"
#include "core/storage/SaveFailure.h"
#include "support/FirebirdServer.h"
#include "support/LogCapture.h"
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

    // The password of the program's own database user (see the README), and the rights that
    // user gets on one database: the program's two tables and its generator, nothing more.
    static constexpr char kOwnUser[] = "QUILLBOX";
    static constexpr char kOwnPassword[] = "Own-pa55";

    // Runs SQL as the server's administrator; the output of isql when it fails.
    QString asAdministrator(const QString& connection, const QString& sql)
    {
        QProcess isql;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ISC_USER"), QStringLiteral("SYSDBA"));
        env.insert(QStringLiteral("ISC_PASSWORD"), QStringLiteral("ironbirch"));
        isql.setProcessEnvironment(env);
        isql.setProcessChannelMode(QProcess::MergedChannels);
        isql.start(QStringLiteral(QUILLBOX_ISQL),
                   {QStringLiteral("-q"), QStringLiteral("-b"), connection});
        isql.write(sql.toUtf8());
        isql.closeWriteChannel();
        if (!isql.waitForFinished(60000))
            return QStringLiteral("isql did not finish");
        return isql.exitCode() == 0 ? QString() : QString::fromLocal8Bit(isql.readAll());
    }

    QString grantToOwnUser(const QString& connection)
    {
        return asAdministrator(
            connection,
            QStringLiteral("CREATE OR ALTER USER %1 PASSWORD '%2' USING PLUGIN Srp;\n"
                           "GRANT SELECT, INSERT, UPDATE, DELETE ON NOTATKI TO USER %1;\n"
                           "GRANT SELECT, INSERT, UPDATE, DELETE ON USTAWIENIA TO USER %1;\n"
                           "GRANT USAGE ON GENERATOR GenNotka TO USER %1;\n"
                           "COMMIT;\n")
                .arg(QLatin1String(kOwnUser), QLatin1String(kOwnPassword)));
    }

    // The login the data modules made while it lives take from the environment.
    class EnvironmentLogin
    {
    public:
        EnvironmentLogin(const QByteArray& user, const QByteArray& password)
        {
            qputenv("ISC_USER", user);
            qputenv("ISC_PASSWORD", password);
        }
        ~EnvironmentLogin()
        {
            qunsetenv("ISC_USER");
            qunsetenv("ISC_PASSWORD");
        }
        EnvironmentLogin(const EnvironmentLogin&) = delete;
        EnvironmentLogin& operator=(const EnvironmentLogin&) = delete;
    };

    static QString currentUser(TDM& dm)
    {
        return dm.onConnection([](fb::Attachment& db) {
            fb::Transaction tr(db, fb::Transaction::Access::ReadOnly);
            fb::Statement query(db, tr, QByteArrayLiteral("SELECT CURRENT_USER FROM RDB$DATABASE"));
            query.execute();
            return query.fetch() ? query.text(0).trimmed() : QString();
        });
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

    void aUserWithGrantsOnlyDoesEverything()
    {
        TestDatabase db;
        const QString connection = server_.prefix() + db.path();
        const QString granted = grantToOwnUser(connection);
        QVERIFY2(granted.isEmpty(), qPrintable(granted));
        const EnvironmentLogin login(kOwnUser, kOwnPassword);
        LogCapture log(true);
        TDM dm(connection);
        QVERIFY(dm.Connect());
        QCOMPARE(currentUser(dm), QLatin1String(kOwnUser));

        QVERIFY(dm.SetSetting(QStringLiteral("FormMainWidth"), QStringLiteral("640")));
        QVERIFY(dm.SetSetting(QStringLiteral("FormMainWidth"), QStringLiteral("700")));
        QCOMPARE(dm.GetSetting(QStringLiteral("FormMainWidth")), QStringLiteral("700"));

        const qint32 id = note_store::insertNote(dm, row(QStringLiteral("own user's note")));
        QVERIFY(id > 0);
        const auto stored = note_store::readNote(dm, id);
        QVERIFY(stored.has_value());
        QVERIFY(note_store::saveExistingNote(
                    dm, id, note_store::NoteText{stored->title, stored->message},
                    QStringLiteral("edited"), QStringLiteral("new text"),
                    [](int) { return std::optional<note_store::AlarmUpdate>(); },
                    QDateTime::currentDateTime()) == note_store::SaveOutcome::Saved);
        QCOMPARE(titlesSeenBy(dm), QStringList{QStringLiteral("edited")});

        // The alarm checker's work: the scan, and turning an alarm to running and back.
        QVERIFY(SetAlarmState(dm, id, 1, std::nullopt, QDateTime::currentDateTime(),
                              QStringLiteral("test")));
        QCOMPARE(ReadAlarmState(dm, id), 1);
        QVERIFY_THROWS_NO_EXCEPTION(
            alarm_scan_store::scan(dm, [](const alarm_scan_store::ScannedAlarm&) { return true; }));
        QVERIFY(SetAlarmState(dm, id, 0, std::nullopt, QDateTime::currentDateTime(),
                              QStringLiteral("test")));
        QCOMPARE(ReadAlarmState(dm, id), 0);

        note_store::deleteNote(dm, id);
        QCOMPARE(note_store::countNotes(dm), qint64(0));

        QVERIFY(!log.statements.isEmpty());
        QVERIFY2(!log.all().contains(QLatin1String(kOwnPassword), Qt::CaseInsensitive),
                 qPrintable(log.all()));
    }

    void aWrongPasswordIsALoginRefusal()
    {
        TestDatabase db;
        const QString connection = server_.prefix() + db.path();
        const QString granted = grantToOwnUser(connection);
        QVERIFY2(granted.isEmpty(), qPrintable(granted));
        const QByteArray wrong = "Wr0ng-guess";
        const EnvironmentLogin login(kOwnUser, wrong);
        LogCapture log(true);
        TDM dm(connection);
        fb::ErrorKind kind = fb::ErrorKind::Other;
        QVERIFY(!dm.Connect(&kind));
        QCOMPARE(kind, fb::ErrorKind::LoginRefused);
        QCOMPARE(save_failure::noConnectionMessage(kind),
                 QStringLiteral("No connection to database!\n"
                                "The server refused the user name or password."));
        // Operations fall back as with any connection that cannot be made.
        QCOMPARE(dm.GetSetting(QStringLiteral("k")), QStringLiteral("-1"));
        QVERIFY(!dm.SetSetting(QStringLiteral("k"), QStringLiteral("v")));
        QVERIFY_THROWS_EXCEPTION(fb::Error, note_store::insertNote(dm, row(QStringLiteral("x"))));
        QVERIFY(!log.reports.isEmpty());
        QVERIFY2(!log.all().contains(QLatin1String(wrong), Qt::CaseInsensitive),
                 qPrintable(log.all()));
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
