#include "core/list/NoteImage.h"
#include "gui/platform/Icons.h"
#include "gui/web/BrowserEngine.h"
#include "gui/web/ClickLabel.h"
#include "gui/web/FormOProgramie.h"
#include "gui/web/LinkButton.h"
#include "gui/web/Update.h"
#include "support/UrlCatcher.h"

#include <QAccessible>
#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

const QUrl kSite(QStringLiteral("http://site.example/"));

bool samePicture(const QLabel* label, int image)
{
    return label->pixmap().toImage() == icons::noteImage(image).toImage();
}

} // namespace

// The new-version notice and the About window: their look, their timers and their links.
class TestWebWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void noticeLayout()
    {
        TfUpdate notice(kSite);
        QCOMPARE(notice.size(), QSize(275, 81));
        QCOMPARE(notice.windowTitle(), QStringLiteral("Quillbox - Aktualizacja"));
        QVERIFY(notice.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(notice.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(notice.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(notice.Label1->text(), QStringLiteral("New version of Quillbox is available!"));
        QCOMPARE(notice.lbGetNewVersion->text(), QStringLiteral("Download now..."));
        QVERIFY(notice.lbGetNewVersion->font().underline());
        QCOMPARE(notice.Label2->text(), QStringLiteral("x"));
        QCOMPARE(notice.Label2->geometry(), QRect(249, 8, 7, 16));
        QCOMPARE(notice.alpha(), 50);
        QVERIFY(!notice.Timer1->isActive());

        // The card is painted; around it the window stays see-through.
        const QImage image = notice.grab().toImage();
        QCOMPARE(QColor(image.pixel(30, 60)), QColor(255, 255, 230));
        QCOMPARE(qAlpha(image.pixel(2, 2)), 0);
        QCOMPARE(qAlpha(image.pixel(270, 78)), 0);
    }

    void noticePlacement_data()
    {
        QTest::addColumn<QRect>("workArea");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("taskbar at the bottom")
            << QRect(0, 0, 1920, 1040) << QPoint(1920 - 275 - 5, 1040 - 81 - 5);
        QTest::newRow("taskbar on the left")
            << QRect(60, 0, 1860, 1080) << QPoint(1920 - 275 - 5, 1080 - 81 - 5);
        QTest::newRow("taskbar at the top")
            << QRect(0, 40, 1280, 984) << QPoint(1280 - 275 - 5, 1024 - 81 - 5);
    }
    void noticePlacement()
    {
        QFETCH(QRect, workArea);
        QFETCH(QPoint, topLeft);
        QCOMPARE(TfUpdate::placement(workArea), topLeft);
    }

    void noticeShowsInTheCornerAndFadesIn()
    {
        auto* notice = new TfUpdate(kSite);
        QPointer<TfUpdate> alive(notice);
        notice->show();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(notice->frameGeometry().right(), area.right() - 5);
        QCOMPARE(notice->frameGeometry().bottom(), area.bottom() - 5);
        QVERIFY(notice->Timer1->isActive());
        QCOMPARE(notice->Timer1->interval(), 100);

        // Step by step: 60, 70, ... 250 in twenty ticks, and the 21st stops the timer there.
        notice->Timer1->stop();
        notice->Timer1->start();
        QList<int> seen;
        for (int tick = 0; tick < 21; ++tick) {
            notice->Timer1Timer();
            seen << notice->alpha();
        }
        QList<int> expected;
        for (int alpha = 60; alpha <= 250; alpha += 10)
            expected << alpha;
        expected << 250;
        QCOMPARE(seen, expected);
        QVERIFY(!notice->Timer1->isActive());
        QCOMPARE(notice->windowOpacity(), 250 / 255.0);
        delete notice;
    }

    void noticeFadesOnItsOwnTimer()
    {
        TfUpdate notice(kSite);
        notice.show();
        QTRY_VERIFY_WITH_TIMEOUT(!notice.Timer1->isActive(), 60000);
        QCOMPARE(notice.alpha(), 250);
    }

    void noticeLinks_data()
    {
        QTest::addColumn<bool>("download");
        QTest::newRow("Download now...") << true;
        QTest::newRow("x") << false;
    }
    void noticeLinks()
    {
        QFETCH(bool, download);
        UrlCatcher browser;
        QPointer<TfUpdate> notice = new TfUpdate(kSite);
        notice->show();
        QVERIFY(QTest::qWaitForWindowExposed(notice));
        QTest::mouseClick(download ? static_cast<QWidget*>(notice->lbGetNewVersion)
                                   : static_cast<QWidget*>(notice->Label2),
                          Qt::LeftButton);
        QTRY_VERIFY(notice.isNull());
        QCOMPARE(browser.opened, download ? QList<QUrl>{kSite} : QList<QUrl>{});
    }

    void noticeIgnoresOtherButtons()
    {
        UrlCatcher browser;
        TfUpdate notice(kSite);
        notice.show();
        QVERIFY(QTest::qWaitForWindowExposed(&notice));
        QTest::mouseClick(notice.lbGetNewVersion, Qt::RightButton);
        QTest::mouseClick(notice.Label2, Qt::RightButton);
        QVERIFY(notice.isVisible());
        QVERIFY(browser.opened.isEmpty());
    }

    void aboutLayout()
    {
        TFormOProgramie about(kSite);
        QCOMPARE(about.windowTitle(), QStringLiteral("Quillbox - About"));
        QCOMPARE(about.size(), QSize(456, 196));
        QVERIFY(!about.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!about.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(about.Label1->text(), QStringLiteral("site.example"));
        QVERIFY(about.Label1->font().underline());
        QVERIFY(samePicture(about.I1, note_image::StandardNote));
        QVERIFY(samePicture(about.I2, note_image::PlannedAlarm));
        QVERIFY(samePicture(about.I3, note_image::RunningAlarmRays));
        QVERIFY(samePicture(about.I33, note_image::RunningAlarm));
        QCOMPARE(about.I3->geometry(), about.I33->geometry());
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("Label5"))->text(),
                 QStringLiteral("- running alarm"));
        // Every text shows whole in the face that stands in for Tahoma, and the legend stays
        // inside its white box.
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const QRect legendBox = about.findChild<QWidget*>(QStringLiteral("Shape1"))->geometry();
        for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5"}) {
            const auto* label = about.findChild<QWidget*>(QLatin1String(name));
            QVERIFY2(label->width() >= label->sizeHint().width() &&
                         label->height() >= label->sizeHint().height(),
                     name);
            if (qstrcmp(name, "Label1") != 0)
                QVERIFY2(legendBox.contains(label->geometry()), name);
        }

        QVERIFY(about.MemoInfo->isReadOnly());
        const QStringList lines = about.MemoInfo->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 20);
        QCOMPARE(lines.at(0), QStringLiteral("Quillbox"));
        QCOMPARE(lines.at(18), QStringLiteral("site.example"));
        for (int blank : {1, 10, 14, 17, 19})
            QVERIFY2(lines.at(blank).isEmpty(), qPrintable(QString::number(blank + 1)));
        for (const QString& line : lines)
            QVERIFY2(line.size() <= 30, qPrintable(line));
        QCOMPARE(about.OK->text(), QStringLiteral("OK"));
    }

    // Rays first, then without, then rays again, one switch per tick of 500 ms.
    void aboutBlinkPhases()
    {
        TFormOProgramie about(kSite);
        about.show();
        QVERIFY(about.Timer1->isActive());
        QCOMPARE(about.Timer1->interval(), 500);
        about.Timer1->stop();
        QVERIFY(about.I3->isVisible());
        QVERIFY(!about.I33->isVisible());
        about.Timer1Timer();
        QVERIFY(!about.I3->isVisible());
        QVERIFY(about.I33->isVisible());
        about.Timer1Timer();
        QVERIFY(about.I3->isVisible());
        QVERIFY(!about.I33->isVisible());

        // And on the window's own timer.
        about.Timer1->start();
        QTRY_VERIFY_WITH_TIMEOUT(about.I33->isVisible() && !about.I3->isVisible(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(about.I3->isVisible() && !about.I33->isVisible(), 60000);
    }

    void aboutCloses_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Enter in the memo") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("OK") << 0;
        QTest::newRow("close box") << -1;
    }
    void aboutCloses()
    {
        QFETCH(int, how);
        QPointer<TFormOProgramie> about = new TFormOProgramie(kSite);
        about->setAttribute(Qt::WA_DeleteOnClose);
        QSignalSpy finished(about.data(), &QDialog::finished);
        about->open();
        QVERIFY(QTest::qWaitForWindowActive(about));
        QVERIFY(about->MemoInfo->hasFocus());
        if (how > 0)
            QTest::keyClick(about->MemoInfo, Qt::Key(how));
        else if (how == 0)
            QTest::mouseClick(about->OK, Qt::LeftButton);
        else
            about->close();
        QCOMPARE(finished.size(), 1);
        QTRY_VERIFY(about.isNull());
    }

    void aboutLinkOpensTheSiteAndStays()
    {
        UrlCatcher browser;
        TFormOProgramie about(kSite);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTest::mouseClick(about.Label1, Qt::LeftButton);
        QCOMPARE(browser.opened, QList<QUrl>{kSite});
        QVERIFY(about.isVisible());
    }

    // The link is reached from the memo with Tab and opened from the keyboard or by a screen
    // reader's press, through the same opening as a click; Enter there does not close the
    // window as it does elsewhere in it.
    void aboutLinkFromTheKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
        QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
        QTest::newRow("screen reader press") << 0 << int(Qt::NoModifier);
    }
    void aboutLinkFromTheKeyboard()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        UrlCatcher browser;
        TFormOProgramie about(kSite);
        QSignalSpy finished(&about, &QDialog::finished);
        about.show();
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QVERIFY(about.MemoInfo->hasFocus());
        QTest::keyClick(about.MemoInfo, Qt::Key_Tab);
        QVERIFY(about.Label1->hasFocus());
        if (key != 0) {
            QTest::keyClick(about.Label1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        } else {
            QAccessible::setActive(true);
            QAccessibleInterface* link = QAccessible::queryAccessibleInterface(about.Label1);
            QVERIFY(link && link->actionInterface());
            QCOMPARE(link->text(QAccessible::Name), QStringLiteral("site.example"));
            QVERIFY(link->state().focusable && link->state().focused);
            QVERIFY(link->actionInterface()->actionNames().contains(
                QAccessibleActionInterface::pressAction()));
            link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        }
        QTRY_COMPARE(browser.opened, QList<QUrl>{kSite});
        QVERIFY(about.isVisible());
        QCOMPARE(finished.size(), 0);

        // Tab goes on to OK, where Enter closes the window again.
        QTest::keyClick(about.Label1, Qt::Key_Tab);
        QVERIFY(about.OK->hasFocus());
        QTest::keyClick(about.OK, Qt::Key_Return);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(browser.opened.size(), 1);
    }

    // The program asks before it starts the browser engine, which would end it otherwise.
    void engineStartConditions_data()
    {
        QTest::addColumn<bool>("root");
        QTest::addColumn<QString>("disableSandbox");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<bool>("helper");
        QTest::addColumn<bool>("canStart");
        QTest::newRow("user") << false << QString() << QString() << true << true;
        QTest::newRow("user, no helper") << false << QString() << QString() << false << false;
        QTest::newRow("root, sandbox on") << true << QString() << QString() << true << false;
        QTest::newRow("root, sandbox 0")
            << true << QStringLiteral("0") << QString() << true << false;
        QTest::newRow("root, sandbox off")
            << true << QStringLiteral("1") << QString() << true << true;
        QTest::newRow("root, --no-sandbox")
            << true << QString() << QStringLiteral("--disable-gpu --no-sandbox") << true << true;
        QTest::newRow("root, other flags")
            << true << QString() << QStringLiteral("--no-sandboxes") << true << false;
    }
    void engineStartConditions()
    {
        QFETCH(bool, root);
        QFETCH(QString, disableSandbox);
        QFETCH(QString, flags);
        QFETCH(bool, helper);
        QFETCH(bool, canStart);
        browser_engine::Conditions conditions;
        conditions.runningAsRoot = root;
        conditions.disableSandbox = disableSandbox;
        conditions.chromiumFlags = flags;
        conditions.helperProgramFound = helper;
        QCOMPARE(browser_engine::canStart(conditions), canStart);
    }
};

QTEST_MAIN(TestWebWindows)
#include "TestWebWindows.moc"
