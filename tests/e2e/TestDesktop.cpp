#include "core/storage/ServerLogin.h"
#include "support/AtSpiReader.h"
#include "support/FirebirdServer.h"
#include "support/TestDatabase.h"
#include "support/XDesktop.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <csignal>
#include <memory>

namespace {

// A run of pixel lines of a window grab that hold ink (an icon, text) in a column.
struct Band
{
    int top = 0;
    int bottom = 0;
    int height() const { return bottom - top + 1; }
};

// Dark or strongly coloured: the list's backgrounds (white, the light alternate rows) are not.
bool isInk(QRgb colour)
{
    return std::min({qRed(colour), qGreen(colour), qBlue(colour)}) < 160;
}

// The areas whose pixels changed from one grab to the next, over all grabs: what blinks. Pixels
// a few apart belong to one area.
QList<QRect> changedAreas(const QList<QImage>& grabs)
{
    constexpr int kGap = 4;
    QList<QRect> areas;
    for (qsizetype i = 1; i < grabs.size(); ++i) {
        const QImage& before = grabs[i - 1];
        const QImage& after = grabs[i];
        if (before.size() != after.size())
            return {QRect(QPoint(0, 0), after.size())};
        for (int y = 0; y < after.height(); ++y) {
            for (int x = 0; x < after.width(); ++x) {
                if (before.pixel(x, y) == after.pixel(x, y))
                    continue;
                const QRect pixel(x, y, 1, 1);
                QRect merged = pixel;
                for (qsizetype a = areas.size() - 1; a >= 0; --a) {
                    if (areas[a].adjusted(-kGap, -kGap, kGap, kGap).intersects(pixel)) {
                        merged |= areas[a];
                        areas.removeAt(a);
                    }
                }
                areas.append(merged);
            }
        }
    }
    // Merging may have made areas that now lie close to each other.
    for (bool again = true; again;) {
        again = false;
        for (qsizetype a = 0; a < areas.size() && !again; ++a) {
            for (qsizetype b = a + 1; b < areas.size() && !again; ++b) {
                if (areas[a].adjusted(-kGap, -kGap, kGap, kGap).intersects(areas[b])) {
                    areas[a] |= areas[b];
                    areas.removeAt(b);
                    again = true;
                }
            }
        }
    }
    return areas;
}

// The bands of ink between columns left and right, in any of the grabs, top to bottom. Lines
// of a pixel or two (borders) are left out: rows hold icons and text.
QList<Band> inkBands(const QList<QImage>& grabs, int left, int right)
{
    QList<Band> bands;
    const int height = grabs.first().height();
    int start = -1;
    for (int y = 0; y <= height; ++y) {
        bool ink = false;
        for (const QImage& grab : grabs) {
            for (int x = left; y < height && x <= right && !ink; ++x)
                ink = isInk(grab.pixel(x, y));
        }
        if (ink && start < 0)
            start = y;
        if (!ink && start >= 0) {
            if (y - start >= 4)
                bands.append({start, y - 1});
            start = -1;
        }
    }
    return bands;
}

} // namespace

// The built program as a user meets it: a copy of the binary beside a fresh dbn.ib, on an X
// desktop with a window manager, a system tray and a notification daemon, driven only by keys
// and clicks. What is checked is what the X server and the notification service saw and what
// the database file holds afterwards.
class TestDesktop : public QObject
{
    Q_OBJECT

    // One installation of the program: its folder, its database, its process.
    struct Installation
    {
        QTemporaryDir folder;
        QProcess process;

        QString program() const { return folder.path() + QStringLiteral("/quillbox"); }
        QString database() const { return folder.path() + QStringLiteral("/dbn.ib"); }
    };

    static std::unique_ptr<Installation> install()
    {
        auto app = std::make_unique<Installation>();
        if (!app->folder.isValid() ||
            !QFile::copy(QStringLiteral(QUILLBOX_PROGRAM), app->program()) ||
            !QFile::copy(QStringLiteral(QUILLBOX_EMPTY_DB), app->database()))
            qFatal("cannot lay out a copy of the program");
        QFile::setPermissions(app->program(),
                              QFile::permissions(app->program()) | QFileDevice::ExeOwner);
        QFile::setPermissions(app->database(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return app;
    }

    static void start(Installation& app, const XDesktop& desktop)
    {
        app.process.setProcessEnvironment(desktop.environment());
        app.process.setProcessChannelMode(QProcess::ForwardedChannels);
        app.process.start(app.program(), {});
        QVERIFY(app.process.waitForStarted(10000));
    }

    // Rows of a query on the installation's database, read by another program; each row's
    // columns tab-separated.
    static QStringList query(const Installation& app, const QString& sql)
    {
        QProcess reader;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("FIREBIRD"));
        env.remove(QStringLiteral("FIREBIRD_LOCK"));
        reader.setProcessEnvironment(env);
        reader.start(QStringLiteral(QUILLBOX_DB_WRITER),
                     {QStringLiteral("query"), app.database(), sql, QStringLiteral("-")});
        if (!reader.waitForFinished(30000) || reader.exitCode() != 0)
            return {QStringLiteral("<query failed: %1>")
                        .arg(QString::fromUtf8(reader.readAllStandardError()))};
        return QString::fromUtf8(reader.readAllStandardOutput())
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Runs one statement on the installation's database from another program.
    static bool execute(const Installation& app, const QString& sql)
    {
        QProcess writer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("FIREBIRD"));
        env.remove(QStringLiteral("FIREBIRD_LOCK"));
        writer.setProcessEnvironment(env);
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QStringLiteral(QUILLBOX_DB_WRITER),
                     {QStringLiteral("execute"), app.database(), sql, QStringLiteral("-")});
        return writer.waitForFinished(30000) && writer.exitCode() == 0;
    }

    static QStringList layoutKeys(const Installation& app)
    {
        return query(app, QStringLiteral("SELECT Ustawienie FROM USTAWIENIA WHERE Ustawienie "
                                         "STARTING WITH 'FormMain' OR Ustawienie IN "
                                         "('TytulSzerokosc', 'DataSzerokosc') ORDER BY 1"));
    }

    // The main window's outer rectangle as the layout keys store it; null when a key is missing.
    static QRect storedOuterGeometry(const Installation& app)
    {
        const QStringList rows =
            query(app, QStringLiteral("SELECT Ustawienie, Wartosc FROM USTAWIENIA WHERE Ustawienie "
                                      "STARTING WITH 'FormMain'"));
        QHash<QString, int> value;
        for (const QString& row : rows)
            value.insert(row.section(QLatin1Char('\t'), 0, 0),
                         row.section(QLatin1Char('\t'), 1, 1).toInt());
        if (value.size() != 4)
            return {};
        return QRect(value.value(QStringLiteral("FormMainLeft")),
                     value.value(QStringLiteral("FormMainTop")),
                     value.value(QStringLiteral("FormMainWidth")),
                     value.value(QStringLiteral("FormMainHeight")));
    }

    // Ends the program the way a session manager does; true when it exited cleanly.
    static bool terminate(Installation& app)
    {
        ::kill(pid_t(app.process.processId()), SIGTERM);
        return app.process.waitForFinished(10000) &&
               app.process.exitStatus() == QProcess::NormalExit && app.process.exitCode() == 0;
    }

    static void finish(Installation& app)
    {
        if (app.process.state() != QProcess::NotRunning) {
            app.process.kill();
            app.process.waitForFinished(10000);
        }
    }

    // Shows the main window with a click on the tray icon and gives it the keyboard.
    static quint32 openMainWindow(const XDesktop& desktop)
    {
        const quint32 icon = desktop.waitForTrayIcon(QStringLiteral("quillbox"));
        if (icon == 0 || !desktop.click(icon))
            return 0;
        const quint32 window = desktop.waitForWindow(QStringLiteral("^Quillbox$"));
        if (window != 0)
            desktop.xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                             QString::number(window)});
        return window;
    }

    // Opens the tray icon's menu with a right click and waits until it is on the screen (a
    // window of the program that was not visible before), so that keys go to the menu even
    // when the program is slow to answer.
    static bool openTrayMenu(const XDesktop& desktop, quint32 icon)
    {
        const auto visible = [&] {
            return desktop
                .run(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                      QStringLiteral("--class"), QStringLiteral("^quillbox$")})
                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        };
        const QStringList before = visible();
        if (!desktop.click(icon, 3))
            return false;
        QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired()) {
            const QStringList now = visible();
            if (std::any_of(now.begin(), now.end(),
                            [&](const QString& window) { return !before.contains(window); }))
                return true;
            QTest::qWait(100);
        }
        return false;
    }

    static bool key(const XDesktop& desktop, const QString& keys)
    {
        return desktop.xdotool(
            QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} +
            keys.split(QLatin1Char(' ')));
    }
    static bool type(const XDesktop& desktop, const QString& text)
    {
        return desktop.xdotool(
            {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text});
    }

    // A desktop, with further tries should a part of it not come up on a loaded machine.
    void startDesktop(XDesktop::Options options)
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            desktop_.reset();
            desktop_ = std::make_unique<XDesktop>(options);
            if (desktop_->isReady())
                return;
            qWarning("desktop not ready, trying again: %s", qPrintable(desktop_->whyNot()));
        }
    }

    std::unique_ptr<XDesktop> desktop_;
    // Longer than the toolkit's double-click time (400 ms unless the desktop says otherwise).
    static constexpr int kPastDoubleClick = 800;

private Q_SLOTS:
    void init()
    {
        startDesktop(XDesktop::Options{});
        if (!desktop_->isReady())
            QSKIP(qPrintable(QStringLiteral("no X desktop for end-to-end tests: ") +
                             desktop_->whyNot()));
    }
    void cleanup() { desktop_.reset(); }

    void startsInTheTrayAndTheIconTogglesTheWindow()
    {
        auto app = install();
        start(*app, *desktop_);
        const quint32 icon = desktop_->waitForTrayIcon(QStringLiteral("quillbox"));
        QVERIFY2(icon != 0, "the tray icon was never docked");
        // Only the tray icon: no window of the program is on the screen.
        QVERIFY(desktop_->windows(QStringLiteral("^Quillbox"), true).isEmpty());

        QVERIFY(desktop_->click(icon));
        const quint32 window = desktop_->waitForWindow(QStringLiteral("^Quillbox$"));
        QVERIFY2(window != 0, "a click on the tray icon showed no main window");
        // 300 x 400 with its frame, 40 px from the right and 60 px from the bottom of the
        // 1280 x 1024 screen.
        QTRY_COMPARE(desktop_->outerGeometry(window), QRect(940, 564, 300, 400));

        // A second click within the double-click time would be a double click, not a click.
        QTest::qWait(kPastDoubleClick);
        QVERIFY(desktop_->click(icon));
        QVERIFY2(desktop_->waitForNoWindow(QStringLiteral("^Quillbox$")),
                 "a second click did not hide the main window");
        finish(*app);
    }

    // A double click on the icon is one click: the window is shown and stays.
    void aDoubleClickOnTheIconShowsTheWindowOnce()
    {
        auto app = install();
        start(*app, *desktop_);
        const quint32 icon = desktop_->waitForTrayIcon(QStringLiteral("quillbox"));
        QVERIFY2(icon != 0, "the tray icon was never docked");
        QVERIFY(desktop_->xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"),
                                   QString::number(icon), QStringLiteral("4"), QStringLiteral("4"),
                                   QStringLiteral("click"), QStringLiteral("--repeat"),
                                   QStringLiteral("2"), QStringLiteral("--delay"),
                                   QStringLiteral("80"), QStringLiteral("1")}));
        QVERIFY2(desktop_->waitForWindow(QStringLiteral("^Quillbox$")) != 0,
                 "a double click on the tray icon showed no main window");
        QTest::qWait(kPastDoubleClick);
        QCOMPARE(desktop_->windows(QStringLiteral("^Quillbox$"), true).size(), 1);
        // The next click is a click of its own.
        QVERIFY(desktop_->click(icon));
        QVERIFY2(desktop_->waitForNoWindow(QStringLiteral("^Quillbox$")),
                 "a click after the double click did not hide the main window");
        finish(*app);
    }

    // An alarm fires while the window is hidden; the window shown from the tray afterwards is
    // where it was. The move that once put it into the top-left corner came and went with the
    // timing of the window manager's framing, so the case runs several times.
    void aWindowShownAfterAnAlarmIsWhereItWas_data()
    {
        QTest::addColumn<int>("run");
        for (int run = 1; run <= 10; ++run)
            QTest::addRow("run %d", run) << run;
    }
    void aWindowShownAfterAnAlarmIsWhereItWas()
    {
        const QRect place(940, 564, 300, 400);
        auto app = install();
        start(*app, *desktop_);
        const quint32 icon = desktop_->waitForTrayIcon(QStringLiteral("quillbox"));
        QVERIFY(icon != 0);
        quint32 window = openMainWindow(*desktop_);
        QVERIFY(window != 0);
        QTRY_COMPARE(desktop_->outerGeometry(window), place);
        QVERIFY(key(*desktop_, QStringLiteral("Escape")));
        QVERIFY(desktop_->waitForNoWindow(QStringLiteral("^Quillbox$")));

        // A daily alarm since yesterday, written while the window is hidden, fires at the
        // checker's next pass.
        const QDate yesterday = QDate::currentDate().addDays(-1);
        QVERIFY(execute(*app, QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, "
                                             "Alarm, AlarmRodzaj, AlarmData, AlarmGodzina) "
                                             "VALUES (7, 'Milk', '', '%1 09:00:00', 2, 1, '%1', "
                                             "'00:00')")
                                  .arg(yesterday.toString(QStringLiteral("yyyy.MM.dd")))));
        QTRY_VERIFY_WITH_TIMEOUT(desktop_->notificationTraffic().contains(
                                     QStringLiteral("string \"Quillbox A L A R M\"")),
                                 40000);
        QTRY_COMPARE(query(*app, QStringLiteral("SELECT Alarm FROM NOTATKI WHERE ID = 7")),
                     QStringList{QStringLiteral("1")});
        QVERIFY(desktop_->windows(QStringLiteral("^Quillbox$"), true).isEmpty());

        QVERIFY(desktop_->click(icon));
        window = desktop_->waitForWindow(QStringLiteral("^Quillbox$"));
        QVERIFY(window != 0);
        QTRY_COMPARE(desktop_->outerGeometry(window), place);
        // Settled there: nothing moves it afterwards, and the layout stored at the end says so.
        QTest::qWait(kPastDoubleClick);
        QCOMPARE(desktop_->outerGeometry(window), place);
        QVERIFY(terminate(*app));
        QCOMPARE(storedOuterGeometry(*app), place);
    }

    // The stored size and position are those of the outer window: a window the user moved and
    // resized opens again exactly there, run after run.
    void theWindowReopensWhereItWasLeft()
    {
        auto app = install();
        start(*app, *desktop_);
        // Looked up while it is the program's only window.
        const quint32 icon = desktop_->waitForTrayIcon(QStringLiteral("quillbox"));
        QVERIFY(icon != 0);
        quint32 window = openMainWindow(*desktop_);
        QVERIFY(window != 0);
        QTRY_COMPARE(desktop_->outerGeometry(window), QRect(940, 564, 300, 400));
        // Hidden with Esc and shown again from the tray, it stays where it was.
        QVERIFY(key(*desktop_, QStringLiteral("Escape")));
        QVERIFY(desktop_->waitForNoWindow(QStringLiteral("^Quillbox$")));
        QTest::qWait(kPastDoubleClick);
        QVERIFY(desktop_->click(icon));
        window = desktop_->waitForWindow(QStringLiteral("^Quillbox$"));
        QVERIFY(window != 0);
        QTRY_COMPARE(desktop_->outerGeometry(window), QRect(940, 564, 300, 400));
        // The user makes the inside 400 x 450 and drags the window to the top left.
        QVERIFY(desktop_->xdotool({QStringLiteral("windowsize"), QString::number(window),
                                   QStringLiteral("400"), QStringLiteral("450")}));
        QTRY_VERIFY(desktop_->outerGeometry(window).width() > 400);
        QVERIFY(desktop_->xdotool({QStringLiteral("windowmove"), QString::number(window),
                                   QStringLiteral("100"), QStringLiteral("120")}));
        QTRY_VERIFY(desktop_->outerGeometry(window).left() < 200);
        const QRect left = desktop_->outerGeometry(window);
        QVERIFY(terminate(*app));
        QCOMPARE(storedOuterGeometry(*app), left);

        for (int run = 0; run < 2; ++run) {
            start(*app, *desktop_);
            window = openMainWindow(*desktop_);
            QVERIFY(window != 0);
            QTRY_COMPARE(desktop_->outerGeometry(window), left);
            QVERIFY(terminate(*app));
            QCOMPARE(storedOuterGeometry(*app), left);
        }
    }

    void aTypedNoteIsStoredAndSurvivesAKill()
    {
        auto app = install();
        start(*app, *desktop_);
        QVERIFY(openMainWindow(*desktop_) != 0);
        QVERIFY(key(*desktop_, QStringLiteral("Insert")));
        const quint32 editor = desktop_->waitForWindow(QStringLiteral("^Quillbox - Note"));
        QVERIFY2(editor != 0, "Insert opened no note editor");
        // The title is selected for typing over; Tab goes to Alarm and, the alarm pickers being
        // hidden while it is off, on to the message.
        QVERIFY(type(*desktop_, QStringLiteral("Buy milk")));
        QVERIFY(key(*desktop_, QStringLiteral("Tab Tab")));
        QVERIFY(type(*desktop_, QStringLiteral("two litres")));
        QVERIFY(key(*desktop_, QStringLiteral("shift+Tab shift+Tab")));
        QVERIFY(key(*desktop_, QStringLiteral("Return")));
        QVERIFY2(desktop_->waitForNoWindow(QStringLiteral("^Quillbox - Note")),
                 "Enter did not close the editor");

        ::kill(pid_t(app->process.processId()), SIGKILL);
        QVERIFY(app->process.waitForFinished(10000));
        QCOMPARE(query(*app, QStringLiteral("SELECT Tytul, Tresc, Alarm FROM NOTATKI")),
                 QStringList{QStringLiteral("Buy milk\ttwo litres\t0")});
    }

    // The editor is open over the main window with a typed note in it.
    static bool typeANoteIntoANewEditor(const XDesktop& desktop)
    {
        if (openMainWindow(desktop) == 0 || !key(desktop, QStringLiteral("Insert")) ||
            desktop.waitForWindow(QStringLiteral("^Quillbox - Note")) == 0)
            return false;
        // Over the proposed title, then Tab Tab to the message (the alarm pickers are hidden).
        return type(desktop, QStringLiteral("Call Ann")) &&
               key(desktop, QStringLiteral("Tab Tab")) &&
               type(desktop, QStringLiteral("about Friday"));
    }

    // Two programs on one database file. A note saved by keys in one shows in the list of the
    // other, which is shown and left alone (no key pressed in it), within a few seconds. The
    // list is read as a screen reader reads it, through the accessibility bus.
    void aNoteSavedInOneProgramShowsInTheOthersList()
    {
        AtSpiReader reader(*desktop_);
        if (!reader.isReady())
            QSKIP(qPrintable(reader.whyNot()));
        auto app = install();
        const QProcessEnvironment environment = AtSpiReader::programEnvironment(*desktop_);
        // The viewer first, alone on the tray, so that the icon clicked is its own.
        QProcess viewer;
        viewer.setProcessEnvironment(environment);
        viewer.setProcessChannelMode(QProcess::ForwardedChannels);
        viewer.start(app->program(), {});
        QVERIFY(viewer.waitForStarted(10000));
        const quint32 viewerIcon = desktop_->waitForTrayIcon(QStringLiteral("quillbox"));
        QVERIFY2(viewerIcon != 0, "the viewer's icon was never docked");
        QVERIFY(openMainWindow(*desktop_) != 0);
        const qint64 viewerPid = viewer.processId();
        std::optional<QStringList> listed;
        QTRY_VERIFY_WITH_TIMEOUT((listed = reader.itemNames(viewerPid, QStringLiteral("Notes"))),
                                 30000);
        QCOMPARE(*listed, QStringList{});

        // The saver: the same installation in a process of its own, hidden in the tray.
        app->process.setProcessEnvironment(environment);
        app->process.setProcessChannelMode(QProcess::ForwardedChannels);
        app->process.start(app->program(), {});
        QVERIFY(app->process.waitForStarted(10000));
        quint32 saverIcon = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const quint32 icon : desktop_->trayIcons(QStringLiteral("quillbox")))
                    if (icon != viewerIcon)
                        saverIcon = icon;
                return saverIcon != 0;
            }(),
            30000);
        // Its tray menu: Open, New note, Close. Up from the top (or from Open, should the
        // pointer rest on it) wraps to Close; once more is New note.
        QVERIFY2(openTrayMenu(*desktop_, saverIcon), "the saver's tray menu did not open");
        QVERIFY(key(*desktop_, QStringLiteral("Up Up Return")));
        const quint32 editor = desktop_->waitForWindow(QStringLiteral("^Quillbox - Note"));
        QVERIFY2(editor != 0, "New note in the saver's tray menu opened no editor");
        QVERIFY(desktop_->xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(editor)}));
        QVERIFY(type(*desktop_, QStringLiteral("From the other program")));
        QVERIFY(key(*desktop_, QStringLiteral("Return")));
        QVERIFY2(desktop_->waitForNoWindow(QStringLiteral("^Quillbox - Note")),
                 "Enter did not close the saver's editor");
        QElapsedTimer sinceSaved;
        sinceSaved.start();
        QCOMPARE(query(*app, QStringLiteral("SELECT Tytul FROM NOTATKI")),
                 QStringList{QStringLiteral("From the other program")});

        // The viewer's list follows; a few seconds even on a loaded machine, and a generous
        // limit so that a slow moment does not fail the case.
        QTRY_COMPARE_WITH_TIMEOUT(reader.itemNames(viewerPid, QStringLiteral("Notes"))
                                      .value_or(QStringList{QStringLiteral("<not readable>")})
                                      .value(0),
                                  QStringLiteral("From the other program"), 15000);
        qInfo("the viewer's list showed the note %lld ms after the editor closed",
              static_cast<long long>(sinceSaved.elapsed()));
        QCOMPARE(viewer.state(), QProcess::Running);
        viewer.kill();
        viewer.waitForFinished(10000);
        finish(*app);
    }

    void closeFromTheTrayAsksAboutTypedText()
    {
        auto app = install();
        start(*app, *desktop_);
        QVERIFY(typeANoteIntoANewEditor(*desktop_));
        // Windows captioned "Quillbox" so far: the main window (and the tray icon's own).
        const QList<quint32> before = desktop_->windows(QStringLiteral("^Quillbox$"), true);
        // The tray menu: Open, New note, Close; Up from the top wraps to Close.
        const quint32 icon = desktop_->waitForTrayIcon(QStringLiteral("quillbox"));
        QVERIFY(desktop_->click(icon, 3));
        QTest::qWait(kPastDoubleClick);
        QVERIFY(key(*desktop_, QStringLiteral("Up Return")));
        // The question comes as a further window captioned "Quillbox".
        const auto question = [&] {
            for (quint32 w : desktop_->windows(QStringLiteral("^Quillbox$"), true))
                if (!before.contains(w))
                    return w;
            return quint32(0);
        };
        QTRY_VERIFY_WITH_TIMEOUT(question() != 0, 10000);
        QVERIFY(app->process.state() == QProcess::Running);
        // Cancel keeps the program and the editor.
        QVERIFY(desktop_->xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                   QString::number(question())}));
        QVERIFY(key(*desktop_, QStringLiteral("Escape")));
        QTRY_VERIFY_WITH_TIMEOUT(question() == 0, 10000);
        QVERIFY(desktop_->waitForWindow(QStringLiteral("^Quillbox - Note")) != 0);
        QVERIFY(app->process.state() == QProcess::Running);
        QCOMPARE(query(*app, QStringLiteral("SELECT COUNT(*) FROM NOTATKI")),
                 QStringList{QStringLiteral("0")});

        // Asked again, Yes stores the note and ends the program.
        QVERIFY(desktop_->click(icon, 3));
        QTest::qWait(kPastDoubleClick);
        QVERIFY(key(*desktop_, QStringLiteral("Up Return")));
        QTRY_VERIFY_WITH_TIMEOUT(question() != 0, 10000);
        QVERIFY(desktop_->xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                   QString::number(question())}));
        QVERIFY(key(*desktop_, QStringLiteral("Return")));
        QVERIFY(app->process.waitForFinished(10000));
        QCOMPARE(app->process.exitCode(), 0);
        QCOMPARE(query(*app, QStringLiteral("SELECT Tytul, Tresc, Alarm FROM NOTATKI")),
                 QStringList{QStringLiteral("Call Ann\tabout Friday\t0")});
    }

    void terminationSavesTheOpenEditor()
    {
        auto app = install();
        start(*app, *desktop_);
        QVERIFY(typeANoteIntoANewEditor(*desktop_));
        // Settled: the typing has reached the editor.
        QTest::qWait(1000);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(terminate(*app));
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(query(*app, QStringLiteral("SELECT Tytul, Tresc, Alarm FROM NOTATKI")),
                 QStringList{QStringLiteral("Call Ann\tabout Friday\t0")});
    }

    void captionsAreTheWindowTexts()
    {
        auto app = install();
        start(*app, *desktop_);
        const quint32 window = openMainWindow(*desktop_);
        QVERIFY(window != 0);
        QCOMPARE(desktop_->caption(window), QStringLiteral("Quillbox"));

        QVERIFY(key(*desktop_, QStringLiteral("Insert")));
        const quint32 editor = desktop_->waitForWindow(QStringLiteral("^Quillbox - Note"));
        QVERIFY(editor != 0);
        QCOMPARE(desktop_->caption(editor), QStringLiteral("Quillbox - Note"));
        QVERIFY(type(*desktop_, QStringLiteral("A note to delete")));
        QVERIFY(key(*desktop_, QStringLiteral("Return")));
        QVERIFY(desktop_->waitForNoWindow(QStringLiteral("^Quillbox - Note")));

        QVERIFY(key(*desktop_, QStringLiteral("Delete")));
        const quint32 confirmation = desktop_->waitForWindow(QStringLiteral("^Quillbox - Delete"));
        QVERIFY2(confirmation != 0, "Delete opened no confirmation");
        QCOMPARE(desktop_->caption(confirmation), QStringLiteral("Quillbox - Delete"));
        // A fixed-size window: the window manager offers neither resizing nor maximising.
        const QStringList actions = desktop_->allowedActions(confirmation);
        QVERIFY2(actions.contains(QStringLiteral("MOVE")) &&
                     !actions.contains(QStringLiteral("RESIZE")) &&
                     !actions.contains(QStringLiteral("MAXIMIZE_HORZ")),
                 qPrintable(actions.join(QLatin1Char(' '))));
        QVERIFY(key(*desktop_, QStringLiteral("Escape")));
        QVERIFY(desktop_->waitForNoWindow(QStringLiteral("^Quillbox - Delete")));
        finish(*app);
    }

    void aDueAlarmReachesTheNotificationDaemon()
    {
        constexpr int kNewerNotes = 6;
        auto app = install();
        // A daily alarm since yesterday at midnight: due today whatever the time.
        const QDate yesterday = QDate::currentDate().addDays(-1);
        QVERIFY(execute(*app, QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, "
                                             "Alarm, AlarmRodzaj, AlarmData, AlarmGodzina) "
                                             "VALUES (7, 'Milk', '', '%1 09:00:00', 2, 1, '%1', "
                                             "'00:00')")
                                  .arg(yesterday.toString(QStringLiteral("yyyy.MM.dd")))));
        // Newer notes without an alarm, which come first in the list until the alarm fires.
        for (int i = 1; i <= kNewerNotes; ++i)
            QVERIFY(execute(*app,
                            QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, "
                                           "DataGodzina, Alarm) VALUES (%1, 'Bread %2', '', "
                                           "'%3 0%2:00:00', 0)")
                                .arg(10 + i)
                                .arg(i)
                                .arg(QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd")))));
        start(*app, *desktop_);
        QVERIFY(desktop_->waitForTrayIcon(QStringLiteral("quillbox")) != 0);

        // The checker looks every 10 s; the notification is what the daemon was sent.
        const QString entry =
            QStringLiteral("[Alarm: %1 00:00] (daily alarm)\r\n\u2068Milk\u2069\r\n")
                .arg(yesterday.toString(QStringLiteral("yyyy-MM-dd")));
        QTRY_VERIFY_WITH_TIMEOUT(
            desktop_->notificationTraffic().contains(QStringLiteral("string \"%1\"").arg(entry)),
            40000);
        const QString traffic = desktop_->notificationTraffic();
        QVERIFY2(traffic.contains(QStringLiteral("string \"Quillbox A L A R M\"")),
                 qPrintable(traffic));
        QVERIFY2(traffic.contains(QStringLiteral("string \"Quillbox\"")), qPrintable(traffic));
        QCOMPARE(query(*app, QStringLiteral("SELECT Alarm FROM NOTATKI WHERE ID = 7")),
                 QStringList{QStringLiteral("1")});

        // The list as the user sees it: the fired note's icon blinks in the first row, above
        // the newer notes, and nothing else in the window changes.
        const quint32 window = openMainWindow(*desktop_);
        QVERIFY(window != 0);
        QList<QImage> grabs{desktop_->grab(window)};
        QVERIFY2(!grabs.first().isNull(), "xwd could not grab the main window");
        // Until the icon has changed twice (blinked on and off), a few grabs a blink. The text
        // cursor of the search box blinks too: a line a pixel or two wide, left out.
        const auto blinkingAreas = [](const QList<QImage>& images) {
            QList<QRect> areas = changedAreas(images);
            areas.removeIf([](const QRect& area) { return area.width() <= 2; });
            return areas;
        };
        int changes = 0;
        QDeadlineTimer deadline(20000);
        while (changes < 2 && !deadline.hasExpired()) {
            QTest::qWait(150);
            grabs.append(desktop_->grab(window));
            QVERIFY(!grabs.last().isNull());
            if (!blinkingAreas(grabs.mid(grabs.size() - 2)).isEmpty())
                ++changes;
        }
        const QList<QRect> areas = blinkingAreas(grabs);
        QVERIFY2(changes >= 2 && !areas.isEmpty(), "nothing blinks in the main window");
        QString where;
        for (const QRect& area : areas)
            where += QStringLiteral(" (%1,%2 %3x%4)")
                         .arg(area.x())
                         .arg(area.y())
                         .arg(area.width())
                         .arg(area.height());
        QVERIFY2(areas.size() == 1,
                 qPrintable(QStringLiteral("more than one thing blinks:") + where));
        const QRect blinking = areas.first();

        const QList<Band> bands = inkBands(grabs, blinking.left(), blinking.right());
        QString seen = QStringLiteral("changed x %1-%2, y %3-%4; ink bands (y):")
                           .arg(blinking.left())
                           .arg(blinking.right())
                           .arg(blinking.top())
                           .arg(blinking.bottom());
        for (const Band& band : bands)
            seen += QStringLiteral(" %1-%2").arg(band.top).arg(band.bottom);
        const auto row = std::find_if(bands.begin(), bands.end(), [&](const Band& band) {
            return band.top <= blinking.top() && blinking.bottom() <= band.bottom;
        });
        QVERIFY2(row != bands.end(),
                 qPrintable(QStringLiteral("what changes is more than one row's icon: ") + seen));
        // The rows below, each a row's height under the one before (icons of other kinds may sit
        // a pixel higher): every other note, none left above.
        QVERIFY2(row + 1 != bands.end(),
                 qPrintable(QStringLiteral("no row below the blinking one: ") + seen));
        const int pitch = (row + 1)->top - row->top;
        int rowsBelow = 0;
        for (auto below = row + 1; below != bands.end(); ++below) {
            if (std::abs(below->top - (below - 1)->top - pitch) > 2)
                break;
            ++rowsBelow;
        }
        QVERIFY2(rowsBelow == kNewerNotes,
                 qPrintable(QStringLiteral("%1 rows below the blinking one, not %2: ")
                                .arg(rowsBelow)
                                .arg(kNewerNotes) +
                            seen));
        finish(*app);
    }

    void aStoredPasswordAsksFirstAndEscEndsTheProgram()
    {
        auto app = install();
        QVERIFY(execute(*app, QStringLiteral("INSERT INTO USTAWIENIA (Ustawienie, Wartosc) "
                                             "VALUES ('HasloDostepu', 'secret')")));
        start(*app, *desktop_);
        const quint32 login = desktop_->waitForWindow(QStringLiteral("^Quillbox - Login"));
        QVERIFY2(login != 0, "no login window at start");
        QCOMPARE(desktop_->caption(login), QStringLiteral("Quillbox - Login"));
        QVERIFY(desktop_->windows(QStringLiteral("^Quillbox$"), true).isEmpty());
        QVERIFY(desktop_->xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(login)}));
        QVERIFY(key(*desktop_, QStringLiteral("Escape")));
        QVERIFY2(app->process.waitForFinished(10000), "Esc in the login window did not end it");
        QCOMPARE(app->process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app->process.exitCode(), 0);
        QVERIFY(desktop_->windows(QStringLiteral("^Quillbox$"), false).isEmpty());
        QCOMPARE(layoutKeys(*app), QStringList{});
    }

    void aStoredPasswordLetsTheRightEntryIn()
    {
        auto app = install();
        QVERIFY(execute(*app, QStringLiteral("INSERT INTO USTAWIENIA (Ustawienie, Wartosc) "
                                             "VALUES ('HasloDostepu', 'secret')")));
        start(*app, *desktop_);
        const quint32 login = desktop_->waitForWindow(QStringLiteral("^Quillbox - Login"));
        QVERIFY(login != 0);
        QVERIFY(desktop_->xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(login)}));
        QVERIFY(type(*desktop_, QStringLiteral("secret")));
        QVERIFY(key(*desktop_, QStringLiteral("Return")));
        QVERIFY(desktop_->waitForNoWindow(QStringLiteral("^Quillbox - Login")));
        QVERIFY2(desktop_->waitForTrayIcon(QStringLiteral("quillbox")) != 0,
                 "the right password did not lead to the tray");
        finish(*app);
    }

    // A database on a server that refuses the login from the environment (a user it does not
    // know, no password): the program asks in its login window, with the user name from the
    // environment filled in. A login typed there gets in, and the program goes on to its tray;
    // a termination while the window is open ends the program at once, with no message left
    // waiting for a click.
    void aServerThatRefusesTheLoginAsksForOne_data()
    {
        QTest::addColumn<bool>("terminated");
        QTest::newRow("typed login") << false;
        QTest::newRow("termination meanwhile") << true;
    }
    void aServerThatRefusesTheLoginAsksForOne()
    {
        QFETCH(bool, terminated);
        FirebirdServer server;
        QString why;
        if (!server.start(&why))
            QSKIP(qPrintable(QStringLiteral("no Firebird server can be started here: ") + why));
        TestDatabase db;
        auto app = install();
        QProcessEnvironment environment = desktop_->environment();
        environment.insert(QStringLiteral("ISC_USER"), QStringLiteral("NOBODY"));
        environment.remove(QStringLiteral("ISC_PASSWORD"));
        app->process.setProcessEnvironment(environment);
        app->process.setProcessChannelMode(QProcess::ForwardedChannels);
        app->process.start(app->program(),
                           {QStringLiteral("--database"), server.prefix() + db.path()});
        QVERIFY(app->process.waitForStarted(10000));
        const quint32 login = desktop_->waitForWindow(QStringLiteral("^Quillbox - Server login$"));
        QVERIFY2(login != 0, "no login window for the refused server login");
        QVERIFY(desktop_->xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(login)}));
        if (terminated) {
            ::kill(pid_t(app->process.processId()), SIGTERM);
            QVERIFY2(app->process.waitForFinished(10000),
                     "a termination did not end the program in its login window");
            QCOMPARE(app->process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(app->process.exitCode(), 0);
            return;
        }
        // The user name from the environment is there and the password field has the keys;
        // the user puts the right name in first.
        QVERIFY(key(*desktop_, QStringLiteral("shift+Tab ctrl+a")));
        QVERIFY(type(*desktop_, QStringLiteral("SYSDBA")));
        QVERIFY(key(*desktop_, QStringLiteral("Tab")));
        QVERIFY(type(*desktop_, server_login::builtIn().password));
        QVERIFY(key(*desktop_, QStringLiteral("Return")));
        QVERIFY2(desktop_->waitForNoWindow(QStringLiteral("^Quillbox - Server login$")),
                 "Enter did not close the login window");
        QVERIFY2(desktop_->waitForTrayIcon(QStringLiteral("quillbox")) != 0,
                 qPrintable(QStringLiteral("the program did not go on to its tray; windows: ") +
                            desktop_->run(QStringLiteral("sh"),
                                          {QStringLiteral("-c"),
                                           QStringLiteral("for w in $(xdotool search --onlyvisible "
                                                          "--name .); do xdotool getwindowname "
                                                          "$w; done")})));
        // Connected: no "No connection to database!" over the desktop.
        QVERIFY(desktop_->windows(QStringLiteral("^Quillbox$"), true).isEmpty());
        QCOMPARE(app->process.state(), QProcess::Running);
        finish(*app);
    }

    void terminationOnceRunningStoresTheLayout_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void terminationOnceRunningStoresTheLayout()
    {
        QFETCH(int, signalNumber);
        auto app = install();
        start(*app, *desktop_);
        QVERIFY(openMainWindow(*desktop_) != 0);
        QVERIFY(type(*desktop_, QStringLiteral("abc")));
        // Settled: the window shown, a search typed, then a second of quiet.
        QTest::qWait(1000);
        ::kill(pid_t(app->process.processId()), signalNumber);
        QVERIFY2(app->process.waitForFinished(5000), "the program did not end on the signal");
        QCOMPARE(app->process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app->process.exitCode(), 0);
        QCOMPARE(layoutKeys(*app),
                 (QStringList{QStringLiteral("DataSzerokosc"), QStringLiteral("FormMainHeight"),
                              QStringLiteral("FormMainLeft"), QStringLiteral("FormMainTop"),
                              QStringLiteral("FormMainWidth"), QStringLiteral("TytulSzerokosc")}));
    }

    // While an alarm runs, the icon in the tray is the note with the red alarm clock; once no
    // alarm runs (here another program switched it off) it is the plain note again.
    void aRunningAlarmShowsInTheTrayIcon()
    {
        auto app = install();
        QVERIFY(execute(*app, QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, "
                                             "Alarm, AlarmRodzaj, AlarmData, AlarmGodzina) "
                                             "VALUES (7, 'Milk', '', '2024.05.01 09:00:00', 1, 1, "
                                             "'2024.05.01', '08:30')")));
        start(*app, *desktop_);
        const quint32 icon = desktop_->waitForTrayIcon(QStringLiteral("quillbox"));
        QVERIFY2(icon != 0, "the tray icon was never docked");
        // The clock's red: neither the note's yellow nor its brown edge comes near it.
        const auto redPixels = [&] {
            const QImage image = desktop_->grab(icon);
            if (image.isNull())
                return -1;
            int red = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb pixel = image.pixel(x, y);
                    red += qRed(pixel) > 170 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
                }
            return red;
        };
        QTRY_VERIFY_WITH_TIMEOUT(redPixels() > 0, 15000);

        // Switched off by another program, which tells the others as the program does.
        QVERIFY(execute(*app, QStringLiteral("UPDATE NOTATKI SET Alarm = 0 WHERE ID = 7")));
        QVERIFY(execute(*app, QStringLiteral("EXECUTE BLOCK AS BEGIN POST_EVENT "
                                             "'quillbox_notes'; END")));
        QTRY_COMPARE_WITH_TIMEOUT(redPixels(), 0, 15000);
        finish(*app);
    }

    // XFCE's panel, a status-notifier host, up before the program: the program's item
    // registers with it, and the panel's activation toggles the window, a double click (two
    // activations) showing it once.
    void aStatusNotifierPanelTogglesTheWindow()
    {
        startDesktop(XDesktop::Options{false, true});
        if (!desktop_->isReady() || !desktop_->startStatusNotifierPanel())
            QSKIP(qPrintable(desktop_->whyNot()));
        auto app = install();
        start(*app, *desktop_);
        QStringList items;
        QTRY_VERIFY_WITH_TIMEOUT((items = desktop_->statusNotifierItems()).size() == 1, 20000);
        const auto activate = [&] { return desktop_->activateStatusNotifierItem(items.first()); };
        QVERIFY(desktop_->windows(QStringLiteral("^Quillbox$"), true).isEmpty());
        QVERIFY(activate());
        QVERIFY2(desktop_->waitForWindow(QStringLiteral("^Quillbox$")) != 0,
                 "the panel's activation showed no window");
        QTest::qWait(kPastDoubleClick);
        QVERIFY(activate());
        QVERIFY2(desktop_->waitForNoWindow(QStringLiteral("^Quillbox$")),
                 "a second activation did not hide the window");
        QTest::qWait(kPastDoubleClick);
        // A double click: two activations at once.
        QVERIFY(activate());
        QVERIFY(activate());
        QVERIFY(desktop_->waitForWindow(QStringLiteral("^Quillbox$")) != 0);
        QTest::qWait(kPastDoubleClick);
        QCOMPARE(desktop_->windows(QStringLiteral("^Quillbox$"), true).size(), 1);
        finish(*app);
    }

    // The panel's menu over the menu protocol: New note opens the editor, Close ends the
    // program.
    void aStatusNotifierMenuRunsItsCommands()
    {
        startDesktop(XDesktop::Options{false, true});
        if (!desktop_->isReady() || !desktop_->startStatusNotifierPanel())
            QSKIP(qPrintable(desktop_->whyNot()));
        auto app = install();
        start(*app, *desktop_);
        QStringList items;
        QTRY_VERIFY_WITH_TIMEOUT((items = desktop_->statusNotifierItems()).size() == 1, 20000);
        QVERIFY(desktop_->clickStatusNotifierMenu(items.first(), QStringLiteral("New note")));
        const quint32 editor = desktop_->waitForWindow(QStringLiteral("^Quillbox - Note"));
        QVERIFY2(editor != 0, "the menu's New note opened no editor");
        QVERIFY(desktop_->xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(editor)}));
        QVERIFY(key(*desktop_, QStringLiteral("Escape")));
        QVERIFY(desktop_->waitForNoWindow(QStringLiteral("^Quillbox - Note")));
        QVERIFY(desktop_->clickStatusNotifierMenu(items.first(), QStringLiteral("Close")));
        QVERIFY2(app->process.waitForFinished(10000), "the menu's Close did not end the program");
        QCOMPARE(app->process.exitCode(), 0);
    }

    // XFCE's panel comes up with the program (at login both start together) or some seconds
    // after it: the program finds its tray, the icon appears in it, and the close box then
    // hides the window to it.
    void aStatusNotifierPanelThatComesAfterTheProgramGetsTheIcon_data()
    {
        QTest::addColumn<int>("panelDelayMs");
        for (int run = 1; run <= 5; ++run) {
            QTest::addRow("at the same moment, run %d", run) << 0;
            QTest::addRow("5 s later, run %d", run) << 5000;
        }
    }

    void aStatusNotifierPanelThatComesAfterTheProgramGetsTheIcon()
    {
        QFETCH(int, panelDelayMs);
        startDesktop(XDesktop::Options{false, true});
        if (!desktop_->isReady())
            QSKIP(qPrintable(desktop_->whyNot()));
        auto app = install();
        start(*app, *desktop_);
        if (panelDelayMs > 0) {
            QVERIFY2(desktop_->waitForWindow(QStringLiteral("^Quillbox$")) != 0,
                     "without a tray the main window must be shown at start");
            QTest::qWait(panelDelayMs);
        }
        if (!desktop_->startStatusNotifierPanel())
            QSKIP(qPrintable(desktop_->whyNot()));
        // In the panel as a status-notifier item, or docked in its XEmbed tray.
        quint32 icon = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            desktop_->statusNotifierItems().size() == 1 ||
                (icon = desktop_->waitForTrayIcon(QStringLiteral("quillbox"), 0)) != 0,
            5000);
        // The panel settles (its strut moves the windows once) before the window is closed.
        QTest::qWait(kPastDoubleClick);
        // Started together, the program may have found the panel at start and kept its
        // window hidden: the icon shows it.
        if (desktop_->windows(QStringLiteral("^Quillbox$"), true).isEmpty()) {
            const QStringList items = desktop_->statusNotifierItems();
            QVERIFY(items.size() == 1 ? desktop_->activateStatusNotifierItem(items.first())
                                      : desktop_->click(icon));
        }
        const quint32 window = desktop_->waitForWindow(QStringLiteral("^Quillbox$"));
        QVERIFY(window != 0);

        QVERIFY(desktop_->xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window)}));
        QVERIFY(key(*desktop_, QStringLiteral("alt+F4")));
        QVERIFY2(desktop_->waitForNoWindow(QStringLiteral("^Quillbox$")),
                 qPrintable(QStringLiteral("the close box left the window on the screen: %1")
                                .arg(desktop_->run(QStringLiteral("xprop"),
                                                   {QStringLiteral("-id"), QString::number(window),
                                                    QStringLiteral("WM_STATE")}))));
        const QString wmState =
            desktop_->run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                                    QStringLiteral("WM_STATE")});
        QVERIFY2(!wmState.contains(QStringLiteral("Iconic")), qPrintable(wmState));
        finish(*app);
    }

    // No notification daemon on the bus: the alarm comes in the program's own window, above
    // the others, and Enter there opens the program.
    void withoutANotificationServiceTheAlarmWindowAppears_data()
    {
        QTest::addColumn<bool>("statusNotifier");
        QTest::newRow("XEmbed tray") << false;
        QTest::newRow("status-notifier panel") << true;
    }
    void withoutANotificationServiceTheAlarmWindowAppears()
    {
        QFETCH(bool, statusNotifier);
        startDesktop(XDesktop::Options{!statusNotifier, false});
        if (!desktop_->isReady() || (statusNotifier && !desktop_->startStatusNotifierPanel()))
            QSKIP(qPrintable(desktop_->whyNot()));
        auto app = install();
        const QDate yesterday = QDate::currentDate().addDays(-1);
        QVERIFY(execute(*app, QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, "
                                             "Alarm, AlarmRodzaj, AlarmData, AlarmGodzina) "
                                             "VALUES (7, 'Milk', '', '%1 09:00:00', 2, 1, '%1', "
                                             "'00:00')")
                                  .arg(yesterday.toString(QStringLiteral("yyyy.MM.dd")))));
        start(*app, *desktop_);
        if (statusNotifier)
            QTRY_COMPARE_WITH_TIMEOUT(desktop_->statusNotifierItems().size(), 1, 20000);
        else
            QVERIFY(desktop_->waitForTrayIcon(QStringLiteral("quillbox")) != 0);
        const quint32 alarm =
            desktop_->waitForWindow(QStringLiteral("^Quillbox A L A R M$"), 40000);
        QVERIFY2(alarm != 0, "no alarm window");
        QCOMPARE(desktop_->caption(alarm), QStringLiteral("Quillbox A L A R M"));
        const QString state =
            desktop_->run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(alarm),
                                                    QStringLiteral("_NET_WM_STATE")});
        QVERIFY2(state.contains(QStringLiteral("_NET_WM_STATE_ABOVE")), qPrintable(state));
        QCOMPARE(query(*app, QStringLiteral("SELECT Alarm FROM NOTATKI WHERE ID = 7")),
                 QStringList{QStringLiteral("1")});
        QVERIFY(desktop_->windows(QStringLiteral("^Quillbox$"), true).isEmpty());
        // Nothing was sent to a service known to be missing.
        QVERIFY(!desktop_->notificationTraffic().contains(QStringLiteral("A L A R M")));

        QVERIFY(desktop_->xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(alarm)}));
        QVERIFY(key(*desktop_, QStringLiteral("Return")));
        QVERIFY2(desktop_->waitForWindow(QStringLiteral("^Quillbox$")) != 0,
                 "Enter in the alarm window did not open the program");
        QVERIFY(desktop_->waitForNoWindow(QStringLiteral("^Quillbox A L A R M$")));
        finish(*app);
    }

    // The panel comes up after the program: the icon docks in it, and from then on the close
    // box hides the window to the tray instead of minimising it.
    void aTrayThatComesAfterTheProgramGetsTheIcon()
    {
        startDesktop(XDesktop::Options{false, true});
        if (!desktop_->isReady())
            QSKIP(qPrintable(desktop_->whyNot()));
        auto app = install();
        start(*app, *desktop_);
        quint32 window = desktop_->waitForWindow(QStringLiteral("^Quillbox$"));
        QVERIFY2(window != 0, "without a tray the main window must be shown at start");
        // Settled without a tray: the program has decided how it starts.
        QTest::qWait(1000);

        QVERIFY2(desktop_->startTray(), qPrintable(desktop_->whyNot()));
        QElapsedTimer clock;
        clock.start();
        const quint32 icon = desktop_->waitForTrayIcon(QStringLiteral("quillbox"), 10000);
        QVERIFY2(icon != 0, "the icon never docked in the tray that came later");
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));

        // The close box, as the window manager sends it.
        QVERIFY(desktop_->xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window)}));
        QVERIFY(key(*desktop_, QStringLiteral("alt+F4")));
        QVERIFY2(desktop_->waitForNoWindow(QStringLiteral("^Quillbox$")),
                 "the close box left the window on the screen");
        const QString wmState =
            desktop_->run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                                    QStringLiteral("WM_STATE")});
        QVERIFY2(!wmState.contains(QStringLiteral("Iconic")), qPrintable(wmState));

        // The tray icon brings it back, where it was.
        QVERIFY(desktop_->click(icon));
        window = desktop_->waitForWindow(QStringLiteral("^Quillbox$"));
        QVERIFY2(window != 0, "a click on the icon did not show the window again");
        QTRY_COMPARE(desktop_->outerGeometry(window), QRect(940, 564, 300, 400));
        QTest::qWait(kPastDoubleClick);
        QVERIFY(desktop_->click(icon));
        QVERIFY(desktop_->waitForNoWindow(QStringLiteral("^Quillbox$")));
        finish(*app);
    }

    void withoutATrayTheWindowIsShownAndUsable()
    {
        startDesktop(XDesktop::Options{false, true});
        if (!desktop_->isReady())
            QSKIP(qPrintable(desktop_->whyNot()));
        auto app = install();
        start(*app, *desktop_);
        const quint32 window = desktop_->waitForWindow(QStringLiteral("^Quillbox$"));
        QVERIFY2(window != 0, "without a tray the main window must be shown at start");
        QVERIFY(desktop_->xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window)}));
        QVERIFY(key(*desktop_, QStringLiteral("Insert")));
        QVERIFY(desktop_->waitForWindow(QStringLiteral("^Quillbox - Note")) != 0);
        QVERIFY(type(*desktop_, QStringLiteral("No tray here")));
        QVERIFY(key(*desktop_, QStringLiteral("Return")));
        QVERIFY(desktop_->waitForNoWindow(QStringLiteral("^Quillbox - Note")));
        QTRY_COMPARE(query(*app, QStringLiteral("SELECT Tytul FROM NOTATKI")),
                     QStringList{QStringLiteral("No tray here")});
        finish(*app);
    }

    // `quillbox --show` on the session bus: the program running on the same database shows its
    // window and the asking one ends with 0; on another database it starts a program of its
    // own, shown, and leaves the first one in the tray. A plain second start is a second
    // program, as ever.
    void showOptionReachesTheProgramOfItsDatabase()
    {
        const auto windowPid = [&](quint32 window) {
            return desktop_
                ->run(QStringLiteral("xdotool"),
                      {QStringLiteral("getwindowpid"), QString::number(window)})
                .toLongLong();
        };
        const auto runShow = [&](QProcess& process, const Installation& app) {
            process.setProcessEnvironment(desktop_->environment());
            process.setProcessChannelMode(QProcess::ForwardedChannels);
            process.start(app.program(), {QStringLiteral("--show")});
        };
        auto first = install();
        start(*first, *desktop_);
        QVERIFY2(desktop_->waitForTrayIcon(QStringLiteral("quillbox")) != 0,
                 "the tray icon was never docked");
        QVERIFY(desktop_->windows(QStringLiteral("^Quillbox$"), true).isEmpty());

        // Another folder, another database: a program of its own, its window shown at once.
        auto other = install();
        runShow(other->process, *other);
        const quint32 otherWindow = desktop_->waitForWindow(QStringLiteral("^Quillbox$"));
        QVERIFY2(otherWindow != 0, "--show on another database showed no window");
        QCOMPARE(windowPid(otherWindow), other->process.processId());
        QVERIFY(terminate(*other));
        QVERIFY(desktop_->waitForNoWindow(QStringLiteral("^Quillbox$")));

        // A plain start on the first database runs on beside the first program.
        auto second = std::make_unique<QProcess>();
        second->setProcessEnvironment(desktop_->environment());
        second->setProcessChannelMode(QProcess::ForwardedChannels);
        second->start(first->program(), {});
        QVERIFY(second->waitForStarted(10000));
        QVERIFY(!second->waitForFinished(3000));
        QVERIFY(desktop_->windows(QStringLiteral("^Quillbox$"), true).isEmpty());

        // The first database's program, asked: its window comes, the asking one ends.
        QProcess asking;
        runShow(asking, *first);
        QVERIFY(asking.waitForFinished(30000));
        QCOMPARE(asking.exitStatus(), QProcess::NormalExit);
        QCOMPARE(asking.exitCode(), 0);
        const quint32 window = desktop_->waitForWindow(QStringLiteral("^Quillbox$"));
        QVERIFY2(window != 0, "--show did not show the running program's window");
        QCOMPARE(windowPid(window), first->process.processId());

        ::kill(pid_t(second->processId()), SIGTERM);
        QVERIFY(second->waitForFinished(10000));
        finish(*first);
    }
};

QTEST_GUILESS_MAIN(TestDesktop)
#include "TestDesktop.moc"
