#include "support/ProgramEnvironment.h"
#include "support/TestDatabase.h"
#include "support/Validation.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QtTest>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// "quillbox --backup FILE" and "quillbox --restore BACKUP NEWFILE" as a user runs them: on a
// copy of the program beside its database, while another program writes to it.
class TestBackup : public QObject
{
    Q_OBJECT

    // The shared program environment, without a database named by the variable: each case
    // names its own.
    static QProcessEnvironment environment()
    {
        QProcessEnvironment env = programEnvironment();
        env.remove(QStringLiteral("QUILLBOX_DATABASE"));
        return env;
    }

    // A copy of the program in the database's directory: it works on that dbn.ib.
    static QString installBeside(const TestDatabase& db)
    {
        const QString program = db.directory() + QStringLiteral("/quillbox");
        if (!QFile::exists(program)) {
            QFile::copy(QStringLiteral(QUILLBOX_PROGRAM), program);
            QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
        }
        return program;
    }

    struct Run
    {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    static Run run(const QString& program, const QStringList& arguments,
                   const QProcessEnvironment& env = environment())
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, arguments);
        Run result;
        if (!process.waitForFinished(300000)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    // Saves count notes into the database through a program of its own.
    static bool addNotes(const QString& database, int count)
    {
        QProcess writer;
        writer.setProcessEnvironment(environment());
        writer.start(
            QStringLiteral(QUILLBOX_DB_WRITER),
            {QStringLiteral("notes"), database, QStringLiteral("note "), QString::number(count)});
        return writer.waitForFinished(120000) && writer.exitCode() == 0;
    }

    // The names in a directory besides the ones listed, hidden ones included.
    static QStringList othersIn(const QString& directory, const QStringList& known)
    {
        QStringList names = QDir(directory).entryList(QDir::AllEntries | QDir::Hidden |
                                                      QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : known)
            names.removeAll(name);
        return names;
    }

private Q_SLOTS:
    void backupWhileAnotherProgramWrites()
    {
        TestDatabase db;
        const QString program = installBeside(db);
        // Committed before the backup starts: all of these must be in it.
        QProcess before;
        before.setProcessEnvironment(programEnvironment());
        before.start(
            QStringLiteral(QUILLBOX_DB_WRITER),
            {QStringLiteral("notes"), db.path(), QStringLiteral("before "), QStringLiteral("60")});
        QVERIFY(before.waitForFinished(120000));
        QCOMPARE(before.exitCode(), 0);

        // Another program goes on saving notes all through the backup.
        QProcess writer;
        writer.setProcessEnvironment(programEnvironment());
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(
            QStringLiteral(QUILLBOX_DB_WRITER),
            {QStringLiteral("hold"), db.path(), QStringLiteral("during "), QStringLiteral("20")});
        QVERIFY(writer.waitForStarted());
        QVERIFY(writer.waitForReadyRead(60000));
        writer.write("more\n");

        const QString backupFile = freshTestDirectory() + QStringLiteral("/notes.fbk");
        const Run backup = run(program, {QStringLiteral("--backup"), backupFile});
        QVERIFY2(backup.exitCode == 0, backup.err.constData());
        QVERIFY(backup.out.contains("Backed up"));
        QVERIFY(QFileInfo(backupFile).size() > 0);
        // No more readable than the database it came from.
        QCOMPARE(QFileInfo(backupFile).permissions() &
                     (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());
        QCOMPARE(othersIn(QFileInfo(backupFile).absolutePath(), {QStringLiteral("notes.fbk")}),
                 QStringList());

        writer.write("more\n");
        writer.closeWriteChannel();
        QVERIFY(writer.waitForFinished(120000));
        QCOMPARE(writer.exitCode(), 0);

        const QString restoreDirectory = freshTestDirectory();
        const QString restored = restoreDirectory + QStringLiteral("/restored.ib");
        const Run restore = run(program, {QStringLiteral("--restore"), backupFile, restored});
        QVERIFY2(restore.exitCode == 0, restore.err.constData());
        QCOMPARE(othersIn(restoreDirectory,
                          {QStringLiteral("restored.ib"), QStringLiteral(".dbn.lock")}),
                 QStringList());

        QSet<QString> titles;
        {
            TDM dm(restored);
            dm.transact([&](DbSession& s) {
                auto query = s.open(QStringLiteral("SELECT Tytul FROM NOTATKI"));
                while (query->fetch())
                    titles.insert(query->text(0));
            });
        }
        for (int i = 0; i < 60; ++i)
            QVERIFY2(titles.contains(QStringLiteral("before %1").arg(i)),
                     qPrintable(QString::number(i)));
        // The backup is one moment of the file: the notes of the first round were committed
        // before it started, those of the last only after it ended.
        for (int i = 0; i < 20; ++i)
            QVERIFY(titles.contains(QStringLiteral("during %1").arg(i)));
        QVERIFY(titles.size() <= 60 + 60);
        QCOMPARE(validationReport(restored), QString());
    }

    // The backup is of the database the program would open, and says which one that is.
    void backupOfTheChosenDatabase_data()
    {
        QTest::addColumn<QString>("chosenBy");
        QTest::newRow("--database") << "option";
        QTest::newRow("QUILLBOX_DATABASE") << "variable";
        QTest::newRow("beside the executable") << "beside";
    }
    void backupOfTheChosenDatabase()
    {
        QFETCH(QString, chosenBy);
        TestDatabase beside;
        const QString program = installBeside(beside);
        TestDatabase chosen;
        QVERIFY(addNotes(chosen.path(), 3));
        const QString database =
            chosenBy == QStringLiteral("beside") ? beside.path() : chosen.path();
        const int notes = chosenBy == QStringLiteral("beside") ? 0 : 3;
        QStringList arguments;
        QProcessEnvironment env = environment();
        if (chosenBy == QStringLiteral("option"))
            arguments << QStringLiteral("--database") << chosen.path();
        else if (chosenBy == QStringLiteral("variable"))
            env.insert(QStringLiteral("QUILLBOX_DATABASE"), chosen.path());
        const QString backupFile = freshTestDirectory() + QStringLiteral("/notes.fbk");
        arguments << QStringLiteral("--backup") << backupFile;

        const Run backup = run(program, arguments, env);
        QVERIFY2(backup.exitCode == 0, backup.err.constData());
        QCOMPARE(QString::fromLocal8Bit(backup.out),
                 QStringLiteral("Backed up %1 notes of %2 into %3.\n")
                     .arg(QString::number(notes), database, backupFile));

        // What the backup holds is that database's notes.
        const QString restored = freshTestDirectory() + QStringLiteral("/restored.ib");
        const Run restore = run(program, {QStringLiteral("--restore"), backupFile, restored});
        QVERIFY2(restore.exitCode == 0, restore.err.constData());
        TDM dm(restored);
        QCOMPARE(dm.transact([](DbSession& s) {
            auto query = s.open(QStringLiteral("SELECT COUNT(*) FROM NOTATKI"));
            query->fetch();
            return query->integer(0);
        }),
                 qint64(notes));
    }

    // Only a new file or an earlier backup is written: any other node at the name is refused
    // and left exactly as it was.
    void nodeThatIsNoFileIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("/dev/null") << "device";
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("socket") << "socket";
        QTest::newRow("directory") << "directory";
        QTest::newRow("symbolic link to a backup") << "link";
    }
    void nodeThatIsNoFileIsRefused()
    {
        QFETCH(QString, kind);
        TestDatabase db;
        const QString program = installBeside(db);
        const QString folder = freshTestDirectory();
        QString target = folder + QStringLiteral("/node");
        const QByteArray name = QFile::encodeName(target);
        int listening = -1;
        if (kind == QStringLiteral("device")) {
            target = QStringLiteral("/dev/null");
        } else if (kind == QStringLiteral("fifo")) {
            QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        } else if (kind == QStringLiteral("socket")) {
            listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            QVERIFY(size_t(name.size()) < sizeof address.sun_path);
            std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
            QVERIFY(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        } else if (kind == QStringLiteral("directory")) {
            QVERIFY(QDir().mkdir(target));
        } else {
            QFile earlier(folder + QStringLiteral("/earlier.fbk"));
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier backup");
            earlier.close();
            QVERIFY(QFile::link(earlier.fileName(), target));
        }
        struct stat before = {};
        QVERIFY(::lstat(QFile::encodeName(target).constData(), &before) == 0);
        const QStringList namesBefore = othersIn(folder, {});

        const Run backup = run(program, {QStringLiteral("--backup"), target});
        if (listening >= 0)
            ::close(listening);
        QCOMPARE(backup.exitCode, 1);
        QVERIFY(backup.out.isEmpty());
        QVERIFY2(backup.err.contains(QByteArray(QFile::encodeName(target) + " is a")),
                 backup.err.constData());
        QVERIFY(backup.err.contains(
            QByteArray("No backup of " + QFile::encodeName(db.path()) + " was written.")));

        struct stat after = {};
        QVERIFY(::lstat(QFile::encodeName(target).constData(), &after) == 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_rdev, before.st_rdev);
        QCOMPARE(othersIn(folder, {}), namesBefore);
        if (kind == QStringLiteral("link")) {
            QFile earlier(folder + QStringLiteral("/earlier.fbk"));
            QVERIFY(earlier.open(QIODevice::ReadOnly));
            QCOMPARE(earlier.readAll(), QByteArray("earlier backup"));
        }
    }

    // An earlier backup of the name is replaced, and the message says so.
    void replacingAnEarlierBackupSaysSo()
    {
        TestDatabase db;
        const QString program = installBeside(db);
        const QString backupFile = freshTestDirectory() + QStringLiteral("/notes.fbk");
        const Run first = run(program, {QStringLiteral("--backup"), backupFile});
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(!first.out.contains("replaced"), first.out.constData());
        struct stat firstFile = {};
        QVERIFY(::stat(QFile::encodeName(backupFile).constData(), &firstFile) == 0);

        QVERIFY(addNotes(db.path(), 2));
        const Run second = run(program, {QStringLiteral("--backup"), backupFile});
        QCOMPARE(second.exitCode, 0);
        QCOMPARE(QString::fromLocal8Bit(second.out),
                 QStringLiteral("Backed up 2 notes of %1 into %2. It replaced the earlier backup "
                                "there.\n")
                     .arg(db.path(), backupFile));
        struct stat secondFile = {};
        QVERIFY(::stat(QFile::encodeName(backupFile).constData(), &secondFile) == 0);
        QVERIFY(secondFile.st_ino != firstFile.st_ino);
    }

    // A restore runs the engine with the settings of the program's database, its lock
    // directory included, as the program would, and names that database.
    void restoreUsesTheChosenDatabasesSettings()
    {
        TestDatabase source;
        const QString program = installBeside(source);
        const QString backupFile = freshTestDirectory() + QStringLiteral("/notes.fbk");
        QCOMPARE(run(program, {QStringLiteral("--backup"), backupFile}).exitCode, 0);

        TestDatabase chosen;
        const QString lockDirectory = chosen.directory() + QStringLiteral("/.dbn.lock");
        QVERIFY(QDir(lockDirectory).removeRecursively());
        const QString restoreDirectory = freshTestDirectory();
        const QString restored = restoreDirectory + QStringLiteral("/new.ib");
        const Run restore = run(program, {QStringLiteral("--database"), chosen.path(),
                                          QStringLiteral("--restore"), backupFile, restored});
        QVERIFY2(restore.exitCode == 0, restore.err.constData());
        QVERIFY2(restore.out.contains(
                     QByteArray("The program's database is " + QFile::encodeName(chosen.path()))),
                 restore.out.constData());
        QVERIFY(QFileInfo(lockDirectory).isDir());
        QCOMPARE(othersIn(restoreDirectory, {}), QStringList{QStringLiteral("new.ib")});
    }

    void nothingHalfMadeIsLeft_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("backup of a missing database") << "missing database" << 1;
        QTest::newRow("backup onto the database itself") << "onto itself" << 1;
        QTest::newRow("restore of a damaged backup") << "damaged backup" << 1;
        QTest::newRow("restore over an existing file") << "existing target" << 1;
        QTest::newRow("backup without a file name") << "no file name" << 2;
    }
    void nothingHalfMadeIsLeft()
    {
        QFETCH(QString, kind);
        QFETCH(int, exitCode);
        TestDatabase db;
        const QString program = installBeside(db);
        const QString target = freshTestDirectory();
        QStringList arguments;
        QStringList expected; // what the target directory holds afterwards
        if (kind == QStringLiteral("missing database")) {
            QVERIFY(QFile::remove(db.path()));
            arguments = {QStringLiteral("--backup"), target + QStringLiteral("/b.fbk")};
        } else if (kind == QStringLiteral("onto itself")) {
            arguments = {QStringLiteral("--backup"), db.path()};
        } else if (kind == QStringLiteral("damaged backup")) {
            QFile damaged(target + QStringLiteral("/b.fbk"));
            QVERIFY(damaged.open(QIODevice::WriteOnly));
            damaged.write(QByteArray("not a backup at all\n").repeated(500));
            damaged.close();
            arguments = {QStringLiteral("--restore"), damaged.fileName(),
                         target + QStringLiteral("/new.ib")};
            expected << QStringLiteral("b.fbk");
        } else if (kind == QStringLiteral("existing target")) {
            const Run made =
                run(program, {QStringLiteral("--backup"), target + QStringLiteral("/b.fbk")});
            QCOMPARE(made.exitCode, 0);
            QFile existing(target + QStringLiteral("/new.ib"));
            QVERIFY(existing.open(QIODevice::WriteOnly));
            existing.write("keep me");
            existing.close();
            arguments = {QStringLiteral("--restore"), target + QStringLiteral("/b.fbk"),
                         existing.fileName()};
            expected << QStringLiteral("b.fbk") << QStringLiteral("new.ib");
        } else {
            arguments = {QStringLiteral("--backup")};
        }
        const QByteArray databaseBefore = [&] {
            QFile file(db.path());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();

        const Run result = run(program, arguments);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY(!result.err.trimmed().isEmpty());
        QVERIFY(result.out.isEmpty());
        QStringList left = othersIn(target, expected);
        left.removeAll(QStringLiteral(".dbn.lock"));
        QCOMPARE(left, QStringList());
        if (kind == QStringLiteral("existing target")) {
            QFile existing(target + QStringLiteral("/new.ib"));
            QVERIFY(existing.open(QIODevice::ReadOnly));
            QCOMPARE(existing.readAll(), QByteArray("keep me"));
        }
        if (kind == QStringLiteral("onto itself")) {
            QFile file(db.path());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(file.readAll() == databaseBefore);
        }
    }
};

QTEST_GUILESS_MAIN(TestBackup)
#include "TestBackup.moc"
