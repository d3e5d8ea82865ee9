#pragma once

// Stops the text cursor blinking after a stretch without input, as GTK desktops do: a
// blinking cursor wakes the program twice a second for as long as a text field has the focus,
// also when nobody is at the machine, which on a laptop costs battery all day. Once the time
// has passed without a key press, click, wheel turn or touch, the cursor stays shown, steady;
// the next such input brings the blinking back.
//
// The blink is the application's cursor flash time (a style hint that every text field
// follows as it changes): pausing sets it to 0, which stops the fields' blink timers with the
// cursor shown, and resuming puts the previous value back. A flash time that is already 0
// (blinking turned off by the desktop) is left alone. The application's flash time is restored
// when the object goes.

#include <QObject>
#include <QTimer>
#include <chrono>

class CursorBlinkPause : public QObject
{
    Q_OBJECT
public:
    // GTK's default for gtk-cursor-blink-timeout.
    static constexpr std::chrono::milliseconds kIdleTimeout{10000};

    // Watches the input of the whole application from now on.
    explicit CursorBlinkPause(std::chrono::milliseconds idleTimeout = kIdleTimeout,
                              QObject* parent = nullptr);
    ~CursorBlinkPause() override;

    // Whether the cursor blink is stopped by this object.
    bool isPaused() const { return paused_; }

signals:
    void pausedChanged(bool paused);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pause();
    void resume();

    QTimer idle_;
    int flashTime_ = 0; // the flash time to restore while paused
    bool paused_ = false;
};
