#include "core/text/CodePoints.h"
#include "core/text/ControlCharacters.h"
#include "core/text/Isolation.h"
#include "core/text/NotificationMarkup.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// The rules for a note's text that need no window: characters counted as the database counts
// them, control characters dropped, a title isolated among other text, and text escaped for
// the notification service's markup.
class TestTextRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void codePoints_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("ascii") << "abc" << 3;
        QTest::newRow("polish") << QString::fromUtf8("żółć") << 4;
        QTest::newRow("emoji") << QString::fromUtf8("🦆") << 1;
        QTest::newRow("50 emoji") << QString::fromUtf8("🦆").repeated(50) << 50;
        QTest::newRow("emoji and skin tone") << QString::fromUtf8("👍🏽") << 2;
        QTest::newRow("combining mark") << QStringLiteral("e\u0301") << 2;
        QTest::newRow("lone high surrogate") << QString(QChar(0xd83e)) << 1;
    }
    void codePoints()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QCOMPARE(code_points::count(text), count);
        // Qt's own measure in code points agrees.
        QCOMPARE(int(text.toUcs4().size()), count);
    }

    void head_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("room");
        QTest::addColumn<QString>("head");
        const QString duck = QString::fromUtf8("🦆");
        QTest::newRow("fits") << "abc" << 3 << "abc";
        QTest::newRow("cut") << "abc" << 2 << "ab";
        QTest::newRow("none") << "abc" << 0 << "";
        QTest::newRow("emoji whole") << u"a"_s + duck + duck << 2 << u"a"_s + duck;
        QTest::newRow("49 and an emoji of 51")
            << QString(49, u'a') + duck + u"b" << 50 << QString(49, u'a') + duck;
        QTest::newRow("mark stays with its letter") << QStringLiteral("ae\u0301") << 2 << "a";
        QTest::newRow("letter and mark fit")
            << QStringLiteral("ae\u0301") << 3 << QStringLiteral("ae\u0301");
        QTest::newRow("flag is one character of two code points")
            << u"a"_s + QString::fromUtf8("🇵🇱") << 2 << "a";
    }
    void head()
    {
        QFETCH(QString, text);
        QFETCH(int, room);
        QFETCH(QString, head);
        QCOMPARE(code_points::head(text, room), head);
    }

    void titleControlCharacters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("kept");
        QTest::newRow("nul") << QString::fromLatin1("ab\0c", 4) << "abc";
        QString everyC0(0x20, QChar());
        for (qsizetype c = 0; c < everyC0.size(); ++c)
            everyC0[c] = QChar(char16_t(c));
        QTest::newRow("every c0") << everyC0 + u"x" << "x";
        QTest::newRow("tab and breaks") << "a\tb\r\nc"
                                        << "abc";
        QTest::newRow("space and delete stay") << "a b\x7f"
                                               << "a b\x7f";
        QTest::newRow("pair stays, halves go")
            << QString::fromUtf8("🦆") + QChar(0xdc00) + QChar(0xd800)
            << QString::fromUtf8("🦆");
    }
    void titleControlCharacters()
    {
        QFETCH(QString, text);
        QFETCH(QString, kept);
        QCOMPARE(control_characters::dropped(text, control_characters::Keep::Nothing), kept);
    }

    void isolated_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "Milk" << QStringLiteral("\u2068Milk\u2069");
        QTest::newRow("empty") << "" << QStringLiteral("\u2068\u2069");
        QTest::newRow("override stays inside")
            << QStringLiteral("\u202egnp.exe") << QStringLiteral("\u2068\u202egnp.exe\u2069");
        QTest::newRow("hebrew") << QStringLiteral("שלום") << QStringLiteral("\u2068שלום\u2069");
        QTest::newRow("a stray pop cannot end the isolate early")
            << QStringLiteral("\u2069\u202ex") << QStringLiteral("\u2068\u202ex\u2069");
        QTest::newRow("an isolate left open is closed inside")
            << QStringLiteral("\u2067abc") << QStringLiteral("\u2068\u2067abc\u2069\u2069");
        QTest::newRow("closed isolates kept")
            << QStringLiteral("a\u2066b\u2069c") << QStringLiteral("\u2068a\u2066b\u2069c\u2069");
    }
    void isolated()
    {
        QFETCH(QString, title);
        QFETCH(QString, shown);
        QCOMPARE(isolation::isolated(title), shown);
    }

    void notificationMarkup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("plain") << "Milk"
                               << "Milk";
        QTest::newRow("bold tag") << "<b>x</b>"
                                  << "&lt;b&gt;x&lt;/b&gt;";
        QTest::newRow("ampersand first") << "&lt; & more"
                                         << "&amp;lt; &amp; more";
        QTest::newRow("link") << "<a href=\"http://x\">y</a>"
                              << "&lt;a href=\"http://x\"&gt;y&lt;/a&gt;";
        QTest::newRow("quotes and breaks stay") << "it's \"x\"\r\nz"
                                                << "it's \"x\"\r\nz";
    }
    void notificationMarkup()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QCOMPARE(notification_markup::escaped(text), escaped);
    }
};

QTEST_GUILESS_MAIN(TestTextRules)
#include "TestTextRules.moc"
