#include "core/alarms/AlarmChecker.h"

#include "core/storage/DataModule.h"

TAlarmChecker::TAlarmChecker(std::shared_ptr<DatabaseFileGuard> guard, AlarmClock clock,
                             ShowBalloon showBalloon, std::chrono::milliseconds interval,
                             QObject* parent)
    : PeriodicWorker(
          interval, [this](PeriodicWorker& self) { checkAlarms(self); }, parent),
      guard_(std::move(guard)), clock_(std::move(clock)), showBalloon_(std::move(showBalloon))
{
    setObjectName(QStringLiteral("AlarmChecker"));
}

TAlarmChecker::TAlarmChecker(Pass checkAlarms, std::chrono::milliseconds interval, QObject* parent)
    : PeriodicWorker(interval, std::move(checkAlarms), parent)
{
    setObjectName(QStringLiteral("AlarmChecker"));
}

TAlarmChecker::~TAlarmChecker()
{
    requestStop();
}

void TAlarmChecker::run()
{
    if (!guard_) {
        PeriodicWorker::run();
        return;
    }
    // Made here so that it lives and dies on this thread; it connects at its first use.
    TDM dm(guard_);
    dm_ = &dm;
    PeriodicWorker::run();
    dm_ = nullptr;
}

void TAlarmChecker::checkAlarms(PeriodicWorker& self)
{
    CheckAlarms(
        *dm_, clock_,
        [&](const AlarmBalloon& balloon) { return self.handOff([&] { showBalloon_(balloon); }); },
        [&] { return self.isStopRequested() || self.isPaused(); });
}
