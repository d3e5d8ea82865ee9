// The note list's benchmarks on a real database of 100,000 notes. Each figure is printed with
// its goal; nothing here fails a build, it only reports.

#include "BenchDatabase.h"
#include "StartupReport.h"
#include "core/alarms/CheckAlarms.h"
#include "core/list/NoteListReader.h"
#include "core/list/NoteListRows.h"
#include "core/list/ReloadScheduler.h"
#include "core/storage/AlarmStatements.h"
#include "core/storage/DataModule.h"
#include "core/storage/NoteChangeListener.h"
#include "core/storage/NoteListStatements.h"
#include "core/storage/NoteListStore.h"
#include "core/storage/NoteStore.h"
#include "gui/main/FormMain.h"
#include "gui/main/LiveList.h"
#include "gui/main/NoteListFill.h"
#include "gui/main/NoteListModel.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/FormUsuwanie.h"
#include "support/XDesktop.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kNotes = 100000;
const QString kKeystrokeText = QStringLiteral("inv");
const QString kTypedWord = QStringLiteral("report");

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Resident memory of this process, in bytes.
qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}

FormMainOptions benchOptions()
{
    FormMainOptions options;
    options.trayAvailable = true;
    // The beats are driven by the benchmark itself.
    options.alarmInterval = std::chrono::hours(1);
    options.blinkInterval = std::chrono::hours(1);
    return options;
}

// The client API alone: both statements opened and every row fetched into the fetch buffer.
double bareFetchMs(TDM& dm, const sql::notes::ListStatements& statements)
{
    QElapsedTimer timer;
    timer.start();
    qint64 rows = 0;
    dm.transact([&](DbSession& db) {
        for (const QString* sql : {&statements.running, &statements.others}) {
            auto query = db.open(*sql);
            while (query->fetch())
                ++rows;
        }
    });
    return msSince(timer);
}

struct Ratio
{
    double subject = 0;
    double bare = 0;
};

// Medians of the list operation and of the bare fetch of the same statements, run in turns.
template <typename Operation>
Ratio compareWithBareFetch(TDM& dm, const sql::notes::ListStatements& statements, int runs,
                           Operation operation)
{
    operation();
    bareFetchMs(dm, statements);
    std::vector<double> subject, bare;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        operation();
        subject.push_back(msSince(timer));
        bare.push_back(bareFetchMs(dm, statements));
    }
    return {median(subject), median(bare)};
}

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Runs the event loop until the list's newest fill is complete.
void waitForFill(TFormMain& form)
{
    NoteListFill* fill = form.noteListFill();
    if (fill->isComplete())
        return;
    QEventLoop loop;
    QObject::connect(fill, &NoteListFill::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

// What the GUI thread did in a stretch of time, from the kernel's account of the thread, and
// the time the machine's virtual processors were held back by the host meanwhile.
struct ThreadUse
{
    qint64 cpuNs = 0;
    qint64 waits = 0;       // voluntary context switches: the thread blocked on something
    qint64 preemptions = 0; // involuntary ones: another thread took the core
    qint64 stealMs = 0;     // of all processors together, at the kernel's tick resolution

    ThreadUse operator-(const ThreadUse& earlier) const
    {
        return {cpuNs - earlier.cpuNs, waits - earlier.waits, preemptions - earlier.preemptions,
                stealMs - earlier.stealMs};
    }
};

// The steal time of the whole machine so far: the eighth number of the "cpu" line.
qint64 machineStealMs()
{
    QFile stat(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readLine().simplified().split(' ');
    if (fields.size() < 9)
        return 0;
    return fields[8].toLongLong() * 1000 / sysconf(_SC_CLK_TCK);
}

ThreadUse threadUse()
{
    rusage use{};
    getrusage(RUSAGE_THREAD, &use);
    auto ns = [](const timeval& t) {
        return qint64(t.tv_sec) * 1000000000 + qint64(t.tv_usec) * 1000;
    };
    return {ns(use.ru_utime) + ns(use.ru_stime), use.ru_nvcsw, use.ru_nivcsw, machineStealMs()};
}

// Records the longest time the GUI thread was kept from running a 1 ms heartbeat, with what
// the thread did in it, and separately the most CPU time the thread spent between two beats.
// The machine is a shared virtual one: a gap with hardly any CPU, one wait and steal time on
// the machine is the host holding the processor back, which no program can avoid; the CPU
// figure is the program's own longest stretch of work.
class Heartbeat
{
public:
    Heartbeat()
    {
        clock_.start();
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { beat(); });
    }
    void start()
    {
        longest_ = 0;
        longestUse_ = {};
        longestCpuNs_ = 0;
        last_ = clock_.nsecsElapsed();
        lastUse_ = threadUse();
        timer_.start();
    }
    // Counts the time since the last beat too, for a block still under way.
    double stopMs()
    {
        beat();
        timer_.stop();
        return double(longest_) / 1e6;
    }
    // The most CPU time the thread spent between two beats.
    double longestWorkMs() const { return double(longestCpuNs_) / 1e6; }
    // What the thread did in the longest gap.
    QString longestUse() const
    {
        return QStringLiteral("CPU %1 ms, %2 waits, %3 preemptions, machine steal %4 ms")
            .arg(double(longestUse_.cpuNs) / 1e6, 0, 'f', 1)
            .arg(longestUse_.waits)
            .arg(longestUse_.preemptions)
            .arg(longestUse_.stealMs);
    }

private:
    void beat()
    {
        const qint64 now = clock_.nsecsElapsed();
        const ThreadUse use = threadUse();
        const ThreadUse gap = use - lastUse_;
        if (now - last_ > longest_) {
            longest_ = now - last_;
            longestUse_ = gap;
        }
        longestCpuNs_ = std::max(longestCpuNs_, gap.cpuNs);
        last_ = now;
        lastUse_ = use;
    }
    QElapsedTimer clock_;
    QTimer timer_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
    ThreadUse lastUse_;
    ThreadUse longestUse_;
    qint64 longestCpuNs_ = 0;
};

// What an action that reloads the list cost the user.
struct Reload
{
    double firstScreenfulMs = 0; // from the action to the first rows painted
    double completeMs = 0;       // from the action to the whole list
    double longestBlockMs = 0;   // of the GUI thread, from the action until the list was whole
    QString blockUse;            // what the GUI thread did in that block
    double longestWorkMs = 0;    // the most CPU the GUI thread spent between two heartbeats
};

// Runs action (which starts a fill) and measures it until the fill is complete.
Reload measureReload(TFormMain& form, const std::function<void()>& action)
{
    Reload result;
    NoteListFill* fill = form.noteListFill();
    Heartbeat heartbeat;
    QElapsedTimer timer;
    qint64 first = -1;
    QObject scope;
    QObject::connect(fill, &NoteListFill::rowsShown, &scope, [&] {
        if (first >= 0)
            return;
        form.LVNotatki->viewport()->repaint();
        first = timer.nsecsElapsed();
    });
    heartbeat.start();
    timer.start();
    action();
    waitForFill(form);
    result.completeMs = msSince(timer);
    // Let the last rows be painted under the heartbeat too.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    result.longestBlockMs = heartbeat.stopMs();
    result.blockUse = heartbeat.longestUse();
    result.longestWorkMs = heartbeat.longestWorkMs();
    result.firstScreenfulMs = double(first) / 1e6;
    return result;
}

// Microseconds of one blink beat: the switch of the images and the repaint it causes.
double blinkBeatMicros(TFormMain& form)
{
    auto beat = [&] {
        form.BlinkRunningAlarms();
        QCoreApplication::processEvents();
    };
    for (int i = 0; i < 200; ++i)
        beat();
    std::vector<double> batches;
    for (int batch = 0; batch < 30; ++batch) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 200; ++i)
            beat();
        batches.push_back(double(timer.nsecsElapsed()) / 1e3 / 200);
    }
    return median(batches);
}

struct Typing
{
    double longestBlockMs = 0;
    QString blockUse;
    double longestWorkMs = 0;
    double lastKeyToListMs = 0;
    bool showsLastText = false;
};

// Types the word into the search box at 10 characters per second while a 1 ms heartbeat on the
// GUI thread records the longest time it was kept from running, until the list shows the
// result of the whole word.
Typing typeIntoSearch(TFormMain& form, TDM& dm)
{
    NoteListFill* fill = form.noteListFill();
    Typing result;
    QElapsedTimer clock;
    clock.start();
    Heartbeat heartbeat;

    int typed = 0;
    qint64 lastKey = 0;
    QEventLoop loop;
    QTimer typist;
    typist.setInterval(100);
    QObject::connect(&typist, &QTimer::timeout, &typist, [&] {
        QTest::keyClick(form.SzukanyCiag, kTypedWord.at(typed).toLatin1());
        lastKey = clock.nsecsElapsed();
        if (++typed == kTypedWord.size())
            typist.stop();
    });
    QObject::connect(fill, &NoteListFill::finished, &loop, [&] {
        if (typed == kTypedWord.size() && fill->isComplete())
            loop.quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);

    heartbeat.start();
    typist.start();
    loop.exec();
    result.lastKeyToListMs = double(clock.nsecsElapsed() - lastKey) / 1e6;
    // Let the new rows be painted under the heartbeat too.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    result.longestBlockMs = heartbeat.stopMs();
    result.blockUse = heartbeat.longestUse();
    result.longestWorkMs = heartbeat.longestWorkMs();

    NoteRows expected;
    readNoteList(dm, sql::notes::search(kTypedWord), expected, QStringLiteral("bench"));
    result.showsLastText =
        form.SzukanyCiag->text() == kTypedWord && form.listedNoteIds() == expected.ids();
    return result;
}

struct Line
{
    QString figure;
    QString measured;
    QString goal;
    QString verdict;
};

void printLines(const std::vector<Line>& lines)
{
    std::printf("\n%-64s | %-66s | %-12s | %s\n", "Figure", "Measured", "Goal", "Verdict");
    std::printf("%s\n", QByteArray(158, '-').constData());
    for (const Line& line : lines) {
        std::printf("%-64s | %-66s | %-12s | %s\n", qPrintable(line.figure),
                    qPrintable(line.measured), qPrintable(line.goal), qPrintable(line.verdict));
    }
}

QString verdict(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("MISSED");
}

// One alarm check pass over notes that all carry an active alarm, none due, against the bare
// fetch of its scan statement: medians of runs taken in turns, on the real clock.
void measureAlarmPass(std::vector<Line>& lines, const QString& data, const QString& empty)
{
    for (const int notes : {10000, 100000}) {
        TDM dm(bench::filledAlarmDatabase(data, empty, notes));
        if (!dm.Connect())
            qFatal("cannot open the alarm database");
        std::printf("Measuring the alarm check pass over %d notes...\n", notes);
        std::fflush(stdout);
        int fired = 0;
        const AlarmClock clock = FormMainOptions().clock; // the program's own
        auto pass = [&] {
            QElapsedTimer timer;
            timer.start();
            fired += CheckAlarms(dm, clock, [](const AlarmBalloon&) { return true; });
            return msSince(timer);
        };
        auto bare = [&] {
            QElapsedTimer timer;
            timer.start();
            qint64 rows = 0;
            dm.transact([&](DbSession& db) {
                auto query = db.open(sql::alarm::scan());
                while (query->fetch())
                    ++rows;
            });
            if (rows != notes)
                qFatal("the scan read %lld rows", static_cast<long long>(rows));
            return msSince(timer);
        };
        pass();
        bare();
        std::vector<double> passes, fetches;
        for (int i = 0; i < (notes > 10000 ? 3 : 9); ++i) {
            passes.push_back(pass());
            fetches.push_back(bare());
        }
        if (fired != 0)
            qFatal("%d alarms fired in a database where none is due", fired);
        const double ratio = median(passes) / median(fetches);
        lines.push_back({QStringLiteral("Alarm pass / bare scan fetch, %1 notes").arg(notes),
                         QStringLiteral("%1 (%2 ms / %3 ms)")
                             .arg(ratio, 0, 'f', 2)
                             .arg(median(passes), 0, 'f', 1)
                             .arg(median(fetches), 0, 'f', 1),
                         notes == 10000 ? QStringLiteral("<= 1.20") : QStringLiteral("reported"),
                         notes == 10000 ? verdict(ratio <= 1.2) : QStringLiteral("-")});
    }
}

// Context switches (voluntary, over every thread) and CPU time of a process so far.
struct ProcessUse
{
    // Per thread ID: a thread that ends in the measured stretch (a pool thread expiring, say)
    // takes its count with it, so sums over the threads of the moment would drop.
    QHash<QString, qint64> switches;
    double cpuMs = 0;

    qint64 switchesSince(const ProcessUse& earlier) const
    {
        qint64 total = 0;
        for (auto it = switches.begin(); it != switches.end(); ++it)
            total += it.value() - earlier.switches.value(it.key(), 0);
        return total;
    }
};

ProcessUse processUse(qint64 pid)
{
    ProcessUse use;
    const QString root = QStringLiteral("/proc/%1").arg(pid);
    for (const QString& task :
         QDir(root + QStringLiteral("/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(root + QStringLiteral("/task/") + task + QStringLiteral("/status"));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:"))
                use.switches[task] = line.mid(24).trimmed().toLongLong();
        }
    }
    QFile stat(root + QStringLiteral("/stat"));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray text = stat.readAll();
        // Fields after the command name (which is in parentheses): utime is the 14th field.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 12) {
            const double ticks = double(fields[11].toLongLong() + fields[12].toLongLong());
            use.cpuMs = ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
        }
    }
    return use;
}

// The program as a user leaves it: the real main window with its default intervals, on the
// database, hidden behind its tray icon or shown. Runs until killed.
int runIdleProgram(QApplication& app, const QString& database, bool shown)
{
    TDM dm(database);
    if (!dm.Connect())
        return 3;
    FormMainOptions options = FormMainOptions::forThisDesktop();
    options.trayAvailable = true;
    TFormMain form(dm, options);
    if (shown)
        form.ShowMainWindow();
    return app.exec();
}

// Starts a search that matches nothing at 100,000 notes, quits while the worker is in it, and
// prints the moment of the quit; the parent times the process end from there.
int runExitMidFill(QApplication& app, const QString& database)
{
    auto dm = std::make_unique<TDM>(database);
    if (!dm->Connect())
        return 3;
    auto form = std::make_unique<TFormMain>(*dm, benchOptions());
    waitForFill(*form);
    form->SzukanyCiag->setText(QStringLiteral("qqzqqxq"));
    QTimer::singleShot(150, form.get(), [&] {
        std::printf("quit %lld\n", static_cast<long long>(monotonicNs()));
        std::fflush(stdout);
        form->QuitProgram();
    });
    const int code = app.exec();
    form.reset();
    dm.reset();
    return code;
}

// Start-up to the tray icon and to the first rows, and resident memory, of the built program
// on a private X desktop at 0 and 100,000 notes, beside the minimal tray program with and
// without the web engine's libraries. Medians of runs taken one after another, after one run
// to warm the file cache.
void measureStartupReport(std::vector<Line>& lines, const QString& bigPath, const QString& empty)
{
    std::printf("Measuring start-up and memory on a private X desktop...\n");
    std::fflush(stdout);
    XDesktop desktop({.tray = true, .notifications = false});
    if (!desktop.isReady()) {
        lines.push_back({QStringLiteral("Start-up on an X desktop"),
                         QStringLiteral("not measured: %1").arg(desktop.whyNot().left(60)),
                         QStringLiteral("reported"), QStringLiteral("-")});
        return;
    }
    constexpr int kRuns = 5;
    constexpr int kSettleMs = 5000;
    const QString program = QStringLiteral(QUILLBOX_PROGRAM);
    const std::vector<bench::StartupSubject> subjects = {
        {QStringLiteral("Minimal Qt tray program"),
         QStringLiteral(QUILLBOX_MINIMAL_TRAY),
         {},
         false},
        {QStringLiteral("Minimal tray + web engine linked"),
         QStringLiteral(QUILLBOX_MINIMAL_TRAY_WEB_ENGINE),
         {},
         false},
        {QStringLiteral("Quillbox, 0 notes"), program, empty, true},
        {QStringLiteral("Quillbox, 100,000 notes"), program, bigPath, true},
    };
    bench::measureStartup(desktop, subjects[2], 1, 1000);
    auto spread = [](const bench::Sample& sample, const char* unit, int decimals) {
        return QStringLiteral("median %1 %4 (%2-%3)")
            .arg(sample.median(), 0, 'f', decimals)
            .arg(sample.min(), 0, 'f', decimals)
            .arg(sample.max(), 0, 'f', decimals)
            .arg(QLatin1String(unit));
    };
    std::vector<bench::StartupFigures> measured;
    for (const bench::StartupSubject& subject : subjects) {
        std::printf("  %s...\n", qPrintable(subject.name));
        std::fflush(stdout);
        measured.push_back(bench::measureStartup(desktop, subject, kRuns, kSettleMs));
        const bench::StartupFigures& figures = measured.back();
        if (!figures.failure.isEmpty()) {
            lines.push_back({subject.name, QStringLiteral("FAILED: %1").arg(figures.failure),
                             QStringLiteral("reported"), QStringLiteral("-")});
            continue;
        }
        lines.push_back(
            {subject.name + QStringLiteral(": start -> tray icon docked"),
             spread(figures.trayReadyMs, "ms", 0) + QStringLiteral(", %1 runs").arg(kRuns),
             QStringLiteral("reported"), QStringLiteral("-")});
        if (subject.tracesFirstRows)
            lines.push_back({subject.name + QStringLiteral(": start -> first rows in the list"),
                             spread(figures.firstRowsMs, "ms", 0), QStringLiteral("reported"),
                             QStringLiteral("-")});
        lines.push_back(
            {subject.name +
                 QStringLiteral(": VmRSS / VmHWM %1 s after start").arg(kSettleMs / 1000),
             spread(figures.residentMb, "MB", 1) + QStringLiteral(" / ") +
                 QString::number(figures.peakMb.median(), 'f', 1) + QStringLiteral(" MB"),
             QStringLiteral("reported"), QStringLiteral("-")});
        lines.push_back({subject.name + QStringLiteral(": SIGTERM -> gone"),
                         spread(figures.goneMs, "ms", 1), QStringLiteral("reported"),
                         QStringLiteral("-")});
        if (subject.tracesFirstRows) {
            std::printf("  Resident memory of %s by mapping (last run):\n",
                        qPrintable(subject.name));
            for (const auto& [kind, mb] : figures.byMapping)
                std::printf("    %7.1f MB  %s\n", mb, qPrintable(kind));
        }
    }

    // Quillbox beside the minimal tray program of the same runs.
    const bench::StartupFigures& minimal = measured.front();
    if (!minimal.failure.isEmpty())
        return;
    for (std::size_t i = 2; i < subjects.size(); ++i) {
        const bench::StartupFigures& figures = measured[i];
        if (!figures.failure.isEmpty())
            continue;
        const QString name = subjects[i].name;
        const double gone = figures.goneMs.median();
        lines.push_back({name + QStringLiteral(": SIGTERM -> gone, beside the minimal tray"),
                         QStringLiteral("%1 ms vs %2 ms")
                             .arg(gone, 0, 'f', 1)
                             .arg(minimal.goneMs.median(), 0, 'f', 1),
                         QStringLiteral("<= 20 ms"), verdict(gone <= 20)});
        const double memory = figures.residentMb.median() / minimal.residentMb.median();
        lines.push_back({name + QStringLiteral(": VmRSS / minimal tray's"),
                         QStringLiteral("%1 (%2 MB / %3 MB)")
                             .arg(memory, 0, 'f', 2)
                             .arg(figures.residentMb.median(), 0, 'f', 1)
                             .arg(minimal.residentMb.median(), 0, 'f', 1),
                         i == 2 ? QStringLiteral("<= 1.50") : QStringLiteral("reported"),
                         i == 2 ? verdict(memory <= 1.5) : QStringLiteral("-")});
        const double start = figures.trayReadyMs.median() / minimal.trayReadyMs.median();
        lines.push_back({name + QStringLiteral(": start -> tray icon / minimal tray's"),
                         QStringLiteral("%1 (%2 ms / %3 ms)")
                             .arg(start, 0, 'f', 2)
                             .arg(figures.trayReadyMs.median(), 0, 'f', 0)
                             .arg(minimal.trayReadyMs.median(), 0, 'f', 0),
                         QStringLiteral("<= 1.50"), verdict(start <= 1.5)});
    }
}

// Runs the event loop until done() holds; false when timeoutMs passed first. Waits for events,
// never sleeps, so the GUI thread is as free as in the program's own loop.
bool runUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// Another program on the same database file: saves notes through the note store as the note
// editor does (each save one transaction that posts the change event), on commands read from
// standard input, and answers each with the moment it committed.
//   save <title>        a new note; answers "saved <ns>"
//   burst <n> <ms>      n edits of the note saved last, titled "burst <i>", spread evenly over
//                       ms; answers "done <ns>"
int runLiveWriter(const QString& database)
{
    TDM dm(database);
    if (!dm.Connect())
        return 3;
    qint32 saved = -1;
    const auto save = [&](const QString& title) {
        sql::note::NewNoteRow row;
        row.title = title;
        row.created = QDateTime::currentDateTime();
        // As the editor leaves them with the alarm off: the pickers' date and time.
        row.alarmDate = row.created.date();
        row.alarmTime = QTime(row.created.time().hour(), row.created.time().minute());
        try {
            saved = note_store::insertNote(dm, row);
            return saved > 0;
        } catch (const fb::Error& e) {
            std::fprintf(stderr, "the writer's save failed: %s\n", e.what());
            return false;
        }
    };
    const auto edit = [&](const QString& title) {
        try {
            return note_store::saveExistingNote(
                       dm, saved, std::nullopt, title, QString(),
                       [](int) { return std::optional<note_store::AlarmUpdate>(); },
                       QDateTime::currentDateTime()) == note_store::SaveOutcome::Saved;
        } catch (const fb::Error& e) {
            std::fprintf(stderr, "the writer's edit failed: %s\n", e.what());
            return false;
        }
    };
    std::string command;
    while (std::getline(std::cin, command)) {
        const QString line = QString::fromStdString(command);
        if (line.startsWith(QLatin1String("save "))) {
            if (!save(line.mid(5)))
                return 4;
            std::printf("saved %lld\n", static_cast<long long>(monotonicNs()));
        } else if (line.startsWith(QLatin1String("burst "))) {
            const int count = line.section(QLatin1Char(' '), 1, 1).toInt();
            const qint64 spanNs = line.section(QLatin1Char(' '), 2, 2).toLongLong() * 1000000;
            const qint64 start = monotonicNs();
            for (int i = 0; i < count; ++i) {
                const qint64 due = start + spanNs * i / count;
                const qint64 wait = due - monotonicNs();
                if (wait > 0) {
                    const timespec pause{time_t(wait / 1000000000), long(wait % 1000000000)};
                    nanosleep(&pause, nullptr);
                }
                if (!edit(QStringLiteral("burst %1").arg(i)))
                    return 4;
            }
            std::printf("done %lld\n", static_cast<long long>(monotonicNs()));
        } else {
            return 0;
        }
        std::fflush(stdout);
    }
    return 0;
}

// This program's side of another program's changes: the real main window, shown, on the
// database, with its own attachments and its listener, and a writer process (runLiveWriter)
// on the same file. Prints its figures as lines "line<TAB>figure<TAB>measured<TAB>goal<TAB>
// verdict" for the parent.
int runLiveViewer(const QString& database)
{
    TDM dm(database);
    if (!dm.Connect())
        return 3;
    TFormMain form(dm, benchOptions());
    form.ShowMainWindow();
    if (!QTest::qWaitForWindowExposed(&form))
        return 4;
    waitForFill(form);
    if (!runUntil([&] { return form.liveList()->listener()->isListening(); }, 30000))
        return 5;

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("FIREBIRD"));
    environment.remove(QStringLiteral("FIREBIRD_LOCK"));
    QProcess writer;
    writer.setProcessEnvironment(environment);
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--live-writer"), database});
    if (!writer.waitForStarted(30000))
        return 6;
    // The writer's answer to a command: the moment it gave, or -1.
    const auto ask = [&](const QString& command, int timeoutMs) -> qint64 {
        writer.write((command + QLatin1Char('\n')).toUtf8());
        if (!runUntil([&] { return writer.canReadLine(); }, timeoutMs))
            return -1;
        return writer.readLine().trimmed().split(' ').value(1).toLongLong();
    };

    // The moment the title watched for was first among the rows the list shows, painted.
    QString watched;
    qint64 seenNs = -1;
    QTreeView& view = *form.LVNotatki;
    const auto look = [&] {
        if (watched.isEmpty() || seenNs >= 0)
            return;
        const int bottom = view.viewport()->height();
        for (QModelIndex index = view.indexAt(QPoint(1, 1));
             index.isValid() && view.visualRect(index).top() < bottom;
             index = view.indexBelow(index)) {
            if (index.siblingAtColumn(0).data().toString() == watched) {
                view.viewport()->repaint();
                seenNs = monotonicNs();
                return;
            }
        }
    };
    QObject scope;
    QObject::connect(form.noteListFill(), &NoteListFill::rowsShown, &scope, look);
    QObject::connect(form.noteListFill(), &NoteListFill::finished, &scope, look);
    const auto print = [](const Line& line) {
        std::printf("line\t%s\t%s\t%s\t%s\n", qPrintable(line.figure), qPrintable(line.measured),
                    qPrintable(line.goal), qPrintable(line.verdict));
        std::fflush(stdout);
    };

    // Where the time goes: the change heard (the listener's announcement) and the reload begun
    // (the scheduler's decision), the first of each after the save.
    qint64 heardNs = -1;
    qint64 reloadNs = -1;
    QObject::connect(form.liveList()->listener(), &NoteChangeListener::changed, &scope, [&] {
        if (heardNs < 0)
            heardNs = monotonicNs();
    });
    QObject::connect(form.liveList()->scheduler(), &ReloadScheduler::reloadDue, &scope, [&] {
        if (reloadNs < 0)
            reloadNs = monotonicNs();
    });
    // Saves one after another, each once the list shows the one before: on a list at rest
    // (its fill complete, then quiet), or while the fill of the one before is still under way
    // (a change that comes then waits for that fill to complete).
    const auto measureSaves = [&](const QString& figure, int saves, bool atRest) {
        std::vector<double> latencies, heard, reloaded;
        for (int i = 0; i < saves; ++i) {
            watched = QStringLiteral("live note %1 %2").arg(atRest).arg(i);
            seenNs = heardNs = reloadNs = -1;
            const qint64 savedNs = ask(QStringLiteral("save ") + watched, 30000);
            if (savedNs < 0)
                break;
            if (runUntil([&] { return seenNs >= 0; }, 10000)) {
                latencies.push_back(double(seenNs - savedNs) / 1e6);
                heard.push_back(double(heardNs - savedNs) / 1e6);
                reloaded.push_back(double(reloadNs - savedNs) / 1e6);
            }
            if (atRest) {
                runUntil([&] { return form.noteListFill()->isComplete(); }, 30000);
                runUntil([] { return false; }, 500);
            }
        }
        runUntil([&] { return form.noteListFill()->isComplete(); }, 30000);
        runUntil([] { return false; }, 500);
        if (latencies.empty()) {
            print({figure, QStringLiteral("never shown in 10 s"), QStringLiteral("<= 1 s"),
                   verdict(false)});
            return;
        }
        const double worst = *std::max_element(latencies.begin(), latencies.end());
        const bool all = int(latencies.size()) == saves;
        print({figure,
               QStringLiteral("median %1 ms, worst %2 ms of %3 saves (heard %5, reload %6)%4")
                   .arg(median(latencies), 0, 'f', 0)
                   .arg(worst, 0, 'f', 0)
                   .arg(saves)
                   .arg(all ? QString()
                            : QStringLiteral(", %1 never shown").arg(saves - latencies.size()))
                   .arg(median(heard), 0, 'f', 0)
                   .arg(median(reloaded), 0, 'f', 0),
               QStringLiteral("<= 1 s"), verdict(all && worst <= 1000)});
    };
    measureSaves(QStringLiteral("Other program's save -> first screenful showing it"), 20, true);
    measureSaves(QStringLiteral("Same, each save while the last reload still fills"), 10, false);

    constexpr int kBurst = 1000;
    constexpr int kBurstMs = 10000;
    int reloads = 0;
    QObject::connect(form.liveList()->scheduler(), &ReloadScheduler::reloadDue, &scope,
                     [&] { ++reloads; });
    // The note edited in the burst: a new one, on top of the list, shown before it starts.
    watched = QStringLiteral("burst");
    seenNs = -1;
    if (ask(QStringLiteral("save ") + watched, 30000) < 0 ||
        !runUntil([&] { return seenNs >= 0; }, 10000))
        return 8;
    runUntil([] { return false; }, 500);
    watched = QStringLiteral("burst %1").arg(kBurst - 1);
    seenNs = -1;
    reloads = 0;
    Heartbeat heartbeat;
    heartbeat.start();
    const qint64 startNs = monotonicNs();
    const qint64 doneNs = ask(QStringLiteral("burst %1 %2").arg(kBurst).arg(kBurstMs), 120000);
    const bool shown =
        doneNs >= 0 &&
        runUntil([&] { return seenNs >= 0 && form.noteListFill()->isComplete(); }, 30000);
    runUntil([] { return false; }, 200);
    const double longestBlockMs = heartbeat.stopMs();
    print({QStringLiteral("%1 changes by another program in %2 s: reloads")
               .arg(kBurst)
               .arg(kBurstMs / 1000),
           QStringLiteral("%1 (writer took %2 s; last change shown %3 ms after its commit)")
               .arg(reloads)
               .arg(double(doneNs - startNs) / 1e9, 0, 'f', 1)
               .arg(shown ? QString::number(double(seenNs - doneNs) / 1e6, 'f', 0)
                          : QStringLiteral("NEVER")),
           QStringLiteral("<= 20"), verdict(shown && reloads <= 20)});
    print({QStringLiteral("%1 changes by another program: longest GUI block").arg(kBurst),
           QStringLiteral("%1 ms (%2)").arg(longestBlockMs, 0, 'f', 1).arg(heartbeat.longestUse()),
           QStringLiteral("<= 50 ms"), verdict(longestBlockMs <= 50)});
    print({QStringLiteral("%1 changes: longest GUI-thread work between heartbeats").arg(kBurst),
           QStringLiteral("%1 ms CPU").arg(heartbeat.longestWorkMs(), 0, 'f', 1),
           QStringLiteral("<= 50 ms"), verdict(heartbeat.longestWorkMs() <= 50)});
    writer.write("quit\n");
    writer.waitForFinished(30000);
    return 0;
}

// Runs runLiveViewer in a program of its own on the database and takes its lines.
void measureLiveList(std::vector<Line>& lines, const QString& database,
                     const QProcessEnvironment& environment)
{
    std::printf("Measuring another program's changes reaching the list...\n");
    std::fflush(stdout);
    QProcess viewer;
    viewer.setProcessEnvironment(environment);
    viewer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    viewer.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--live-viewer"), database});
    const bool ended = viewer.waitForFinished(600000);
    bool any = false;
    for (const QByteArray& text : viewer.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = text.split('\t');
        if (fields.size() != 5 || fields[0] != "line")
            continue;
        lines.push_back({QString::fromUtf8(fields[1]), QString::fromUtf8(fields[2]),
                         QString::fromUtf8(fields[3]), QString::fromUtf8(fields[4])});
        any = true;
    }
    if (!ended || viewer.exitCode() != 0 || !any)
        lines.push_back(
            {QStringLiteral("Another program's changes reaching the list"),
             QStringLiteral("FAILED: the measuring program ended with %1")
                 .arg(ended ? QString::number(viewer.exitCode()) : QStringLiteral("a time-out")),
             QStringLiteral("reported"), QStringLiteral("-")});
}

struct Idle
{
    double wakeupsPerSecond = 0;
    double cpuMsPerMinute = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quillbox"));
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--idle-program"))
        return runIdleProgram(app, args[2], args[3] == QLatin1String("shown"));
    if (args.size() == 3 && args[1] == QLatin1String("--exit-mid-fill"))
        return runExitMidFill(app, args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("--live-viewer"))
        return runLiveViewer(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("--live-writer"))
        return runLiveWriter(args[2]);

    const QString data = QStringLiteral(QUILLBOX_BENCH_DATA);
    const QString empty = QStringLiteral(QUILLBOX_EMPTY_DB);
    const QString bigPath = bench::filledDatabase(data, empty, {kNotes, 3, 300});
    const QString smallPath = bench::filledDatabase(data, empty, {10, 3, 2});
    // No alarm at all: the planned alarms of a fill are daily ones, which fire every day and
    // would make this list blink.
    const QString quietPath = bench::filledDatabase(data, empty, {1000, 0, 0});
    std::vector<Line> lines;
    // Start-up alone: `run_benchmarks --startup`.
    if (args.size() == 2 && args[1] == QLatin1String("--startup")) {
        measureStartupReport(lines, bigPath, empty);
        printLines(lines);
        return 0;
    }

    // The programs the benchmark starts open copies of the large database, one each, made
    // before this process opens it: this process holds the original (with its own lock
    // directory, so a second program on the same file would be turned away) and changes it, and
    // a copy taken while it is open would make the engine clean up after transactions it never
    // saw; two programs on one copy would fire the same alarms and trip over each other.
    QTemporaryDir childData;
    const auto copyOfBig = [&](const QString& name) {
        const QString folder = childData.filePath(name);
        const QString copy = folder + QStringLiteral("/dbn.ib");
        if (!childData.isValid() || !QDir().mkpath(folder) || !QFile::copy(bigPath, copy))
            qFatal("cannot copy %s for the programs the benchmark starts", qPrintable(bigPath));
        return copy;
    };
    const QString childBigPath = copyOfBig(QStringLiteral("exit"));
    const QString trayBigPath = copyOfBig(QStringLiteral("tray"));
    const QString shownBigPath = copyOfBig(QStringLiteral("shown"));
    const QString liveBigPath = copyOfBig(QStringLiteral("live"));
    // The planned alarms of the fill are daily ones, due today: an idle program would spend the
    // measured stretch firing them, each firing reloading the list. As one-off alarms of a far
    // year they stay planned, so every pass still reads them, and none fires.
    for (const QString& path : {trayBigPath, shownBigPath, liveBigPath}) {
        TDM copy(path);
        copy.transact([](DbSession& db) {
            db.execute(QStringLiteral("UPDATE NOTATKI SET AlarmRodzaj = 0, AlarmData = "
                                      "'2999.01.01' WHERE Alarm IN (2, 3)"));
        });
    }
    // An empty list beside the full one: what the notes themselves cost the idle program.
    const QString trayEmptyPath = childData.filePath(QStringLiteral("empty/dbn.ib"));
    if (!QDir().mkpath(childData.filePath(QStringLiteral("empty"))) ||
        !QFile::copy(empty, trayEmptyPath))
        qFatal("cannot copy %s for the programs the benchmark starts", qPrintable(empty));
    QFile::setPermissions(trayEmptyPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // Nor do they take this process's engine settings, which name its configuration and the
    // lock directory of its first database.
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    childEnvironment.remove(QStringLiteral("FIREBIRD"));
    childEnvironment.remove(QStringLiteral("FIREBIRD_LOCK"));
    // `run_benchmarks --live` measures only another program's changes reaching the list.
    if (args.size() == 2 && args[1] == QLatin1String("--live")) {
        measureLiveList(lines, liveBigPath, childEnvironment);
        printLines(lines);
        return 0;
    }

    // A small window first, so that what the toolkit sets up once is not counted below.
    TDM smallDm(smallPath);
    TFormMain small(smallDm, benchOptions());
    small.ShowMainWindow();
    if (!QTest::qWaitForWindowExposed(&small))
        qFatal("the window did not show");
    waitForFill(small);
    const double smallBeat = blinkBeatMicros(small);
    small.hide();

    // Closed before the measurements in other processes below: the engine takes its lock
    // directory from the first database a process opens, so a program opening this file with
    // its own lock directory would find it held here and refuse it.
    auto bigDm = std::make_unique<TDM>(bigPath);
    TDM& dm = *bigDm;
    if (!dm.Connect())
        qFatal("cannot open %s", qPrintable(bigPath));

    std::printf("Access plans of the list statements:\n");
    for (const auto& statements : {sql::notes::fullList(), sql::notes::search(kKeystrokeText)}) {
        for (const QString& plan : note_list_store::plans(dm, statements))
            std::printf("  %s\n", qPrintable(plan));
    }

    const qint64 rssBefore = residentBytes();
    auto bigForm = std::make_unique<TFormMain>(dm, benchOptions()); // fills the list
    TFormMain& form = *bigForm;
    waitForFill(form);
    const qint64 rssAfter = residentBytes();
    const NoteRows& rows = form.notesModel()->rows();
    const qint64 textBytes =
        rows.textBytes() + rows.size() * qint64(sizeof("yyyy-MM-dd HH:mm") - 1);
    std::printf("Listed %lld notes, %lld bytes of title and date text\n",
                static_cast<long long>(rows.size()), static_cast<long long>(textBytes));
    form.ShowMainWindow();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("the window did not show");

    // `run_benchmarks --reloads` measures only the reloads of typing, saving and deleting.
    const bool reloadsOnly = args.contains(QStringLiteral("--reloads"));
    if (!reloadsOnly) {
        std::printf("Measuring LoadNotes...\n");
        std::fflush(stdout);
        const Ratio load = compareWithBareFetch(dm, sql::notes::fullList(), 5, [&] {
            form.LoadNotes();
            waitForFill(form);
        });
        lines.push_back({QStringLiteral("Complete LoadNotes / bare fetch of the two SELECTs"),
                         QStringLiteral("%1 (%2 ms / %3 ms)")
                             .arg(load.subject / load.bare, 0, 'f', 2)
                             .arg(load.subject, 0, 'f', 0)
                             .arg(load.bare, 0, 'f', 0),
                         QStringLiteral("<= 1.20"), verdict(load.subject / load.bare <= 1.2)});

        std::printf("Measuring one search keystroke...\n");
        std::fflush(stdout);
        const Ratio key = compareWithBareFetch(dm, sql::notes::search(kKeystrokeText), 3, [&] {
            form.SearchNotes(kKeystrokeText);
            waitForFill(form);
        });
        lines.push_back(
            {QStringLiteral("Complete SearchNotes('%1') / bare fetch").arg(kKeystrokeText),
             QStringLiteral("%1 (median %2 ms / %3 ms, %4 rows)")
                 .arg(key.subject / key.bare, 0, 'f', 2)
                 .arg(key.subject, 0, 'f', 0)
                 .arg(key.bare, 0, 'f', 0)
                 .arg(form.listedNoteIds().size()),
             QStringLiteral("<= 1.20"), verdict(key.subject / key.bare <= 1.2)});
    }

    std::printf("Measuring keystrokes...\n");
    std::fflush(stdout);
    std::vector<double> keystrokes, keystrokeBlocks, keystrokeWork;
    for (int i = 0; i < 5; ++i) {
        form.SzukanyCiag->setText(kKeystrokeText.left(2));
        waitForFill(form);
        const Reload typed = measureReload(
            form, [&] { QTest::keyClick(form.SzukanyCiag, kKeystrokeText.at(2).toLatin1()); });
        keystrokes.push_back(typed.firstScreenfulMs);
        keystrokeBlocks.push_back(typed.longestBlockMs);
        keystrokeWork.push_back(typed.longestWorkMs);
    }
    const double keystroke = median(keystrokes);
    lines.push_back(
        {QStringLiteral("Keystroke '%1' -> first screenful").arg(kKeystrokeText),
         QStringLiteral("median %1 ms, worst %2 ms (longest GUI block %3 ms)")
             .arg(keystroke, 0, 'f', 1)
             .arg(*std::max_element(keystrokes.begin(), keystrokes.end()), 0, 'f', 1)
             .arg(*std::max_element(keystrokeBlocks.begin(), keystrokeBlocks.end()), 0, 'f', 1),
         QStringLiteral("<= 100 ms"), verdict(keystroke <= 100)});
    const double keystrokeWorkMs = *std::max_element(keystrokeWork.begin(), keystrokeWork.end());
    lines.push_back({QStringLiteral("Keystroke: longest GUI-thread work between heartbeats"),
                     QStringLiteral("%1 ms CPU").arg(keystrokeWorkMs, 0, 'f', 1),
                     QStringLiteral("<= 50 ms"), verdict(keystrokeWorkMs <= 50)});

    std::printf("Measuring the GUI thread while typing...\n");
    std::fflush(stdout);
    form.SzukanyCiag->clear();
    waitForFill(form);
    const Typing typing = typeIntoSearch(form, dm);
    lines.push_back(
        {QStringLiteral("Longest GUI block typing '%1' at 10 chars/s").arg(kTypedWord),
         QStringLiteral("%1 ms (%5; whole list of '%2' %3 ms after the last key: %4)")
             .arg(typing.longestBlockMs, 0, 'f', 1)
             .arg(kTypedWord)
             .arg(typing.lastKeyToListMs, 0, 'f', 0)
             .arg(typing.showsLastText ? QStringLiteral("right") : QStringLiteral("WRONG"))
             .arg(typing.blockUse),
         QStringLiteral("<= 50 ms"), verdict(typing.longestBlockMs <= 50 && typing.showsLastText)});
    lines.push_back({QStringLiteral("Typing: longest GUI-thread work between heartbeats"),
                     QStringLiteral("%1 ms CPU").arg(typing.longestWorkMs, 0, 'f', 1),
                     QStringLiteral("<= 50 ms"), verdict(typing.longestWorkMs <= 50)});

    std::printf("Measuring save and delete...\n");
    std::fflush(stdout);
    form.SzukanyCiag->clear();
    waitForFill(form);
    // A new note is saved, edited and deleted again, so the database ends as it began.
    const Reload saveNew = measureReload(form, [&] {
        TFormNotatka editor(dm, form, &form);
        editor.Tytul->setText(QStringLiteral("benchmark note"));
        editor.OK->click();
    });
    const qint32 added = form.CurrentNoteId;
    const Reload saveExisting = measureReload(form, [&] {
        TFormNotatka editor(dm, form, &form);
        editor.NoteId = added;
        editor.LoadNote(added);
        editor.Tytul->setText(QStringLiteral("benchmark note, edited"));
        editor.OK->click();
    });
    const Reload deleted = measureReload(form, [&] {
        TFormUsuwanie confirmation(dm, form, &form);
        confirmation.NoteId = added;
        confirmation.TAK->click();
    });
    for (const auto& [name, reload] :
         {std::pair{QStringLiteral("Save of a new note"), saveNew},
          std::pair{QStringLiteral("Save of an edited note"), saveExisting},
          std::pair{QStringLiteral("Delete"), deleted}}) {
        lines.push_back({name + QStringLiteral(" -> first screenful of the reload"),
                         QStringLiteral("%1 ms (whole list %2 ms)")
                             .arg(reload.firstScreenfulMs, 0, 'f', 1)
                             .arg(reload.completeMs, 0, 'f', 0),
                         QStringLiteral("<= 100 ms"), verdict(reload.firstScreenfulMs <= 100)});
        lines.push_back({name + QStringLiteral(": longest GUI block"),
                         QStringLiteral("%1 ms (%2)")
                             .arg(reload.longestBlockMs, 0, 'f', 1)
                             .arg(reload.blockUse),
                         QStringLiteral("<= 50 ms"), verdict(reload.longestBlockMs <= 50)});
        lines.push_back({name + QStringLiteral(": longest GUI-thread work between heartbeats"),
                         QStringLiteral("%1 ms CPU").arg(reload.longestWorkMs, 0, 'f', 1),
                         QStringLiteral("<= 50 ms"), verdict(reload.longestWorkMs <= 50)});
    }

    if (reloadsOnly) {
        printLines(lines);
        return 0;
    }

    std::printf("Measuring the blink beat...\n");
    std::fflush(stdout);
    form.SzukanyCiag->clear();
    form.LoadNotes();
    waitForFill(form);
    const double bigBeat = blinkBeatMicros(form);
    const double change = (bigBeat - smallBeat) / smallBeat;
    lines.push_back({QStringLiteral("Blink beat, 3 running among 100,000 vs 10 notes"),
                     QStringLiteral("%1 us vs %2 us (%3%4%)")
                         .arg(bigBeat, 0, 'f', 1)
                         .arg(smallBeat, 0, 'f', 1)
                         .arg(change >= 0 ? QStringLiteral("+") : QString())
                         .arg(change * 100, 0, 'f', 1),
                     QStringLiteral("within +-20%"), verdict(std::abs(change) <= 0.2)});

    lines.push_back({QStringLiteral("Resident memory after LoadNotes / text loaded"),
                     QStringLiteral("%1 (%2 MB / %3 MB; growth by the fill %4 MB = %5x)")
                         .arg(double(rssAfter) / double(textBytes), 0, 'f', 1)
                         .arg(double(rssAfter) / 1e6, 0, 'f', 1)
                         .arg(double(textBytes) / 1e6, 0, 'f', 1)
                         .arg(double(rssAfter - rssBefore) / 1e6, 0, 'f', 1)
                         .arg(double(rssAfter - rssBefore) / double(textBytes), 0, 'f', 2),
                     QStringLiteral("reported"), QStringLiteral("-")});

    measureAlarmPass(lines, data, empty);

    const QString self = QCoreApplication::applicationFilePath();
    bigForm.reset();
    bigDm.reset();
    std::printf("Measuring the exit during a search that matches nothing...\n");
    std::fflush(stdout);
    std::vector<double> exits;
    for (int i = 0; i < 3; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.setProcessEnvironment(childEnvironment);
        child.start(self, {QStringLiteral("--exit-mid-fill"), childBigPath});
        qint64 quitAt = 0;
        while (quitAt == 0 && child.waitForReadyRead(60000)) {
            const QByteArray line = child.readLine().trimmed();
            if (line.startsWith("quit "))
                quitAt = line.mid(5).toLongLong();
        }
        child.waitForFinished(60000);
        if (quitAt > 0)
            exits.push_back(double(monotonicNs() - quitAt) / 1e6);
    }
    const double exitMs = exits.empty() ? -1 : median(exits);
    lines.push_back(
        {QStringLiteral("Quit mid-fill -> process ended"),
         QStringLiteral("median %1 ms of %2 runs").arg(exitMs, 0, 'f', 0).arg(exits.size()),
         QStringLiteral("<= 200 ms"), verdict(exitMs >= 0 && exitMs <= 200)});

    measureLiveList(lines, liveBigPath, childEnvironment);

    std::printf("Measuring idle wake-ups (20 s, side by side)...\n");
    std::fflush(stdout);
    struct Idler
    {
        QString name;
        QString program;
        QStringList arguments;
        std::unique_ptr<QProcess> process;
        ProcessUse start;
        Idle idle;
    };
    std::vector<Idler> idlers;
    idlers.push_back({QStringLiteral("Minimal Qt tray program"),
                      QStringLiteral(QUILLBOX_MINIMAL_TRAY),
                      {},
                      {},
                      {},
                      {}});
    idlers.push_back({QStringLiteral("Quillbox in the tray, 0 notes"),
                      self,
                      {QStringLiteral("--idle-program"), trayEmptyPath, QStringLiteral("tray")},
                      {},
                      {},
                      {}});
    idlers.push_back({QStringLiteral("Quillbox in the tray, 100,000 notes, 3 running"),
                      self,
                      {QStringLiteral("--idle-program"), trayBigPath, QStringLiteral("tray")},
                      {},
                      {},
                      {}});
    idlers.push_back({QStringLiteral("Quillbox shown, 1,000 notes, none running"),
                      self,
                      {QStringLiteral("--idle-program"), quietPath, QStringLiteral("shown")},
                      {},
                      {},
                      {}});
    idlers.push_back({QStringLiteral("Quillbox shown, 100,000 notes, 3 running (blinks)"),
                      self,
                      {QStringLiteral("--idle-program"), shownBigPath, QStringLiteral("shown")},
                      {},
                      {},
                      {}});
    for (Idler& idler : idlers) {
        idler.process = std::make_unique<QProcess>();
        idler.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        idler.process->setProcessEnvironment(childEnvironment);
        idler.process->start(idler.program, idler.arguments);
        idler.process->waitForStarted();
    }
    // Start-up and the first fill are over well within this, and the text cursor of the shown
    // windows has stopped blinking (10 s without input).
    QTest::qWait(15000);
    for (Idler& idler : idlers)
        idler.start = processUse(idler.process->processId());
    constexpr double kIdleSeconds = 20;
    QTest::qWait(int(kIdleSeconds * 1000));
    for (Idler& idler : idlers) {
        const ProcessUse end = processUse(idler.process->processId());
        idler.idle.wakeupsPerSecond = double(end.switchesSince(idler.start)) / kIdleSeconds;
        idler.idle.cpuMsPerMinute = (end.cpuMs - idler.start.cpuMs) * 60 / kIdleSeconds;
        idler.process->kill();
        idler.process->waitForFinished();
    }
    for (std::size_t i = 0; i < idlers.size(); ++i) {
        const Idle& idle = idlers[i].idle;
        const bool judged = i == 2 || i == 3;
        lines.push_back({idlers[i].name,
                         QStringLiteral("%1 wake-ups/s, %2 ms CPU/min")
                             .arg(idle.wakeupsPerSecond, 0, 'f', 2)
                             .arg(idle.cpuMsPerMinute, 0, 'f', 0),
                         judged ? QStringLiteral("<= 0.5/s") : QStringLiteral("reported"),
                         judged ? verdict(idle.wakeupsPerSecond <= 0.5) : QStringLiteral("-")});
    }
    const Idle& emptyTray = idlers[1].idle;
    const Idle& fullTray = idlers[2].idle;
    lines.push_back({QStringLiteral("In the tray: 100,000 notes vs 0 notes"),
                     QStringLiteral("%1 vs %2 wake-ups/s, %3 vs %4 ms CPU/min")
                         .arg(fullTray.wakeupsPerSecond, 0, 'f', 2)
                         .arg(emptyTray.wakeupsPerSecond, 0, 'f', 2)
                         .arg(fullTray.cpuMsPerMinute, 0, 'f', 0)
                         .arg(emptyTray.cpuMsPerMinute, 0, 'f', 0),
                     QStringLiteral("<= 0 notes'"),
                     verdict(fullTray.wakeupsPerSecond <= emptyTray.wakeupsPerSecond)});

    measureStartupReport(lines, bigPath, empty);
    printLines(lines);
    return 0;
}
