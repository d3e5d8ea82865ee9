#include "NotificationBus.h"
#include "core/storage/AlarmColumns.h"
#include "core/storage/SqlText.h"
#include "gui/main/FormMain.h"
#include "gui/notes/FormNotatka.h"
#include "gui/platform/Icons.h"
#include "gui/tray/Tray.h"
#include "support/ModalWatcher.h"
#include "support/NoteListDriver.h"
#include "support/TestDatabase.h"

#include <QDBusConnectionInterface>
#include <QtTest>
#include <atomic>
#include <memory>

using namespace std::chrono_literals;

namespace {

constexpr auto kBeat = 10ms;

// A note with a daily alarm at 08:30, planned.
void insertAlarm(const TestDatabase& db, qint32 id, const QString& title, const QString& created,
                 int state = AlarmPlanned, const QString& time = QStringLiteral("'08:30'"))
{
    db.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, Tresc, DataGodzina, Alarm, "
                              "AlarmRodzaj, AlarmData, AlarmGodzina) VALUES (") +
               sql::number(id) + QStringLiteral(", ") + sql::quoted(title) +
               QStringLiteral(", 'text', ") + sql::quoted(created) + QStringLiteral(", ") +
               sql::number(state) + QStringLiteral(", 1, '2024.05.01', ") + time +
               QStringLiteral(")"));
}

int stateOf(const TestDatabase& db, qint32 id)
{
    return db.scalar(QStringLiteral("SELECT Alarm FROM NOTATKI WHERE ID = ") + sql::number(id))
        .toInt();
}

// The test's clock, read by the checker thread.
class TestClock
{
public:
    void set(const QDateTime& now)
    {
        QMutexLocker lock(&mutex_);
        now_ = now;
    }
    int reads() const { return reads_; }
    AlarmClock clock()
    {
        return [this] {
            ++reads_;
            QMutexLocker lock(&mutex_);
            return now_;
        };
    }

private:
    mutable QMutex mutex_;
    QDateTime now_ = QDateTime(QDate(2024, 5, 1), QTime(12, 0));
    std::atomic<int> reads_{0};
};

FormMainOptions alarmOptions(TestClock& clock)
{
    FormMainOptions options;
    options.trayAvailable = true;
    options.alarmInterval = kBeat;
    options.blinkInterval = kBeat;
    options.clock = clock.clock();
    return options;
}

// Waits until a worker at the checker's beat has run count passes: as long as a checker that
// is not paused would have run several.
void waitBeats(int count)
{
    std::atomic<int> beats{0};
    PeriodicWorker reference(kBeat, [&](PeriodicWorker&) { ++beats; });
    reference.start();
    QTRY_VERIFY(beats >= count);
}

const QString kTitle = QStringLiteral("Quillbox A L A R M");

} // namespace

// The main window's alarm checker on a real database and real threads at a short beat, with
// the notifications going to a notification service on a private session bus.
class TestAlarmNotifications : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(bus_.start());
        service_ = std::make_unique<FakeNotificationService>(bus_.address());
        QVERIFY(service_->registerService());
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(
            QStringLiteral("org.freedesktop.Notifications")));
    }

    void init() { service_->received.clear(); }

    void aDueAlarmTurnsRunningAndNotifiesOnce()
    {
        TestDatabase db;
        insertNote(db, 1, QStringLiteral("Newest, no alarm"),
                   QStringLiteral("2024.04.30 10:00:00"));
        insertAlarm(db, 2, QStringLiteral("Milk"), QStringLiteral("2024.04.01 10:00:00"));
        insertAlarm(db, 3, QStringLiteral("Tonight"), QStringLiteral("2024.03.01 10:00:00"),
                    AlarmPlanned, QStringLiteral("'23:00'"));
        auto dm = db.open();
        TestClock clock;
        TFormMain form(*dm, alarmOptions(clock));

        QTRY_COMPARE(service_->received.size(), 1);
        const auto& n = service_->received.first();
        QCOMPARE(n.appName, QStringLiteral("Quillbox"));
        QCOMPARE(n.summary, kTitle);
        QCOMPARE(n.body,
                 QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\n\u2068Milk\u2069\r\n"));
        QCOMPARE(n.expireTimeout, 0);
        QCOMPARE(form.AlarmBalloonTitle, kTitle);
        QCOMPARE(form.AlarmBalloonText, n.body);
        QCOMPARE(stateOf(db, 2), int(AlarmRunning));
        // The reloaded list has it at the top, as a running alarm.
        QCOMPARE(listedTitles(form).first(), QStringLiteral("Milk"));
        QVERIFY(listedImages(form).first() >= 2);

        // Later passes (each reads the clock for the evening alarm) leave it be.
        const int reads = clock.reads();
        QTRY_VERIFY(clock.reads() > reads + 5);
        QCOMPARE(service_->received.size(), 1);
        insertAlarm(db, 4, QStringLiteral("Marker"), QStringLiteral("2024.04.02 10:00:00"));
        QTRY_COMPARE(service_->received.size(), 2);
        QCOMPARE(
            service_->received[1].body,
            QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\n\u2068Marker\u2069\r\n"));
        QCOMPARE(service_->received[1].replacesId, 0u);
    }

    void aTitleShowsAsTypedInTheNotification()
    {
        // Markup in a title is not rendered by the notification server, and its bidirectional
        // controls stay inside the title; the balloon text kept for the tray's own balloon is
        // the plain text.
        TestDatabase db;
        const QString title = QStringLiteral("<b>x</b> & \u202egnp.exe");
        insertAlarm(db, 2, title, QStringLiteral("2024.04.01 10:00:00"));
        auto dm = db.open();
        TestClock clock;
        TFormMain form(*dm, alarmOptions(clock));
        QTRY_COMPARE(service_->received.size(), 1);
        QCOMPARE(service_->received.first().body,
                 QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\n"
                                "\u2068&lt;b&gt;x&lt;/b&gt; &amp; \u202egnp.exe\u2069\r\n"));
        QCOMPARE(form.AlarmBalloonText, QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\n"
                                                       "\u2068<b>x</b> & \u202egnp.exe\u2069\r\n"));
    }

    void twoDueAlarmsListTheNewestFirstInOneNotification()
    {
        TestDatabase db;
        insertAlarm(db, 1, QStringLiteral("Older"), QStringLiteral("2024.04.01 10:00:00"));
        insertAlarm(db, 2, QStringLiteral("Newer"), QStringLiteral("2024.04.02 10:00:00"));
        auto dm = db.open();
        TestClock clock;
        TFormMain form(*dm, alarmOptions(clock));

        QTRY_VERIFY(!service_->received.isEmpty() &&
                    service_->received.last().body.count(QStringLiteral("[Alarm")) == 2);
        const QString newer =
            QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\n\u2068Newer\u2069\r\n");
        const QString older =
            QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\n\u2068Older\u2069\r\n");
        QCOMPARE(service_->received.first().body, newer);
        QCOMPARE(service_->received.first().replacesId, 0u);
        QCOMPARE(service_->received.last().body, newer + older);
        QCOMPARE(service_->received.last().replacesId, service_->received.first().id);
        QCOMPARE(service_->received.size(), 2);
        QCOMPARE(stateOf(db, 1), int(AlarmRunning));
        QCOMPARE(stateOf(db, 2), int(AlarmRunning));
        QCOMPARE(listedTitles(form).mid(0, 2),
                 (QStringList{QStringLiteral("Newer"), QStringLiteral("Older")}));
    }

    void aClickOnTheNotificationShowsTheWindowWithTheListReloaded()
    {
        TestDatabase db;
        insertAlarm(db, 1, QStringLiteral("Milk"), QStringLiteral("2024.04.01 10:00:00"));
        auto dm = db.open();
        TestClock clock;
        TFormMain form(*dm, alarmOptions(clock));
        QTRY_COMPARE(service_->received.size(), 1);
        QVERIFY(!form.isVisible());

        insertNote(db, 2, QStringLiteral("Written elsewhere"),
                   QStringLiteral("2024.04.30 10:00:00"));
        service_->invokeAction(service_->received[0].id, QStringLiteral("default"));
        QTRY_VERIFY(form.isVisible());
        QVERIFY(listedTitles(form).contains(QStringLiteral("Written elsewhere")));
    }

    void aDueAlarmFiresAfterTheEditorCloses()
    {
        TestDatabase db;
        insertAlarm(db, 1, QStringLiteral("Milk"), QStringLiteral("2024.04.01 10:00:00"));
        auto dm = db.open();
        TestClock clock;
        clock.set(QDateTime(QDate(2024, 5, 1), QTime(8, 0)));
        TFormMain form(*dm, alarmOptions(clock));
        QTRY_VERIFY(clock.reads() > 0);

        bool pausedWhileOpen = false;
        int readsWhileOpen = -1;
        qsizetype notifiedWhileOpen = -1;
        ModalWatcher watcher([&](QWidget* w) {
            auto* editor = qobject_cast<TFormNotatka*>(w);
            if (!editor)
                return;
            pausedWhileOpen = form.alarmChecker()->isPaused();
            // The alarm's time comes while the editor is open.
            clock.set(QDateTime(QDate(2024, 5, 1), QTime(12, 0)));
            const int reads = clock.reads();
            waitBeats(10);
            readsWhileOpen = clock.reads() - reads;
            notifiedWhileOpen = service_->received.size();
            editor->reject();
        });
        form.NewNote();

        QVERIFY(pausedWhileOpen);
        QCOMPARE(readsWhileOpen, 0);
        QCOMPARE(notifiedWhileOpen, 0);
        QTRY_COMPARE(service_->received.size(), 1);
        QCOMPARE(service_->received[0].body,
                 QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\n\u2068Milk\u2069\r\n"));
        QCOMPARE(stateOf(db, 1), int(AlarmRunning));
    }

    // While alarms run, the tray icon shows the note with the red clock and its tooltip names
    // them, newest first; when none runs any more the plain icon and name come back.
    void runningAlarmsShowInTheTray()
    {
        TestDatabase db;
        insertAlarm(db, 1, QStringLiteral("From yesterday"), QStringLiteral("2024.03.01 10:00:00"),
                    AlarmRunning);
        insertAlarm(db, 2, QStringLiteral("Tonight"), QStringLiteral("2024.04.01 10:00:00"),
                    AlarmPlanned, QStringLiteral("'23:00'"));
        auto dm = db.open();
        TestClock clock;
        TFormMain form(*dm, alarmOptions(clock));
        const auto shows = [&form](bool attention) {
            const QImage drawn = form.tray()->icon()->icon().pixmap(QSize(22, 22), 1.0).toImage();
            return drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
                   (attention ? icons::attentionImage(22) : icons::applicationIcon(22));
        };

        // An alarm left running by an earlier run shows at once.
        QTRY_COMPARE(form.tray()->icon()->toolTip(),
                     QStringLiteral("Quillbox - alarm running\nFrom yesterday"));
        QVERIFY(form.tray()->showsAttention());
        QVERIFY(shows(true));

        // The evening alarm fires: the newest is named first.
        clock.set(QDateTime(QDate(2024, 5, 1), QTime(23, 30)));
        QTRY_COMPARE(form.tray()->icon()->toolTip(),
                     QStringLiteral("Quillbox - alarms running\nTonight\nFrom yesterday"));

        // Another program sets three more running; the list's reload brings them.
        for (qint32 id = 3; id <= 5; ++id)
            insertAlarm(db, id, QStringLiteral("Later %1").arg(id),
                        QStringLiteral("2024.04.0%1 10:00:00").arg(id), AlarmRunning);
        form.LoadNotes();
        QTRY_COMPARE(form.tray()->icon()->toolTip(),
                     QStringLiteral("Quillbox - alarms running\nLater 5\nLater 4\nLater 3\n"
                                    "and 2 more"));
        QVERIFY(shows(true));

        // All acknowledged by another program (after today's occurrences, so none is due
        // again), which announces its change: the list of the hidden window waits, the tray
        // follows at once with the plain icon and the program's name.
        db.execute(QStringLiteral("UPDATE NOTATKI SET Alarm = 3, AlarmArchiwum = "
                                  "'2024.05.01 23:20:00' WHERE Alarm = 1"));
        db.execute(QStringLiteral("EXECUTE BLOCK AS BEGIN POST_EVENT 'quillbox_notes'; END"));
        QVERIFY(!form.isVisible());
        QTRY_COMPARE(form.tray()->icon()->toolTip(), QStringLiteral("Quillbox"));
        QVERIFY(!form.tray()->showsAttention());
        QVERIFY(shows(false));
    }

    // The window goes while both threads run and alarms keep firing: its destruction stops
    // them without waiting on anything that needs the window, and nothing runs after it.
    void shutdownWithBothThreadsRunning_data()
    {
        QTest::addColumn<bool>("quitFirst");
        QTest::newRow("window destroyed") << false;
        QTest::newRow("quit sequence, then destroyed") << true;
    }
    void shutdownWithBothThreadsRunning()
    {
        QFETCH(bool, quitFirst);
        TestDatabase db;
        TDM seeder(db.path());
        seeder.transact([&](DbSession& s) {
            for (qint32 id = 1; id <= 200; ++id) {
                s.execute(QStringLiteral("INSERT INTO NOTATKI (ID, Tytul, DataGodzina, Alarm, "
                                         "AlarmRodzaj, AlarmData, AlarmGodzina) VALUES (") +
                          sql::number(id) +
                          QStringLiteral(", 'n', '2024.04.01 10:00:00', 2, 1, '2024.05.01', "
                                         "'08:30')"));
            }
        });
        auto dm = db.open();
        TestClock clock;
        auto form = std::make_unique<TFormMain>(*dm, alarmOptions(clock));
        QPointer<TAlarmChecker> checker = form->alarmChecker();
        QTRY_VERIFY(service_->received.size() >= 2);
        if (quitFirst)
            form->QuitProgram();
        form.reset();
        QVERIFY(!checker);
        const int reads = clock.reads();
        waitBeats(5);
        QCOMPARE(clock.reads(), reads);
        const int running =
            db.scalar(QStringLiteral("SELECT COUNT(*) FROM NOTATKI WHERE Alarm = 1")).toInt();
        QVERIFY(running > 0 && running < 200);
    }

private:
    PrivateSessionBus bus_;
    std::unique_ptr<FakeNotificationService> service_;
};

QTEST_MAIN(TestAlarmNotifications)
#include "TestAlarmNotifications.moc"
