#include "gui/platform/CursorBlinkPause.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QStyleHints>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest>
#include <functional>
#include <memory>

using namespace std::chrono_literals;

namespace {

// A blink period short enough to see several blinks in a moment.
constexpr int kFlashTime = 200;
constexpr auto kIdleTimeout = 300ms;

// Counts the paints of a widget: a blinking cursor repaints its field at every switch.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Whether the field shows its text cursor: some pixel of the cursor's column, inside the
// cursor's rectangle, is drawn dark on the light field.
bool showsCursor(QLineEdit& edit)
{
    const QRect cursor = edit.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QImage image = edit.grab().toImage();
    for (int x = cursor.left(); x <= cursor.right() + 1; ++x) {
        for (int y = cursor.top() + 2; y < cursor.bottom() - 1; ++y) {
            if (image.rect().contains(x, y) && qGray(image.pixel(x, y)) < 100)
                return true;
        }
    }
    return false;
}

using Input = std::function<void(QLineEdit&)>;

} // namespace

Q_DECLARE_METATYPE(Input)

// The text cursor of a focused field stops blinking, shown, after a stretch without input,
// and blinks again at the next input. Real widgets and real input events.
class TestCursorBlinkPause : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        savedFlashTime_ = QGuiApplication::styleHints()->cursorFlashTime();
        QGuiApplication::styleHints()->setCursorFlashTime(kFlashTime);
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        edit_ = new QLineEdit(window_.get());
        layout->addWidget(edit_);
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        edit_->setFocus();
        QTRY_VERIFY(edit_->hasFocus());
    }

    void cleanup()
    {
        window_.reset();
        QGuiApplication::styleHints()->setCursorFlashTime(savedFlashTime_);
    }

    void blinkingStopsWithoutInputAndComesBackWithIt_data()
    {
        QTest::addColumn<Input>("input");
        QTest::newRow("key press") << Input([](QLineEdit& edit) { QTest::keyClick(&edit, 'a'); });
        QTest::newRow("arrow key")
            << Input([](QLineEdit& edit) { QTest::keyClick(&edit, Qt::Key_Left); });
        QTest::newRow("click") << Input([](QLineEdit& edit) {
            QTest::mouseClick(&edit, Qt::LeftButton, {}, edit.rect().center());
        });
        QTest::newRow("wheel") << Input([](QLineEdit& edit) {
            const QPointF at = edit.rect().center();
            QWheelEvent wheel(at, edit.mapToGlobal(at), {}, {0, 120}, Qt::NoButton, {},
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(&edit, &wheel);
        });
    }

    void blinkingStopsWithoutInputAndComesBackWithIt()
    {
        QFETCH(Input, input);
        PaintCounter counter(*edit_);
        CursorBlinkPause pause(kIdleTimeout);
        QSignalSpy changes(&pause, &CursorBlinkPause::pausedChanged);
        QVERIFY(!pause.isPaused());
        QTRY_VERIFY(counter.paints >= 2); // blinking

        QTRY_VERIFY(pause.isPaused());
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.at(0).at(0).toBool(), true);
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
        // Steady and shown: over five blink switches the field is repainted at most once,
        // for the cursor that stays on.
        counter.paints = 0;
        QTest::qWait(5 * kFlashTime / 2);
        QVERIFY2(counter.paints <= 1, qPrintable(QString::number(counter.paints)));
        QVERIFY(showsCursor(*edit_));

        input(*edit_);
        QVERIFY(!pause.isPaused());
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes.at(1).at(0).toBool(), false);
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), kFlashTime);
        counter.paints = 0;
        QTRY_VERIFY(counter.paints >= 2); // blinking again

        // And the next stretch without input stops it again.
        QTRY_VERIFY(pause.isPaused());
        QCOMPARE(changes.size(), 3);
    }

    void blinkingTurnedOffByTheDesktopStaysOff()
    {
        QGuiApplication::styleHints()->setCursorFlashTime(0);
        CursorBlinkPause pause(10ms);
        QSignalSpy changes(&pause, &CursorBlinkPause::pausedChanged);
        // Long past the idle time.
        QTest::qWait(100);
        QVERIFY(!pause.isPaused());
        QTest::keyClick(edit_, 'a');
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
        QVERIFY(changes.isEmpty());
    }

    void theFlashTimeComesBackWhenThePauseGoes()
    {
        auto pause = std::make_unique<CursorBlinkPause>(kIdleTimeout);
        QTRY_VERIFY(pause->isPaused());
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
        pause.reset();
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), kFlashTime);
    }

    void twoPausesRestoreTheFlashTimeOnce()
    {
        // Each main window has one; the second to run out finds the blink already stopped and
        // must not take 0 for the value to restore.
        auto first = std::make_unique<CursorBlinkPause>(kIdleTimeout);
        auto second = std::make_unique<CursorBlinkPause>(kIdleTimeout * 2);
        QTRY_VERIFY(first->isPaused());
        QSignalSpy secondChanges(second.get(), &CursorBlinkPause::pausedChanged);
        QTest::qWait(int(kIdleTimeout.count()) * 2);
        QVERIFY(secondChanges.isEmpty());
        first.reset();
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), kFlashTime);
        second.reset();
        QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), kFlashTime);
    }

private:
    int savedFlashTime_ = 0;
    std::unique_ptr<QWidget> window_;
    QLineEdit* edit_ = nullptr;
};

QTEST_MAIN(TestCursorBlinkPause)
#include "TestCursorBlinkPause.moc"
