#include "gui/main/MainWindowWorkers.h"

#include "core/storage/DataModule.h"
#include "gui/main/BlinkGate.h"
#include "gui/platform/CursorBlinkPause.h"

#include <QWidget>

MainWindowWorkers::MainWindowWorkers(TDM& dm, QWidget& window, NoteListModel& model,
                                     const Settings& settings,
                                     TAlarmChecker::ShowBalloon showBalloon,
                                     std::function<void()> blink)
    : QObject(&window)
{
    if (settings.checkAlarms)
        alarmChecker_ = new TAlarmChecker(settings.checkAlarms, settings.alarmInterval, &window);
    else
        alarmChecker_ = new TAlarmChecker(dm.fileGuard(), settings.clock, std::move(showBalloon),
                                          settings.alarmInterval, &window);
    alarmChecker_->start();
    blinkingItems_ = new TBlinkingItems(std::move(blink), settings.blinkInterval, &window);
    // The beat runs only while a running alarm is listed and the window is shown.
    blinkingItems_->setActive(false);
    blinkingItems_->start();
    new BlinkGate(window, model, blinkingItems_, &window);
    // Shown with nobody at it, the window would still wake twice a second for the search
    // box's blinking cursor.
    new CursorBlinkPause(CursorBlinkPause::kIdleTimeout, &window);
}

void MainWindowWorkers::requestStop()
{
    if (alarmChecker_)
        alarmChecker_->requestStop();
    if (blinkingItems_)
        blinkingItems_->requestStop();
}

bool MainWindowWorkers::pauseAlarmChecker()
{
    if (!alarmChecker_ || alarmChecker_->isStopRequested())
        return false;
    return alarmChecker_->pause();
}

void MainWindowWorkers::resumeAlarmChecker()
{
    if (alarmChecker_ && !alarmChecker_->isStopRequested() && alarmChecker_->isPaused())
        alarmChecker_->resume();
}
