#include "gui/platform/Icons.h"
#include "gui/platform/Look.h"
#include "gui/platform/PlainMessage.h"
#include "support/ModalWatcher.h"

#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QtTest>

// The house look on rendered widgets: one font and background for the program's windows and
// the ones Qt makes (message boxes, menus), and emoji drawn from the colour emoji face.
class TestLook : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { look::applyApplicationLook(); }

    void messageBoxesAndMenusLookLikeTheWindows()
    {
        QWidget window;
        look::applyWindowLook(&window);
        QFont boxFont;
        QColor boxBackground;
        ModalWatcher watcher([&](QWidget*) {});
        QTimer::singleShot(0, &window, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            boxFont = box->font();
            boxBackground = box->palette().color(QPalette::Window);
        });
        window.show();
        showPlainMessage(&window, QStringLiteral("Hello"));
        QCOMPARE(boxFont, window.font());
        QCOMPARE(boxBackground, look::kCream);
        QMenu menu(&window);
        QCOMPARE(menu.font(), window.font());
    }

    // A disabled button's picture is plainly out of use: grey, and much lighter than the
    // enabled one, as the buttons draw them on the cream background.
    void disabledButtonPicturesAreClearlyGreyed_data()
    {
        QTest::addColumn<QIcon>("icon");
        QTest::newRow("delete") << icons::trash();
        QTest::newRow("new note") << icons::newNote();
        QTest::newRow("OK") << icons::okMark();
        QTest::newRow("Cancel") << icons::cancelMark();
    }
    void disabledButtonPicturesAreClearlyGreyed()
    {
        QFETCH(QIcon, icon);
        QWidget window;
        look::applyWindowLook(&window);
        auto* button = new QToolButton(&window);
        button->setAutoRaise(true);
        button->setIcon(icon);
        button->setGeometry(0, 0, 25, 25);
        window.resize(25, 25);
        // Ink: how far the pixels are from the background, summed; colour: the largest spread
        // of a pixel's channels.
        auto measure = [&](bool enabled, int* colour) {
            button->setEnabled(enabled);
            const QImage image = button->grab().toImage();
            const QColor background = image.pixelColor(0, 0);
            double ink = 0;
            *colour = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    ink += qAbs(c.red() - background.red()) + qAbs(c.green() - background.green()) +
                           qAbs(c.blue() - background.blue());
                    *colour = std::max({*colour, qAbs(c.red() - c.green()),
                                        qAbs(c.green() - c.blue()), qAbs(c.red() - c.blue())});
                }
            return ink;
        };
        int enabledColour = 0;
        int disabledColour = 0;
        const double enabledInk = measure(true, &enabledColour);
        const double disabledInk = measure(false, &disabledColour);
        QVERIFY2(
            disabledInk < 0.5 * enabledInk,
            qPrintable(
                QStringLiteral("ink %1 disabled, %2 enabled").arg(disabledInk).arg(enabledInk)));
        QVERIFY2(disabledColour <= 16, qPrintable(QString::number(disabledColour)));
    }

    void emojiAreDrawnInColour()
    {
        if (!QFontDatabase::families().contains(look::kEmojiFamily))
            QSKIP("the colour emoji font is not installed (fonts-noto-color-emoji)");
        QLabel label(QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x8D\x8E"));
        look::applyWindowLook(&label);
        QFont big = label.font();
        big.setPointSize(24);
        label.setFont(big);
        label.adjustSize();
        const QImage image = label.grab().toImage();
        int coloured = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (qAbs(c.red() - c.green()) > 60 || qAbs(c.green() - c.blue()) > 60)
                    ++coloured;
            }
        // An empty box or a black glyph has no coloured pixels at all.
        QVERIFY2(coloured > 50, qPrintable(QString::number(coloured)));
    }
};

QTEST_MAIN(TestLook)
#include "TestLook.moc"
