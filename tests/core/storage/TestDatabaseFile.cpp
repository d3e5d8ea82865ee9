#include "core/storage/NoteStore.h"
#include "core/storage/SaveFailure.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <sys/mount.h>

using namespace Qt::StringLiterals;

// The database file under the program's feet: moved, replaced or deleted while connections are
// open, and full or read-only file systems, each with the reason a failed save is given.
Q_DECLARE_METATYPE(fb::ErrorKind)

class TestDatabaseFile : public QObject
{
    Q_OBJECT

    static sql::note::NewNoteRow newNote(const QString& title)
    {
        sql::note::NewNoteRow row;
        row.title = title;
        row.message = QString(400, QLatin1Char('m'));
        row.created = QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5));
        row.alarmDate = row.created.date();
        row.alarmTime = row.created.time();
        return row;
    }

    static QString count(const QString& path, const QString& table)
    {
        TDM dm(path);
        return dm.transact([&](DbSession& s) {
            auto query = s.open(QStringLiteral("SELECT COUNT(*) FROM ") + table);
            query->fetch();
            return query->text(0);
        });
    }

    // A small file system of its own, for the disk-full and read-only cases; empty when this
    // process may not mount one.
    static QString mountSmallFileSystem(const char* size)
    {
        const QString directory = freshTestDirectory() + QStringLiteral("/fs");
        QDir().mkpath(directory);
        const QByteArray options = QByteArray("size=") + size;
        if (::mount("tmpfs", QFile::encodeName(directory).constData(), "tmpfs", 0,
                    options.constData()) != 0)
            return {};
        return directory;
    }

    static void unmount(const QString& directory)
    {
        ::umount2(QFile::encodeName(directory).constData(), MNT_DETACH);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The engine takes the lock directory of the first database this process opens; it
        // must not lie on a file system that a test unmounts.
        TestDatabase first;
        first.open();
    }

    void movedOrReplacedFileStopsEveryConnection_data() { addFileLossRows(); }
    void movedOrReplacedFileStopsEveryConnection()
    {
        QFETCH(QString, change);
        TestDatabase db;
        auto dm = db.open();
        QVERIFY(dm->SetSetting(QStringLiteral("Before"), QStringLiteral("1")));
        // A worker's connection opened before the change, and one opened after it.
        TDM worker(dm->fileGuard());
        QCOMPARE(note_store::countNotes(worker), 0);
        TDM late(dm->fileGuard());
        QSignalSpy lost(dm->fileGuard().get(), &DatabaseFileGuard::lost);

        const QString elsewhere = movedDatabasePath(db);
        QVERIFY(loseDatabaseFile(db, change));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^DM - .*was moved")));
        QVERIFY(!dm->SetSetting(QStringLiteral("After"), QStringLiteral("2")));
        fb::ErrorKind saveError = fb::ErrorKind::Other;
        try {
            note_store::insertNote(*dm, newNote(QStringLiteral("lost")));
        } catch (const fb::Error& e) {
            saveError = e.kind();
        }
        QCOMPARE(saveError, fb::ErrorKind::FileMoved);
        QVERIFY_THROWS_EXCEPTION(fb::Error, note_store::countNotes(worker));
        QVERIFY_THROWS_EXCEPTION(fb::Error, note_store::countNotes(late));
        QVERIFY(!late.isConnected());
        QVERIFY(dm->fileGuard()->isLost());
        QCOMPARE(lost.count(), 1);
        QVERIFY(dm->fileGuard()->claimAnnouncement());
        QVERIFY(!dm->fileGuard()->claimAnnouncement());

        // Nothing reached either file.
        dm.reset();
        worker.Disconnect();
        if (change == QStringLiteral("moved")) {
            QCOMPARE(count(elsewhere, QStringLiteral("USTAWIENIA")), QStringLiteral("1"));
            QCOMPARE(count(elsewhere, QStringLiteral("NOTATKI")), QStringLiteral("0"));
        } else if (change == QStringLiteral("replaced")) {
            QCOMPARE(count(db.path(), QStringLiteral("USTAWIENIA")), QStringLiteral("0"));
            QCOMPARE(count(db.path(), QStringLiteral("NOTATKI")), QStringLiteral("0"));
        } else {
            QVERIFY(!QFile::exists(db.path()));
        }
    }

    void fileMovedBackIsUsedAgain()
    {
        TestDatabase db;
        auto dm = db.open();
        QVERIFY(dm->SetSetting(QStringLiteral("A"), QStringLiteral("1")));
        const QString away = db.path() + QStringLiteral(".away");
        QVERIFY(QFile::rename(db.path(), away));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^DM - ")));
        QVERIFY(!dm->SetSetting(QStringLiteral("B"), QStringLiteral("2")));
        QVERIFY(QFile::rename(away, db.path()));
        QVERIFY(dm->SetSetting(QStringLiteral("B"), QStringLiteral("2")));
        QVERIFY(!dm->fileGuard()->isLost());
        QCOMPARE(db.scalar(QStringLiteral("SELECT Wartosc FROM USTAWIENIA WHERE Ustawienie = 'B'")),
                 QStringLiteral("2"));
    }

    // Each kind of failure the user can act on is named after the plain message, both when a
    // save fails and when the database cannot be opened; any other failure keeps the plain
    // message alone.
    void reasonsFollowFromTheKind_data()
    {
        QTest::addColumn<fb::ErrorKind>("kind");
        QTest::addColumn<QString>("reason");
        using fb::ErrorKind;
        const auto row = [](const char* name, ErrorKind kind, const QString& reason) {
            QTest::newRow(name) << kind << reason;
        };
        row("server", ErrorKind::ConnectionLost, u"The database server does not answer."_s);
        row("disk full", ErrorKind::DiskFull, u"The disk is full."_s);
        row("read-only file", ErrorKind::NotWritable,
            u"The database file cannot be written (no permission, or it is read-only)."_s);
        row("read-only folder", ErrorKind::FolderNotWritable,
            u"The database's folder is read-only."_s);
        row("lock folder", ErrorKind::LockFolder,
            u"The lock folder .dbn.lock beside the database cannot be written."_s);
        row("missing", ErrorKind::FileMissing, u"The database file is missing or was moved."_s);
        row("moved while running", ErrorKind::FileMoved,
            u"The database file was moved or replaced while the program was running."_s);
        row("not a database", ErrorKind::NotDatabase, u"The file is not a Quillbox database."_s);
        row("login refused", ErrorKind::LoginRefused,
            u"The server refused the user name or password."_s);
        row("anything else", ErrorKind::Other, u""_s);
    }
    void reasonsFollowFromTheKind()
    {
        QFETCH(fb::ErrorKind, kind);
        QFETCH(QString, reason);
        QCOMPARE(save_failure::reason(kind), reason);
        const QString notSaved = QStringLiteral("The note could not be saved!");
        const QString noConnection = QStringLiteral("No connection to database!");
        QCOMPARE(save_failure::noteNotSavedMessage(kind),
                 reason.isEmpty() ? notSaved : notSaved + QStringLiteral("\n\n") + reason);
        QCOMPARE(save_failure::noConnectionMessage(kind),
                 reason.isEmpty() ? noConnection : noConnection + QLatin1Char('\n') + reason);
    }

    void fullDiskIsNamed()
    {
        const QString fs = mountSmallFileSystem("4m");
        if (fs.isEmpty())
            QSKIP("cannot mount a small file system here (needs root)");
        const QString path = fs + QStringLiteral("/dbn.ib");
        QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_EMPTY_DB), path));
        QString saveError;
        fb::ErrorKind kind = fb::ErrorKind::Other;
        int saved = 0;
        {
            TDM dm(path);
            QVERIFY(dm.Connect());
            for (; saved < 10000 && saveError.isEmpty(); ++saved) {
                try {
                    note_store::insertNote(dm, newNote(QStringLiteral("n%1").arg(saved)));
                } catch (const fb::Error& e) {
                    saveError = e.text();
                    kind = e.kind();
                }
            }
        }
        unmount(fs);
        QVERIFY2(!saveError.isEmpty(), "the disk never filled");
        QVERIFY2(saved > 1, qPrintable(saveError));
        QVERIFY2(kind == fb::ErrorKind::DiskFull, qPrintable(saveError));
    }

    void readOnlyFileSystemIsNamed()
    {
        const QString fs = mountSmallFileSystem("16m");
        if (fs.isEmpty())
            QSKIP("cannot mount a small file system here (needs root)");
        const QString path = fs + QStringLiteral("/dbn.ib");
        QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_EMPTY_DB), path));
        QString saveError;
        fb::ErrorKind kind = fb::ErrorKind::Other;
        {
            TDM dm(path);
            QVERIFY(dm.SetSetting(QStringLiteral("A"), QStringLiteral("1")));
            // The program closes and re-opens its connection around the quit sequence.
            QVERIFY(dm.Disconnect());
            QVERIFY(::mount(nullptr, QFile::encodeName(fs).constData(), nullptr,
                            MS_REMOUNT | MS_RDONLY, nullptr) == 0);
            try {
                note_store::insertNote(dm, newNote(QStringLiteral("n")));
            } catch (const fb::Error& e) {
                saveError = e.text();
                kind = e.kind();
            }
        }
        unmount(fs);
        QVERIFY(!saveError.isEmpty());
        QVERIFY2(kind == fb::ErrorKind::NotWritable, qPrintable(saveError));
    }
};

QTEST_GUILESS_MAIN(TestDatabaseFile)
#include "TestDatabaseFile.moc"
