#include "support/ProgramEnvironment.h"
#include "support/TestDatabase.h"
#include "support/Validation.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QtTest>
#include <sys/stat.h>

// "quillbox --backup FILE" and "quillbox --restore BACKUP NEWFILE" as a user runs them: on a
// copy of the program beside its database, while another program writes to it.
class TestBackup : public QObject
{
    Q_OBJECT

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

    static Run run(const QString& program, const QStringList& arguments)
    {
        QProcess process;
        process.setProcessEnvironment(programEnvironment());
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
