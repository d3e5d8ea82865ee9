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

        QTest::newRow("same version") << QByteArray("3.0") << QByteArray("3.0") << false;
        QTest::newRow("same, LF") << QByteArray("3.0\n") << QByteArray("3.0") << false;
        QTest::newRow("same, CRLF") << QByteArray("3.0\r\n") << QByteArray("3.0") << false;
        QTest::newRow("same, more lines")
            << QByteArray("3.0\r\n3.1\r\nnotes") << QByteArray("3.0") << false;
        QTest::newRow("same, Ctrl-Z ends the line") << QByteArray("3.0\x1a"
                                                                  "9.9")
                                                    << QByteArray("3.0") << false;
        QTest::newRow("lone CR dropped") << QByteArray("3.\r0") << QByteArray("3.0") << false;
        QTest::newRow("CR at the end without LF")
            << QByteArray("3.0\r") << QByteArray("3.0") << false;

        QTest::newRow("newer") << QByteArray("3.1") << QByteArray("3.1") << true;
        QTest::newRow("older") << QByteArray("2.9\r\n") << QByteArray("2.9") << true;
        QTest::newRow("not read as a number") << QByteArray("3.00") << QByteArray("3.00") << true;
        QTest::newRow("blank before") << QByteArray(" 3.0") << QByteArray(" 3.0") << true;
        QTest::newRow("blank after") << QByteArray("3.0 \n") << QByteArray("3.0 ") << true;
        QTest::newRow("tab after") << QByteArray("3.0\t") << QByteArray("3.0\t") << true;
        QTest::newRow("empty file") << QByteArray() << QByteArray() << true;
        QTest::newRow("only CR") << QByteArray("\r") << QByteArray() << true;
        QTest::newRow("empty first line") << QByteArray("\r\n3.0\r\n") << QByteArray() << true;
        QTest::newRow("Ctrl-Z first") << QByteArray("\x1a"
                                                    "3.0")
                                      << QByteArray() << true;
        QTest::newRow("UTF-8 BOM") << QByteArray("\xef\xbb\xbf"
                                                 "3.0\n")
                                   << QByteArray("\xef\xbb\xbf"
                                                 "3.0")
                                   << true;
        QTest::newRow("case counts") << QByteArray("3.0A") << QByteArray("3.0A") << true;

        const char binaryBytes[] = {'\x00', '3', '.', '0', '\xff', '\x7f', '\n', 'x'};
        QTest::newRow("binary with NUL")
            << QByteArray(binaryBytes, sizeof binaryBytes) << QByteArray(binaryBytes, 6) << true;
        QByteArray big(10 * 1024 * 1024, 'a');
        big.prepend("3.0\n");
        QTest::newRow("10 MB after the line") << big << QByteArray("3.0") << false;
        QTest::newRow("10 MB in one line")
            << QByteArray(10 * 1024 * 1024, '7') << QByteArray(10 * 1024 * 1024, '7') << true;
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
