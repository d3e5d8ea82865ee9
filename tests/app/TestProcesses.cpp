#include "support/ProgramEnvironment.h"
#include "support/TestDatabase.h"
#include "support/Validation.h"
#include "support/XvfbServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// Behaviour across processes: what survives a killed process, two programs on one database
// file, and the program's own reaction to termination signals.
class TestProcesses : public QObject
{
    Q_OBJECT

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

    // The threads of a process (by name) whose signal mask lets SIGTERM, SIGHUP or SIGINT in.
    static QStringList threadsNotBlockingTermination(qint64 pid)
    {
        QStringList found;
        const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
        for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile status(tasks + QLatin1Char('/') + task + QStringLiteral("/status"));
            if (!status.open(QIODevice::ReadOnly))
                continue; // the thread ended meanwhile
            QByteArray name;
            quint64 blocked = 0;
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("Name:"))
                    name = line.mid(5).trimmed();
                else if (line.startsWith("SigBlk:"))
                    blocked = line.mid(7).trimmed().toULongLong(nullptr, 16);
            }
            for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
                if (!(blocked & (quint64(1) << (number - 1)))) {
                    found << QString::fromLatin1(name) + QLatin1Char('/') + task;
                    break;
                }
            }
        }
        return found;
    }

private Q_SLOTS:
    void aWriteSurvivesAKilledProcess()
    {
        TestDatabase db;
        QProcess writer;
        writer.setProcessEnvironment(programEnvironment());
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
        holder.setProcessEnvironment(programEnvironment());
        holder.start(QStringLiteral(QUILLBOX_DB_WRITER),
                     {QStringLiteral("set"), db.path(), QStringLiteral("x"), QStringLiteral("1")});
        QVERIFY(waitForOutput(holder, QProcess::StandardOutput, "written"));
        const int count = 150;
        QProcess first;
        QProcess second;
        for (QProcess* p : {&first, &second}) {
            p->setProcessEnvironment(programEnvironment());
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

        const QString report = validationReport(db.path());
        QVERIFY2(report.isEmpty(), qPrintable(report));
    }

    void aProgramWithoutTheLockFilesIsRefused()
    {
        // A program runs; a clean-up of hidden folders deletes the lock directory beside the
        // database; a second program must then not open the file, or the two would hand out
        // the same note IDs and overwrite each other's pages.
        TestDatabase db;
        QProcess first;
        first.setProcessEnvironment(programEnvironment());
        first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first.start(
            QStringLiteral(QUILLBOX_DB_WRITER),
            {QStringLiteral("hold"), db.path(), QStringLiteral("first "), QStringLiteral("30")});
        QVERIFY(waitForOutput(first, QProcess::StandardOutput, "written"));
        const QString lockDirectory = db.directory() + QStringLiteral("/.dbn.lock");
        QVERIFY(QDir(lockDirectory).exists());
        QVERIFY(QDir(lockDirectory).removeRecursively());

        QProcess second;
        second.setProcessEnvironment(programEnvironment());
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
        const QString report = validationReport(db.path());
        QVERIFY2(report.isEmpty(), qPrintable(report));
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
            p->setProcessEnvironment(programEnvironment());
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
        // To the process (any thread not blocking it takes it) or to its main thread alone,
        // whose wait in the event loop it then interrupts.
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("toMainThread");
        for (const auto& [name, number] :
             {std::pair{"SIGTERM", SIGTERM}, std::pair{"SIGHUP", SIGHUP},
              std::pair{"SIGINT", SIGINT}}) {
            QTest::addRow("%s to the process", name) << number << false;
            QTest::addRow("%s to the main thread", name) << number << true;
        }
    }
    void terminationRunsTheQuitSequence()
    {
        // The signal reaches a program that has settled: its window shown on a real X server,
        // a search typed (when xdotool is there to type it), the threads idle, the main thread
        // asleep in the event loop. That is where a session manager or a closed terminal
        // finds it, and where a signal interrupts the main thread's wait.
        QFETCH(int, signalNumber);
        QFETCH(bool, toMainThread);
        TestDatabase db;
        const QString program = db.directory() + QStringLiteral("/quillbox");
        QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_PROGRAM), program));
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);

        XvfbServer x;
        QProcessEnvironment env = programEnvironment();
        env.insert(QStringLiteral("QT_LOGGING_RULES"),
                   QStringLiteral("quillbox.db.sql.debug=true"));
        if (x.isRunning())
            env = x.environment(env);
        else
            qWarning() << "running offscreen:" << x.failure();
        QProcess process;
        process.setProcessEnvironment(env);
        process.setReadChannel(QProcess::StandardError);
        process.start(program, {});
        QVERIFY(process.waitForStarted(30000));
        QByteArray log;
        auto waitForLog = [&](const QByteArray& text) {
            const QDeadlineTimer deadline(60000);
            while (!log.contains(text) && !deadline.hasExpired() &&
                   process.state() == QProcess::Running) {
                process.waitForReadyRead(100);
                log += process.readAllStandardError();
            }
            return log.contains(text);
        };
        // The list is read once the window is built and its layout restored.
        QVERIFY2(waitForLog("FROM NOTATKI"), log.constData());
        if (x.isRunning()) {
            // Without a tray the window shows at start; type into its search box.
            const QByteArray window =
                x.run(QStringLiteral("xdotool"),
                      {QStringLiteral("search"), QStringLiteral("--sync"),
                       QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                       QStringLiteral("^Quillbox$")})
                    .trimmed();
            if (!window.isEmpty()) {
                const QString id = QString::fromLatin1(window.split('\n').first());
                x.run(QStringLiteral("xdotool"),
                      {QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
                x.run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                                  QStringLiteral("50"), QStringLiteral("milk")});
                QVERIFY2(waitForLog("CONTAINING 'milk'"), log.constData());
            } else {
                qWarning() << "xdotool found no window to type into";
            }
        }
        // Settle: the workers have started their sleeps and nothing else is pending.
        QTest::qWait(1000);
        QCOMPARE(process.state(), QProcess::Running);
        // No thread may take the signal: one that did would run a handler and interrupt
        // whatever system call it was in.
        const QStringList unblocked = threadsNotBlockingTermination(process.processId());
        QVERIFY2(unblocked.isEmpty(), qPrintable(unblocked.join(QLatin1Char(' '))));

        const pid_t pid = pid_t(process.processId());
        if (toMainThread)
            QCOMPARE(::syscall(SYS_tgkill, pid, pid, signalNumber), 0L);
        else
            QCOMPARE(::kill(pid, signalNumber), 0);
        // A hang never ends; the limit only allows for a slow, shared machine.
        const bool finished = process.waitForFinished(15000);
        if (!finished) {
            process.kill();
            process.waitForFinished(10000);
        }
        log += process.readAllStandardError();
        QVERIFY2(finished, log.right(2000).constData());
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
        const QString report = validationReport(db.path());
        QVERIFY2(report.isEmpty(), qPrintable(report));
    }

    void captionsAsTheXServerSeesThem()
    {
        // The window manager shows _NET_WM_NAME; the platform must not add to the texts.
        XvfbServer x;
        if (!x.isRunning())
            QSKIP(qPrintable(QStringLiteral("no X server for the captions: ") + x.failure()));
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty())
            QSKIP("xdotool and xprop are needed to drive the program and read its captions");
        TestDatabase db;
        const QString program = db.directory() + QStringLiteral("/quillbox");
        QVERIFY(QFile::copy(QStringLiteral(QUILLBOX_PROGRAM), program));
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
        QProcess process;
        process.setProcessEnvironment(x.environment(programEnvironment()));
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(program, {});
        QVERIFY(process.waitForStarted(30000));

        const auto windowNamed = [&](const QString& pattern) {
            return x
                .run(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--sync"),
                      QStringLiteral("--onlyvisible"), QStringLiteral("--name"), pattern},
                     60000)
                .trimmed()
                .split('\n')
                .first();
        };
        const auto caption = [&](const QByteArray& window) {
            return QString::fromUtf8(
                x.run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::fromLatin1(window),
                                                QStringLiteral("_NET_WM_NAME")})
                    .trimmed());
        };
        const QByteArray main = windowNamed(QStringLiteral("^Quillbox"));
        QVERIFY(!main.isEmpty());
        QCOMPARE(caption(main), QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"Quillbox\""));
        x.run(QStringLiteral("xdotool"),
              {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::fromLatin1(main)});
        x.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Insert")});
        const QByteArray editor = windowNamed(QStringLiteral("^Quillbox - Note"));
        QVERIFY(!editor.isEmpty());
        QCOMPARE(caption(editor),
                 QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"Quillbox - Note\""));

        ::kill(pid_t(process.processId()), SIGTERM);
        QVERIFY(process.waitForFinished(30000));
    }
};

QTEST_GUILESS_MAIN(TestProcesses)
#include "TestProcesses.moc"
