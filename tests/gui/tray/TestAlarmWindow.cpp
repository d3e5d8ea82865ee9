#include "NotificationBus.h"
#include "gui/main/FormMain.h"
#include "gui/tray/AlarmWindow.h"
#include "gui/tray/DesktopNotifications.h"
#include "gui/tray/Tray.h"
#include "support/NoteFixture.h"
#include "support/NoteListDriver.h"
#include "support/TestDatabase.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

// A note with a daily alarm at 08:30 since 2024-05-01, planned: due at the test's noon.
NoteSeed dueAlarm(qint32 id, const QString& title)
{
    NoteSeed note;
    note.id = id;
    note.title = title;
    note.alarm = 2;
    note.kind = 1;
    note.date = QStringLiteral("'2024.05.01'");
    note.time = QStringLiteral("'08:30'");
    return note;
}

QString entry(const QString& title)
{
    return QStringLiteral("[Alarm: 2024-05-01 08:30] (daily alarm)\n\u2068") + title +
           QStringLiteral("\u2069");
}

FormMainOptions alarmOptions()
{
    FormMainOptions options = quietWindowOptions();
    options.alarmInterval = 10ms;
    options.clock = [] { return QDateTime(QDate(2024, 5, 1), QTime(12, 0)); };
    return options;
}

QList<AlarmWindow*> alarmWindows()
{
    QList<AlarmWindow*> found;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<AlarmWindow*>(widget))
            found << window;
    return found;
}

} // namespace

// The main window's alarms on a desktop without a notification service: a private session bus
// on which nobody owns org.freedesktop.Notifications, so the tray's real notification client
// finds the service missing and the alarm goes to the program's own alarm window.
class TestAlarmWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(bus_.start()); }

    void theAlarmWindowShowsEachPassAndOpensTheProgram_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Enter") << QStringLiteral("Enter");
        QTest::newRow("a click on the text") << QStringLiteral("click");
        QTest::newRow("the Open button") << QStringLiteral("button");
    }
    void theAlarmWindowShowsEachPassAndOpensTheProgram()
    {
        QFETCH(QString, how);
        TestDatabase db;
        insertNote(db, dueAlarm(1, QStringLiteral("Milk")));
        auto dm = db.open();
        TFormMain form(*dm, alarmOptions());

        QTRY_VERIFY(form.tray()->alarmWindow() && form.tray()->alarmWindow()->isVisible());
        AlarmWindow* window = form.tray()->alarmWindow();
        QCOMPARE(form.tray()->notifications()->service(), DesktopNotifications::Service::Missing);
        QCOMPARE(window->windowTitle(), QStringLiteral("Quillbox A L A R M"));
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window->isWindow());
        QCOMPARE(window->textLabel()->text(), entry(QStringLiteral("Milk")));
        QVERIFY(!form.isVisible());

        // The next pass's alarm takes the place of the first in the same window.
        insertNote(db, dueAlarm(2, QStringLiteral("Bread")));
        QTRY_COMPARE(window->textLabel()->text(), entry(QStringLiteral("Bread")));
        QCOMPARE(alarmWindows(), QList<AlarmWindow*>{window});
        QVERIFY(window->isVisible());
        QVERIFY(!form.isVisible());
        QTRY_VERIFY(listedTitles(form).contains(QStringLiteral("Bread")));

        insertNote(db, 3, QStringLiteral("Written elsewhere"),
                   QStringLiteral("2024.04.30 10:00:00"));
        if (how == QStringLiteral("Enter"))
            QTest::keyClick(window, Qt::Key_Return);
        else if (how == QStringLiteral("click"))
            QTest::mouseClick(window->textLabel(), Qt::LeftButton);
        else
            QTest::mouseClick(window->openButton(), Qt::LeftButton);
        QTRY_VERIFY(form.isVisible());
        QVERIFY(!window->isVisible());
        QVERIFY(listedTitles(form).contains(QStringLiteral("Written elsewhere")));
    }

    // Esc or the close box only closes it; the next alarm brings it back.
    void aClosedAlarmWindowComesBackWithTheNextAlarm()
    {
        TestDatabase db;
        insertNote(db, dueAlarm(1, QStringLiteral("Milk")));
        auto dm = db.open();
        TFormMain form(*dm, alarmOptions());
        QTRY_VERIFY(form.tray()->alarmWindow() && form.tray()->alarmWindow()->isVisible());
        AlarmWindow* window = form.tray()->alarmWindow();
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QVERIFY(!form.isVisible());
        insertNote(db, dueAlarm(2, QStringLiteral("Bread")));
        QTRY_VERIFY(window->isVisible());
        QCOMPARE(window->textLabel()->text(), entry(QStringLiteral("Bread")));
        QVERIFY(window->close());
        QVERIFY(!window->isVisible());
        QVERIFY(!form.isVisible());
    }

private:
    PrivateSessionBus bus_;
};

QTEST_MAIN(TestAlarmWindow)
#include "TestAlarmWindow.moc"
