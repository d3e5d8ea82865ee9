#pragma once

// The program's own alarm window, for desktops where a notification cannot be shown: no
// notification service on the session bus, or one that refused the notification. It shows the
// alarm balloon's text above other windows and stays until the user closes it; a click on it,
// or Enter, opens the program as a click on the notification does.

#include <QWidget>

class QLabel;
class QPushButton;

class AlarmWindow : public QWidget
{
    Q_OBJECT
public:
    explicit AlarmWindow(QWidget* parent = nullptr);

    // Shows the balloon with title as the caption. A window already shown takes the new text
    // in place of the old one and comes to the front again.
    void showAlarm(const QString& title, const QString& text);

    QLabel* textLabel() const { return text_; }
    QPushButton* openButton() const { return open_; }

signals:
    // The user clicked the window or pressed Enter; the window has closed.
    void opened();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void open();

    QLabel* text_ = nullptr;
    QPushButton* open_ = nullptr;
};
