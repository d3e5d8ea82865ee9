#include "gui/platform/Icons.h"
#include "gui/tray/Tray.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <QWidget>
#include <QtTest>

using Reason = QSystemTrayIcon::ActivationReason;

// The tray icon as panels meet it: the clicks it reports and the pictures it offers.
class TestTray : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void activationsMakeClicks_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<QList<Reason>>("activations");
        QTest::addColumn<int>("clicks");
        // An interval no run of this test comes near, so activations sent one after the other
        // are always within it.
        constexpr int kLong = 60000;
        QTest::newRow("a click") << kLong << QList<Reason>{Reason::Trigger} << 1;
        QTest::newRow("double click on an XEmbed tray")
            << kLong << QList<Reason>{Reason::Trigger, Reason::DoubleClick} << 1;
        QTest::newRow("double click on a status-notifier panel")
            << kLong << QList<Reason>{Reason::Trigger, Reason::Trigger} << 1;
        QTest::newRow("menu and middle button are no clicks")
            << kLong << QList<Reason>{Reason::Context, Reason::MiddleClick} << 0;
        QTest::newRow("a desktop without a double-click time")
            << 0 << QList<Reason>{Reason::Trigger, Reason::Trigger, Reason::DoubleClick} << 3;
    }
    void activationsMakeClicks()
    {
        QFETCH(int, interval);
        QFETCH(QList<Reason>, activations);
        QFETCH(int, clicks);
        QStyleHints* hints = QGuiApplication::styleHints();
        const int desktopInterval = hints->mouseDoubleClickInterval();
        hints->setMouseDoubleClickInterval(interval);
        QWidget window;
        Tray tray(&window, false);
        QSignalSpy clicked(&tray, &Tray::clicked);
        for (const Reason reason : activations)
            emit tray.icon()->activated(reason);
        hints->setMouseDoubleClickInterval(desktopInterval);
        QCOMPARE(clicked.size(), clicks);
    }

    // Every size a panel draws is drawn for it, on plain and on doubled screens: a panel of
    // 48 pixels gets the note drawn at 48, not the 16-pixel one blown up.
    void iconsAtEverySize_data()
    {
        QTest::addColumn<bool>("attention");
        QTest::newRow("note") << false;
        QTest::newRow("note with the alarm clock") << true;
    }
    void iconsAtEverySize()
    {
        QFETCH(bool, attention);
        QWidget window;
        Tray tray(&window, false);
        const QIcon icon = attention ? icons::trayAttentionIcon() : tray.icon()->icon();
        const auto drawing = [&](int size) {
            return attention ? icons::attentionImage(size) : icons::applicationIcon(size);
        };
        const QList<QSize> offered = icon.availableSizes();
        for (const int size : icons::kTrayIconSizes) {
            QVERIFY2(offered.contains(QSize(size, size)), qPrintable(QString::number(size)));
            const QPixmap plain = icon.pixmap(QSize(size, size), 1.0);
            QCOMPARE(plain.deviceIndependentSize(), QSizeF(size, size));
            QCOMPARE(plain.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     drawing(size));
            const QPixmap doubled = icon.pixmap(QSize(size, size), 2.0);
            QCOMPARE(doubled.devicePixelRatio(), 2.0);
            QImage doubledDrawing = drawing(2 * size);
            doubledDrawing.setDevicePixelRatio(2);
            QCOMPARE(doubled.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     doubledDrawing);
        }
        // The two pictures differ: the alarm clock is there to be seen.
        QVERIFY(icons::attentionImage(48) != icons::applicationIcon(48));
    }
};

QTEST_MAIN(TestTray)
#include "TestTray.moc"
