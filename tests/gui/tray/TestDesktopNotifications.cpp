#include "NotificationBus.h"
#include "gui/tray/AlarmWindow.h"
#include "gui/tray/DesktopNotifications.h"
#include "gui/tray/Tray.h"

#include <QDBusConnectionInterface>
#include <QLabel>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QWidget>
#include <QtTest>
#include <memory>

class ClosedListener : public QObject
{
    Q_OBJECT
public:
    int count = 0;
public Q_SLOTS:
    void closed(uint, uint) { ++count; }
};

// The tray's alarm balloon as notifications of a real notification service: a service object
// registered by this test on a private session bus (dbus-daemon).
class TestDesktopNotifications : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(bus_.start());
        service_ = std::make_unique<FakeNotificationService>(bus_.address());
        QVERIFY(service_->registerService());
        // The program's session bus is the private one.
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(
            DesktopNotifications::kService));
    }

    void init()
    {
        service_->received.clear();
        service_->failNext = false;
        QVERIFY(service_->registerService());
        window_ = std::make_unique<QWidget>();
        tray_ = new Tray(window_.get(), true);
    }

    void cleanup() { window_.reset(); }

    void aBalloonIsANotificationThatStays()
    {
        tray_->showAlarmBalloon(
            QStringLiteral("Quillbox A L A R M"),
            QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\nMilk\r\n"), false);
        QTRY_COMPARE(service_->received.size(), 1);
        const auto& n = service_->received.first();
        QCOMPARE(n.appName, QStringLiteral("Quillbox"));
        QCOMPARE(n.summary, QStringLiteral("Quillbox A L A R M"));
        QCOMPARE(n.body, QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\r\nMilk\r\n"));
        QCOMPARE(n.replacesId, 0u);
        QCOMPARE(n.expireTimeout, 0);
        QVERIFY(n.actions.size() >= 2);
        QCOMPARE(n.actions.first(), QStringLiteral("default"));

        // The tray icon's picture goes along.
        const ImageHint image = FakeNotificationService::imageHint(n.hints);
        const QImage icon = tray_->icon()->icon().pixmap(QSize(32, 32)).toImage();
        QCOMPARE(image.width, icon.width());
        QCOMPARE(image.height, icon.height());
        QVERIFY(image.hasAlpha);
        QCOMPARE(image.bitsPerSample, 8);
        QCOMPARE(image.channels, 4);
        QCOMPARE(image.data.size(), qsizetype(image.rowStride) * image.height);
        const QImage expected = icon.convertToFormat(QImage::Format_RGBA8888);
        QCOMPARE(image.data, QByteArray(reinterpret_cast<const char*>(expected.constBits()),
                                        expected.sizeInBytes()));
    }

    void balloonsOfOnePassReplaceEachOther()
    {
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("A"), false);
        QTRY_COMPARE(service_->received.size(), 1);
        const uint first = service_->received[0].id;
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("AB"), true);
        QTRY_COMPARE(service_->received.size(), 2);
        QCOMPARE(service_->received[1].replacesId, first);
        QCOMPARE(service_->received[1].id, first);

        // Balloons given while the previous call is on its way: the newest replaces it.
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("ABC"), true);
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("ABCD"), true);
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("ABCDE"), true);
        QTRY_VERIFY(!service_->received.isEmpty() &&
                    service_->received.last().body == QStringLiteral("ABCDE"));
        for (qsizetype i = 2; i < service_->received.size(); ++i)
            QCOMPARE(service_->received[i].replacesId, first);

        // The next pass starts a notification of its own and leaves this one standing.
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("X"), false);
        QTRY_COMPARE(service_->received.last().body, QStringLiteral("X"));
        QCOMPARE(service_->received.last().replacesId, 0u);
        QVERIFY(service_->received.last().id != first);
    }

    void aClosedNotificationIsNotReplacedButShownAgain()
    {
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("A"), false);
        QTRY_COMPARE(service_->received.size(), 1);
        // A listener of our own sees the close in the same dispatch as the tray.
        ClosedListener listener;
        QDBusConnection::sessionBus().connect(
            DesktopNotifications::kService, DesktopNotifications::kPath,
            DesktopNotifications::kInterface, QStringLiteral("NotificationClosed"), &listener,
            SLOT(closed(uint, uint)));
        service_->closeByUser(service_->received[0].id);
        QTRY_COMPARE(listener.count, 1);
        QCoreApplication::processEvents();
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("AB"), true);
        QTRY_COMPARE(service_->received.size(), 2);
        QCOMPARE(service_->received[1].replacesId, 0u);
        QVERIFY(service_->received[1].id != service_->received[0].id);
    }

    void aClickOnTheNotificationIsTheBalloonClick()
    {
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("A"), false);
        QTRY_COMPARE(service_->received.size(), 1);
        const uint id = service_->received[0].id;
        QSignalSpy clicked(tray_, &Tray::balloonClicked);
        // Another action, and a click on somebody else's notification, are not ours to answer;
        // the click that follows them on the bus shows when they have been seen.
        service_->invokeAction(id, QStringLiteral("other"));
        service_->invokeAction(id + 1000, QStringLiteral("default"));
        // Nor is a click that another program on the bus claims for the service: the call
        // that follows it on the impostor's connection shows when the bus has passed it on.
        {
            const QString name = QStringLiteral("impostor");
            QDBusConnection impostor = QDBusConnection::connectToBus(bus_.address(), name);
            QDBusMessage click = QDBusMessage::createSignal(DesktopNotifications::kPath,
                                                            DesktopNotifications::kInterface,
                                                            QStringLiteral("ActionInvoked"));
            click << id << QStringLiteral("default");
            QVERIFY(impostor.send(click));
            QVERIFY(impostor.interface()->isServiceRegistered(DesktopNotifications::kService));
            QDBusConnection::disconnectFromBus(name);
        }
        service_->invokeAction(id, QStringLiteral("default"));
        QTRY_COMPARE(clicked.size(), 1);
        QTest::qWait(50);
        QCOMPARE(clicked.size(), 1);
    }

    void withoutTheServiceTheAlarmWindowShowsTheBalloon()
    {
        DesktopNotifications* notifications = tray_->notifications();
        QTRY_VERIFY(notifications->isServiceAvailable());
        QSignalSpy changes(notifications, &DesktopNotifications::serviceAvailableChanged);
        service_->unregisterService();
        // The tray follows the service going; a new watcher learns it from its first question.
        QTRY_COMPARE(notifications->service(), DesktopNotifications::Service::Missing);
        DesktopNotifications probe(QDBusConnection::sessionBus());
        QCOMPARE(probe.service(), DesktopNotifications::Service::Unknown);
        QTRY_COMPARE(probe.service(), DesktopNotifications::Service::Missing);
        QSignalSpy refused(notifications, &DesktopNotifications::failed);
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("A"), false);
        // Known to be missing: not even tried on the bus, and shown at once.
        QCOMPARE(refused.size(), 0);
        QVERIFY(tray_->alarmWindow() && tray_->alarmWindow()->isVisible());
        QCOMPARE(tray_->alarmWindow()->windowTitle(), QStringLiteral("T"));
        QCOMPARE(tray_->alarmWindow()->textLabel()->text(), QStringLiteral("A"));
        tray_->alarmWindow()->close();
        // A pass that goes on once the service is back starts a notification of its own.
        QVERIFY(service_->registerService());
        QTRY_VERIFY(notifications->isServiceAvailable());
        QTRY_VERIFY(probe.isServiceAvailable());
        QCOMPARE(changes, (QList<QVariantList>{{false}, {true}}));
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("AB"), true);
        QTRY_COMPARE(service_->received.size(), 1);
        QCOMPARE(service_->received[0].body, QStringLiteral("AB"));
        QCOMPARE(service_->received[0].replacesId, 0u);
        QVERIFY(!tray_->alarmWindow()->isVisible());
    }

    // The bus daemon stops answering (stopped with SIGSTOP): balloons are still handed over at
    // once and the GUI thread goes on, and they are delivered when the bus answers again.
    void aBalloonNeverWaitsForTheBus_data()
    {
        QTest::addColumn<bool>("settledFirst");
        QTest::newRow("service known present") << true;
        QTest::newRow("first answers still outstanding") << false;
    }
    void aBalloonNeverWaitsForTheBus()
    {
        QFETCH(bool, settledFirst);
        if (settledFirst)
            QTRY_VERIFY(tray_->notifications()->isServiceAvailable());
        QVERIFY(bus_.pause());
        const auto resume = qScopeGuard([this] { bus_.resume(); });
        if (!settledFirst) {
            // A tray made while the bus is silent starts out not knowing.
            cleanup();
            window_ = std::make_unique<QWidget>();
            tray_ = new Tray(window_.get(), true);
            QCOMPARE(tray_->notifications()->service(), DesktopNotifications::Service::Unknown);
        }

        QElapsedTimer clock;
        clock.start();
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("A"), false);
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("AB"), true);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        // Events keep flowing while the calls are on their way.
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(10);
        QTRY_VERIFY(ticks >= 5);
        QVERIFY(service_->received.isEmpty());

        QVERIFY(bus_.resume());
        QTRY_VERIFY(!service_->received.isEmpty() &&
                    service_->received.last().body == QStringLiteral("AB"));
        QCOMPARE(service_->received.first().body, QStringLiteral("A"));
        QCOMPARE(service_->received.last().id, service_->received.first().id);
    }

    void aRefusedNotificationFallsBackAndTheNextStandsAlone()
    {
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("A"), false);
        QTRY_COMPARE(service_->received.size(), 1);
        QVERIFY(!tray_->alarmWindow());
        service_->failNext = true;
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("X\r\nline two\r\n"), false);
        QTRY_VERIFY(!service_->failNext);
        // The refused notification is in the alarm window.
        QTRY_VERIFY(tray_->alarmWindow() && tray_->alarmWindow()->isVisible());
        QCOMPARE(tray_->alarmWindow()->textLabel()->text(), QStringLiteral("X\nline two"));
        QSignalSpy clicked(tray_, &Tray::balloonClicked);
        QTest::keyClick(tray_->alarmWindow(), Qt::Key_Enter);
        QCOMPARE(clicked.size(), 1);
        QVERIFY(!tray_->alarmWindow()->isVisible());
        tray_->showAlarmBalloon(QStringLiteral("T"), QStringLiteral("XY"), true);
        QTRY_COMPARE(service_->received.size(), 2);
        // Not a replacement of the first pass's notification.
        QCOMPARE(service_->received[1].body, QStringLiteral("XY"));
        QCOMPARE(service_->received[1].replacesId, 0u);
    }

    void markupInTheBodyIsEscaped()
    {
        tray_->showAlarmBalloon(QStringLiteral("Quillbox A L A R M"),
                                QStringLiteral("<i>a</i> & <a href=\"x\">b</a>"), false);
        QTRY_COMPARE(service_->received.size(), 1);
        QCOMPARE(service_->received[0].summary, QStringLiteral("Quillbox A L A R M"));
        QCOMPARE(service_->received[0].body,
                 QStringLiteral("&lt;i&gt;a&lt;/i&gt; &amp; &lt;a href=\"x\"&gt;b&lt;/a&gt;"));

        // A refused notification goes to the plain-text fallback as it was given.
        DesktopNotifications notifications(QDBusConnection::sessionBus());
        QSignalSpy failed(&notifications, &DesktopNotifications::failed);
        service_->failNext = true;
        notifications.notify(QStringLiteral("Quillbox"), QStringLiteral("T"),
                             QStringLiteral("<b>x</b>"), QImage(), false);
        QTRY_COMPARE(failed.size(), 1);
        QCOMPARE(failed[0][1].toString(), QStringLiteral("<b>x</b>"));
    }

private:
    PrivateSessionBus bus_;
    std::unique_ptr<FakeNotificationService> service_;
    std::unique_ptr<QWidget> window_;
    Tray* tray_ = nullptr;
};

QTEST_MAIN(TestDesktopNotifications)
#include "TestDesktopNotifications.moc"
