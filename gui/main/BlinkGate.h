#pragma once

// Lets the blinking thread beat only while there is something to see: the note list holds a
// running alarm (always at the top) and the window is shown, neither hidden nor minimised.
// Otherwise the thread sleeps without waking, so a program idle in the tray costs nothing.
// When an alarm appears or the window is shown again, the first beat follows within one
// interval.

#include <QObject>
#include <QPointer>

class NoteListModel;
class PeriodicWorker;
class QWidget;

class BlinkGate : public QObject
{
    Q_OBJECT
public:
    BlinkGate(QWidget& window, NoteListModel& model, PeriodicWorker* blinking,
              QObject* parent = nullptr);

    // Sets the thread active or inactive from the window and the list as they are now.
    void update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& window_;
    NoteListModel& model_;
    QPointer<PeriodicWorker> blinking_;
};
