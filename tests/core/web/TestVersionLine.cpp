#include "core/web/VersionLine.h"

#include <QtTest>

// The first line of the version file and the comparison with the program's own version.
class TestVersionLine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void firstLine_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("announces");

        const auto row = [](const char* name, const QByteArray& content, const QByteArray& line,
                            bool announces) {
            QTest::newRow(name) << content << line << announces;
        };
        row("same version", QByteArray("3.0"), QByteArray("3.0"), false);
        row("same, LF", QByteArray("3.0\n"), QByteArray("3.0"), false);
        row("same, CRLF", QByteArray("3.0\r\n"), QByteArray("3.0"), false);
        row("same, more lines", QByteArray("3.0\r\n3.1\r\nnotes"), QByteArray("3.0"), false);
        row("same, Ctrl-Z ends the line",
            QByteArray("3.0\x1a"
                       "9.9"),
            QByteArray("3.0"), false);
        row("lone CR dropped", QByteArray("3.\r0"), QByteArray("3.0"), false);
        row("CR at the end without LF", QByteArray("3.0\r"), QByteArray("3.0"), false);

        row("newer", QByteArray("3.1"), QByteArray("3.1"), true);
        row("older", QByteArray("2.9\r\n"), QByteArray("2.9"), true);
        row("not read as a number", QByteArray("3.00"), QByteArray("3.00"), true);
        row("blank before", QByteArray(" 3.0"), QByteArray(" 3.0"), true);
        row("blank after", QByteArray("3.0 \n"), QByteArray("3.0 "), true);
        row("tab after", QByteArray("3.0\t"), QByteArray("3.0\t"), true);
        row("empty file", QByteArray(), QByteArray(), true);
        row("only CR", QByteArray("\r"), QByteArray(), true);
        row("empty first line", QByteArray("\r\n3.0\r\n"), QByteArray(), true);
        row("Ctrl-Z first",
            QByteArray("\x1a"
                       "3.0"),
            QByteArray(), true);
        row("UTF-8 BOM",
            QByteArray("\xef\xbb\xbf"
                       "3.0\n"),
            QByteArray("\xef\xbb\xbf"
                       "3.0"),
            true);
        row("case counts", QByteArray("3.0A"), QByteArray("3.0A"), true);

        const char binaryBytes[] = {'\x00', '3', '.', '0', '\xff', '\x7f', '\n', 'x'};
        row("binary with NUL", QByteArray(binaryBytes, sizeof binaryBytes),
            QByteArray(binaryBytes, 6), true);
        QByteArray big(10 * 1024 * 1024, 'a');
        big.prepend("3.0\n");
        row("10 MB after the line", big, QByteArray("3.0"), false);
        row("10 MB in one line", QByteArray(10 * 1024 * 1024, '7'),
            QByteArray(10 * 1024 * 1024, '7'), true);
    }
    void firstLine()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, line);
        QFETCH(bool, announces);
        QCOMPARE(version_line::firstLine(content), line);
        QCOMPARE(version_line::announcesOtherVersion(content), announces);
    }
};

QTEST_APPLESS_MAIN(TestVersionLine)
#include "TestVersionLine.moc"
