#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

// Behaviour across processes: what survives a killed process, two programs on one database
// file, and the program's own reaction to termination signals.
class TestProcesses : public QObject
{
    Q_OBJECT

    static QProcessEnvironment environment()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("FIREBIRD"));
        env.remove(QStringLiteral("FIREBIRD_LOCK"));
        return env;
    }

    static bool waitForOutput(QProcess& process, QProcess::ProcessChannel channel,
                              const QByteArray& text, int timeoutMs = 30000)
    {
        QByteArray seen;
        QDeadlineTimer deadline(timeoutMs);
        if (!process.waitForStarted(timeoutMs))
            return false;
        process.setReadChannel(channel);
        while (!deadline.hasExpired() && process.state() == QProcess::Running) {
            process.waitForReadyRead(100);
            seen += process.readAll();
            if (seen.contains(text))
                return true;
        }
        qWarning() << "waited for" << text << "saw" << seen;
        return false;
    }

private Q_SLOTS:
    void aWriteSurvivesAKilledProcess()
    {
        TestDatabase db;
        QProcess writer;
        writer.setProcessEnvironment(environment());
        writer.start(QStringLiteral(QUILLBOX_DB_WRITER),
                     {QStringLiteral("set"), db.path(), QStringLiteral("HasloDostepu"),
                      QStringLiteral("it's kept")});
        QVERIFY(waitForOutput(writer, QProcess::StandardOutput, "written"));
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(10000));

        auto dm = db.open();
        QCOMPARE(dm->GetSetting(QStringLiteral("HasloDostepu")), QStringLiteral("it's kept"));
    }

    void twoProgramsWriteOneFileAtOnce()
    {
        TestDatabase db;
        // A third program holds the file open as well. (Not this process: its engine took the
        // lock directory of the first database it opened, so it must not share this file.)
        QProcess holder;
        holder.setProcessEnvironment(environment());
        holder.start(QStringLiteral(QUILLBOX_DB_WRITER),
                     {QStringLiteral("set"), db.path(), QStringLiteral("x"), QStringLiteral("1")});
        QVERIFY(waitForOutput(holder, QProcess::StandardOutput, "written"));
        const int count = 150;
        QProcess first;
        QProcess second;
        for (QProcess* p : {&first, &second}) {
            p->setProcessEnvironment(environment());
            p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        }
        first.start(
            QStringLiteral(QUILLBOX_DB_WRITER),
            {QStringLiteral("notes"), db.path(), QStringLiteral("first "), QString::number(count)});
        second.start(QStringLiteral(QUILLBOX_DB_WRITER),
                     {QStringLiteral("notes"), db.path(), QStringLiteral("second "),
                      QString::number(count)});
        QVERIFY(first.waitForFinished(120000));
        QVERIFY(second.waitForFinished(120000));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));

        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")),
                 QString::number(2 * count));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(DISTINCT ID) FROM NOTATKI")),
                 QString::number(2 * count));

        QProcess gfix;
        gfix.setProcessEnvironment(environment());
        gfix.setProcessChannelMode(QProcess::MergedChannels);
        gfix.start(QStringLiteral(QUILLBOX_GFIX),
                   {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-user"),
                    QStringLiteral("sysdba"), db.path()});
        QVERIFY(gfix.waitForFinished(60000));
        const QByteArray report = gfix.readAll();
        QVERIFY2(gfix.exitCode() == 0 && report.trimmed().isEmpty(), report.constData());
    }

    void aProgramWithoutTheLockFilesIsRefused()
    {
        // A program runs; a clean-up of hidden folders deletes the lock directory beside the
        // database; a second program must then not open the file, or the two would hand out
        // the same note IDs and overwrite each other's pages.
        TestDatabase db;
        QProcess first;
        first.setProcessEnvironment(environment());
        first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first.start(
            QStringLiteral(QUILLBOX_DB_WRITER),
            {QStringLiteral("hold"), db.path(), QStringLiteral("first "), QStringLiteral("30")});
        QVERIFY(waitForOutput(first, QProcess::StandardOutput, "written"));
        const QString lockDirectory = db.directory() + QStringLiteral("/.dbn.lock");
        QVERIFY(QDir(lockDirectory).exists());
        QVERIFY(QDir(lockDirectory).removeRecursively());

        QProcess second;
        second.setProcessEnvironment(environment());
        second.start(
            QStringLiteral(QUILLBOX_DB_WRITER),
            {QStringLiteral("notes"), db.path(), QStringLiteral("second "), QStringLiteral("30")});
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitCode(), 3); // "No connection to database!" in the program
        QVERIFY(second.readAllStandardError().contains("lock directory"));

        // The program already running keeps working.
        first.write("more\n");
        QVERIFY(waitForOutput(first, QProcess::StandardOutput, "written"));
        first.closeWriteChannel();
        QVERIFY(first.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);

        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI WHERE Tytul STARTING "
                                          "WITH 'first '")),
                 QStringLiteral("60"));
        QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI")), QStringLiteral("60"));
        QProcess gfix;
        gfix.setProcessEnvironment(environment());
        gfix.setProcessChannelMode(QProcess::MergedChannels);
        gfix.start(QStringLiteral(QUILLBOX_GFIX),
                   {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-user"),
                    QStringLiteral("sysdba"), db.path()});
        QVERIFY(gfix.waitForFinished(60000));
        const QByteArray report = gfix.readAll();
        QVERIFY2(gfix.exitCode() == 0 && report.trimmed().isEmpty(), report.constData());
    }

    void twoUsersShareOneFile()
    {
        // A database folder shared through a group: one program runs as root, the other as an
        // unprivileged user of that group, both at once.
        if (::geteuid() != 0)
            QSKIP("needs root to run a program as another user");
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            QSKIP("setpriv is not installed");
        const gid_t group = 100; // "users"
        QTemporaryDir top;
        QVERIFY(top.isValid());
        QVERIFY(::chmod(QFile::encodeName(top.path()).constData(), 0711) == 0);
        const QString shared = top.path() + QStringLiteral("/shared");
        QVERIFY(QDir().mkdir(shared));
        QVERIFY(::chown(QFile::encodeName(shared).constData(), 0, group) == 0);
        QVERIFY(::chmod(QFile::encodeName(shared).constData(), 02770) == 0);
        const QString path = shared + QStringLiteral("/dbn.ib");
        QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_EMPTY_DB), path));
        QVERIFY(::chown(QFile::encodeName(path).constData(), 0, group) == 0);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0660) == 0);

        const int count = 100;
        QProcess asRoot;
        QProcess asUser;
        for (QProcess* p : {&asRoot, &asUser}) {
            p->setProcessEnvironment(environment());
            p->setProcessChannelMode(QProcess::ForwardedChannels);
        }
        asUser.start(setpriv,
                     {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=%1").arg(group),
                      QStringLiteral("--clear-groups"), QStringLiteral(QUILLBOX_DB_WRITER),
                      QStringLiteral("notes"), path, QStringLiteral("user "),
                      QString::number(count)});
        // The user's program makes the engine's lock files first. An engine running as root
        // hands every lock file it creates to the "firebird" user and group, which would lock
        // the user of the database's group out; files it finds already there it leaves alone.
        const QDir locks(shared + QStringLiteral("/.dbn.lock"));
        QTRY_VERIFY_WITH_TIMEOUT(
            !locks.entryList({QStringLiteral("fb_lock_*")}, QDir::Files).isEmpty() ||
                asUser.state() == QProcess::NotRunning,
            60000);
        asRoot.start(
            QStringLiteral(QUILLBOX_DB_WRITER),
            {QStringLiteral("notes"), path, QStringLiteral("root "), QString::number(count)});
        QVERIFY(asRoot.waitForFinished(120000));
        QVERIFY(asUser.waitForFinished(120000));
        QCOMPARE(asRoot.exitCode(), 0);
        QCOMPARE(asUser.exitCode(), 0);
        TDM dm(path);
        const QString total = dm.transact([](DbSession& db) {
            auto query = db.open(QStringLiteral("SELECT COUNT(*) FROM NOTATKI"));
            query->fetch();
            return query->text(0);
        });
        QCOMPARE(total, QString::number(2 * count));
    }

    void terminationRunsTheQuitSequence_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void terminationRunsTheQuitSequence()
    {
        // A copy of the program beside its own database, as an installation would be.
        QFETCH(int, signalNumber);
        TestDatabase db;
        const QString program = db.directory() + QStringLiteral("/quillbox");
        QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_PROGRAM), program));
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);

        QProcess process;
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("QT_LOGGING_RULES"),
                   QStringLiteral("quillbox.db.sql.debug=true"));
        process.setProcessEnvironment(env);
        process.start(program, {});
        // The main window reads its column widths after connecting; once they are asked for
        // the database is open.
        QVERIFY(waitForOutput(process, QProcess::StandardError, "DataSzerokosc"));
        ::kill(pid_t(process.processId()), signalNumber);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);

        for (const char* key : {"FormMainWidth", "FormMainHeight", "FormMainTop", "FormMainLeft",
                                "TytulSzerokosc", "DataSzerokosc"}) {
            const QString value =
                db.scalar(QStringLiteral("SELECT Wartosc FROM USTAWIENIA WHERE Ustawienie = '%1'")
                              .arg(QLatin1String(key)));
            bool isNumber = false;
            value.toInt(&isNumber);
            QVERIFY2(isNumber, key);
        }
    }
};

QTEST_GUILESS_MAIN(TestProcesses)
#include "TestProcesses.moc"
