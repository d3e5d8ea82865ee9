// The note list's benchmarks on a real database of 100,000 notes. Each figure is printed with
// its goal; nothing here fails a build, it only reports.

#include "BenchDatabase.h"
#include "core/alarms/CheckAlarms.h"
#include "core/list/NoteListLoader.h"
#include "core/list/NoteListSearch.h"
#include "core/storage/AlarmStatements.h"
#include "core/storage/DataModule.h"
#include "core/storage/NoteListStatements.h"
#include "gui/main/FormMain.h"
#include "gui/main/NoteListModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <ctime>
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
    double lastKeyToListMs = 0;
    bool showsLastText = false;
};

// Types the word into the search box at 10 characters per second while a 1 ms heartbeat on the
// GUI thread records the longest time it was kept from running, until the list shows the
// result of the whole word.
Typing typeIntoSearch(TFormMain& form, TDM& dm)
{
    NoteListSearch* search = form.noteListSearch();
    Typing result;
    QElapsedTimer clock;
    clock.start();
    qint64 lastBeat = clock.nsecsElapsed();
    qint64 longest = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, &heartbeat, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - lastBeat);
        lastBeat = now;
    });

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
    QObject::connect(search, &NoteListSearch::delivered, &loop, [&] {
        if (typed == kTypedWord.size() && search->isIdle())
            loop.quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);

    heartbeat.start();
    lastBeat = clock.nsecsElapsed();
    typist.start();
    loop.exec();
    result.lastKeyToListMs = double(clock.nsecsElapsed() - lastKey) / 1e6;
    // Let the new rows be painted under the heartbeat too.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    heartbeat.stop();
    result.longestBlockMs = double(longest) / 1e6;

    NoteRows expected;
    readNoteList(dm, sql::notes::search(kTypedWord), expected);
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

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Quillbox"));

    const QString data = QStringLiteral(QUILLBOX_BENCH_DATA);
    const QString empty = QStringLiteral(QUILLBOX_EMPTY_DB);
    const QString bigPath = bench::filledDatabase(data, empty, {kNotes, 3, 300});
    const QString smallPath = bench::filledDatabase(data, empty, {10, 3, 2});
    std::vector<Line> lines;

    // A small window first, so that what the toolkit sets up once is not counted below.
    TDM smallDm(smallPath);
    TFormMain small(smallDm, benchOptions());
    small.ShowMainWindow();
    if (!QTest::qWaitForWindowExposed(&small))
        qFatal("the window did not show");
    const double smallBeat = blinkBeatMicros(small);
    small.hide();

    TDM dm(bigPath);
    if (!dm.Connect())
        qFatal("cannot open %s", qPrintable(bigPath));
    const qint64 rssBefore = residentBytes();
    TFormMain form(dm, benchOptions()); // fills the list
    const qint64 rssAfter = residentBytes();
    const NoteRows& rows = form.notesModel()->rows();
    const qint64 textBytes =
        rows.textBytes() + rows.size() * qint64(sizeof("yyyy-MM-dd HH:mm") - 1);
    std::printf("Listed %lld notes, %lld bytes of title and date text\n",
                static_cast<long long>(rows.size()), static_cast<long long>(textBytes));
    form.ShowMainWindow();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("the window did not show");

    std::printf("Measuring LoadNotes...\n");
    std::fflush(stdout);
    const Ratio load =
        compareWithBareFetch(dm, sql::notes::fullList(), 5, [&] { form.LoadNotes(); });
    lines.push_back({QStringLiteral("LoadNotes / bare fetch of the two SELECTs"),
                     QStringLiteral("%1 (%2 ms / %3 ms)")
                         .arg(load.subject / load.bare, 0, 'f', 2)
                         .arg(load.subject, 0, 'f', 0)
                         .arg(load.bare, 0, 'f', 0),
                     QStringLiteral("<= 1.20"), verdict(load.subject / load.bare <= 1.2)});

    std::printf("Measuring one search keystroke...\n");
    std::fflush(stdout);
    const Ratio key = compareWithBareFetch(dm, sql::notes::search(kKeystrokeText), 3,
                                           [&] { form.SearchNotes(kKeystrokeText); });
    lines.push_back({QStringLiteral("SearchNotes('%1') / bare fetch").arg(kKeystrokeText),
                     QStringLiteral("%1 (median %2 ms / %3 ms, %4 rows)")
                         .arg(key.subject / key.bare, 0, 'f', 2)
                         .arg(key.subject, 0, 'f', 0)
                         .arg(key.bare, 0, 'f', 0)
                         .arg(form.listedNoteIds().size()),
                     QStringLiteral("<= 1.20"), verdict(key.subject / key.bare <= 1.2)});

    std::printf("Measuring the GUI thread while typing...\n");
    std::fflush(stdout);
    form.LoadNotes();
    const Typing typing = typeIntoSearch(form, dm);
    lines.push_back(
        {QStringLiteral("Longest GUI block typing '%1' at 10 chars/s").arg(kTypedWord),
         QStringLiteral("%1 ms (list shows '%2' %3 ms after the last key: %4)")
             .arg(typing.longestBlockMs, 0, 'f', 1)
             .arg(kTypedWord)
             .arg(typing.lastKeyToListMs, 0, 'f', 0)
             .arg(typing.showsLastText ? QStringLiteral("right") : QStringLiteral("WRONG")),
         QStringLiteral("<= 100 ms"),
         verdict(typing.longestBlockMs <= 100 && typing.showsLastText)});

    std::printf("Measuring the blink beat...\n");
    std::fflush(stdout);
    form.SzukanyCiag->clear();
    form.LoadNotes();
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

    std::printf("\n%-48s | %-66s | %-12s | %s\n", "Figure", "Measured", "Goal", "Verdict");
    std::printf("%s\n", QByteArray(140, '-').constData());
    for (const Line& line : lines) {
        std::printf("%-48s | %-66s | %-12s | %s\n", qPrintable(line.figure),
                    qPrintable(line.measured), qPrintable(line.goal), qPrintable(line.verdict));
    }
    return 0;
}
