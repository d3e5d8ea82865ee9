#include "core/storage/NoteStore.h"
#include "core/storage/SaveFailure.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <sys/mount.h>

// The database file under the program's feet: moved, replaced or deleted while connections are
// open, and full or read-only file systems, each with the reason a failed save is given.
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
        QString saveError;
        try {
            note_store::insertNote(*dm, newNote(QStringLiteral("lost")));
        } catch (const fb::Error& e) {
            saveError = e.text();
        }
        QCOMPARE(save_failure::classify(saveError), save_failure::Cause::FileLost);
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

    void causesOfAFailedSave_data()
    {
        QTest::addColumn<QString>("errorText");
        QTest::addColumn<int>("cause");
        using save_failure::Cause;
        const auto row = [](const char* name, const QString& errorText, int cause) {
            QTest::newRow(name) << errorText << cause;
        };
        row("disk full",
            "I/O error during \"write_retry\" operation for file "
            "\"/home/u/dbn.ib\"\nError while trying to write to "
            "file\nNo space left on device",
            int(Cause::DiskFull));
        row("quota", "Error while trying to write to file\nDisk quota exceeded",
            int(Cause::DiskFull));
        row("read-only file system",
            "operating system directive access failed\nRead-only file system",
            int(Cause::NotWritable));
        row("permission", "Error while trying to open file\nPermission denied",
            int(Cause::NotWritable));
        row("read-only file", "no permission for read-write access to database /home/u/dbn.ib",
            int(Cause::NotWritable));
        row("read-only database", "attempted update on read-only database",
            int(Cause::NotWritable));
        row("missing",
            "I/O error during \"open\" operation for file \"/home/u/dbn.ib\"\nError while "
            "trying to open file\nNo such file or directory",
            int(Cause::FileMissing));
        row("moved while running",
            DatabaseFileGuard::lostErrorText(QStringLiteral("/home/u/dbn.ib")),
            int(Cause::FileLost));
        row("refused by the database", "exception 1\nNOTE_REFUSED\nnote refused",
            int(Cause::Other));
        row("nothing known", "", int(Cause::Other));
    }
    void causesOfAFailedSave()
    {
        QFETCH(QString, errorText);
        QFETCH(int, cause);
        QCOMPARE(int(save_failure::classify(errorText)), cause);
        const QString message = save_failure::noteNotSavedMessage(save_failure::Cause(cause));
        QVERIFY(message.startsWith(QStringLiteral("The note could not be saved!")));
        QCOMPARE(message == QStringLiteral("The note could not be saved!"),
                 cause == int(save_failure::Cause::Other));
    }

    void fullDiskIsNamed()
    {
        const QString fs = mountSmallFileSystem("4m");
        if (fs.isEmpty())
            QSKIP("cannot mount a small file system here (needs root)");
        const QString path = fs + QStringLiteral("/dbn.ib");
        QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_EMPTY_DB), path));
        QString saveError;
        int saved = 0;
        {
            TDM dm(path);
            QVERIFY(dm.Connect());
            for (; saved < 10000 && saveError.isEmpty(); ++saved) {
                try {
                    note_store::insertNote(dm, newNote(QStringLiteral("n%1").arg(saved)));
                } catch (const fb::Error& e) {
                    saveError = e.text();
                }
            }
        }
        unmount(fs);
        QVERIFY2(!saveError.isEmpty(), "the disk never filled");
        QVERIFY2(saved > 1, qPrintable(saveError));
        QCOMPARE(save_failure::classify(saveError), save_failure::Cause::DiskFull);
    }

    void readOnlyFileSystemIsNamed()
    {
        const QString fs = mountSmallFileSystem("16m");
        if (fs.isEmpty())
            QSKIP("cannot mount a small file system here (needs root)");
        const QString path = fs + QStringLiteral("/dbn.ib");
        QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_EMPTY_DB), path));
        QString saveError;
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
            }
        }
        unmount(fs);
        QVERIFY(!saveError.isEmpty());
        QCOMPARE(save_failure::classify(saveError), save_failure::Cause::NotWritable);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseFile)
#include "TestDatabaseFile.moc"
