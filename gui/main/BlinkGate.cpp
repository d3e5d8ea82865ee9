#include "gui/main/BlinkGate.h"

#include "core/alarms/PeriodicWorker.h"
#include "gui/main/NoteListModel.h"

#include <QEvent>
#include <QWidget>

BlinkGate::BlinkGate(QWidget& window, NoteListModel& model, PeriodicWorker* blinking,
                     QObject* parent)
    : QObject(parent), window_(window), model_(model), blinking_(blinking)
{
    window_.installEventFilter(this);
    // Running alarms arrive with the first rows of a fill, at the top.
    connect(&model_, &QAbstractItemModel::modelReset, this, &BlinkGate::update);
    connect(&model_, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first) {
                if (first == 0)
                    update();
            });
    update();
}

void BlinkGate::update()
{
    if (!blinking_)
        return;
    const bool shown = window_.isVisible() && !window_.isMinimized();
    blinking_->setActive(shown && model_.hasRunningAlarmOnTop());
}

bool BlinkGate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            update();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
