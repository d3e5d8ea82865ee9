#include "gui/platform/CursorBlinkPause.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

namespace {

// The input that shows someone is at the machine. Focus changes and window activation are
// left out: they also come from programs, not only from a person.
bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}

} // namespace

CursorBlinkPause::CursorBlinkPause(std::chrono::milliseconds idleTimeout, QObject* parent)
    : QObject(parent)
{
    idle_.setSingleShot(true);
    idle_.setInterval(idleTimeout);
    connect(&idle_, &QTimer::timeout, this, &CursorBlinkPause::pause);
    QCoreApplication::instance()->installEventFilter(this);
    idle_.start();
}

CursorBlinkPause::~CursorBlinkPause()
{
    resume();
}

bool CursorBlinkPause::eventFilter(QObject* watched, QEvent* event)
{
    if (isUserInput(event->type())) {
        resume();
        // A single-shot timer that is restarted costs no wake-up until it runs out.
        idle_.start();
    }
    return QObject::eventFilter(watched, event);
}

void CursorBlinkPause::pause()
{
    QStyleHints* hints = QGuiApplication::styleHints();
    if (paused_ || hints->cursorFlashTime() == 0)
        return;
    flashTime_ = hints->cursorFlashTime();
    paused_ = true;
    hints->setCursorFlashTime(0);
    emit pausedChanged(true);
}

void CursorBlinkPause::resume()
{
    if (!paused_)
        return;
    paused_ = false;
    QGuiApplication::styleHints()->setCursorFlashTime(flashTime_);
    emit pausedChanged(false);
}
