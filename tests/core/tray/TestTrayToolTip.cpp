#include "core/tray/TrayToolTip.h"

#include <QTextDocument>
#include <QtTest>

// The tray icon's tooltip as the running alarms make it.
class TestTrayToolTip : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void text_data()
    {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QStringList& titles, const QString& text) {
            QTest::newRow(name) << titles << text;
        };
        row("no alarm runs", {}, QStringLiteral("Quillbox"));
        row("one", {QStringLiteral("Milk")}, QStringLiteral("Quillbox - alarm running\nMilk"));
        row("three are all named",
            {QStringLiteral("Milk"), QStringLiteral("Bread"), QStringLiteral("Call Ann")},
            QStringLiteral("Quillbox - alarms running\nMilk\nBread\nCall Ann"));
        row("the fourth is counted",
            {QStringLiteral("Milk"), QStringLiteral("Bread"), QStringLiteral("Call Ann"),
             QStringLiteral("Dentist")},
            QStringLiteral("Quillbox - alarms running\nMilk\nBread\nCall Ann\nand 1 more"));
        QStringList many;
        for (int i = 1; i <= 12; ++i)
            many << QStringLiteral("Note %1").arg(i);
        row("the newest three of many", many,
            QStringLiteral("Quillbox - alarms running\nNote 1\nNote 2\nNote 3\nand 9 more"));
        // Titles that look like markup or hold bidirectional controls stand on lines of
        // their own, after the program's own first line.
        row("titles as typed", {QStringLiteral("<b>x</b> &amp;"), QStringLiteral("\u202egnp.exe")},
            QStringLiteral("Quillbox - alarms running\n<b>x</b> &amp;\n\u202egnp.exe"));
    }
    void text()
    {
        QFETCH(QStringList, titles);
        QFETCH(QString, expected);
        const QString text = tray_tooltip::text(titles);
        QCOMPARE(text, expected);
        // A desktop that renders rich text for a tooltip that looks like it renders none here.
        QVERIFY(!Qt::mightBeRichText(text));
    }
};

QTEST_APPLESS_MAIN(TestTrayToolTip)
#include "TestTrayToolTip.moc"
