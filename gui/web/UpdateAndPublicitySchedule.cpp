#include "gui/web/UpdateAndPublicitySchedule.h"

#include "core/web/WebAddresses.h"
#include "gui/web/BrowserEngine.h"
#include "gui/web/PublicityLoader.h"
#include "gui/web/Update.h"

#include <QTimer>

UpdateAndPublicitySchedule::UpdateAndPublicitySchedule(WebChecks::Options checks,
                                                       std::chrono::milliseconds delay,
                                                       QWidget* owner)
    : QObject(owner), owner_(owner)
{
    checks_ = new WebChecks(std::move(checks), this);
    connect(checks_, &WebChecks::updateChecked, this, &UpdateAndPublicitySchedule::updateChecked);
    connect(checks_, &WebChecks::publicityChecked, this,
            &UpdateAndPublicitySchedule::publicityChecked);

    tUpdateAndPublicity = new QTimer(this);
    tUpdateAndPublicity->setObjectName(QStringLiteral("tUpdateAndPublicity"));
    tUpdateAndPublicity->setInterval(delay);
    connect(tUpdateAndPublicity, &QTimer::timeout, this,
            &UpdateAndPublicitySchedule::tUpdateAndPublicityTimer);
    tUpdateAndPublicity->start();
}

void UpdateAndPublicitySchedule::tUpdateAndPublicityTimer()
{
    // Nothing starts the timer again: the checks run once per run.
    tUpdateAndPublicity->stop();
    CheckUpdate();
}

void UpdateAndPublicitySchedule::CheckUpdate()
{
    checks_->checkUpdate();
}

void UpdateAndPublicitySchedule::CheckPublicity()
{
    checks_->checkPublicity();
}

void UpdateAndPublicitySchedule::DeleteDownloadedFiles()
{
    checks_->deleteDownloadedFiles();
}

void UpdateAndPublicitySchedule::quit()
{
    quitting_ = true;
    DeleteDownloadedFiles();
}

void UpdateAndPublicitySchedule::updateChecked(bool otherVersion)
{
    if (otherVersion && !quitting_) {
        fUpdate = new TfUpdate(web::productSiteUrl(checks_->options().server), owner_);
        fUpdate->show();
    }
    CheckPublicity();
}

void UpdateAndPublicitySchedule::publicityChecked(bool offered)
{
    // Where the browser engine cannot start, it would end the program: no window then.
    if (!offered || quitting_ || !browser_engine::canStart(browser_engine::currentConditions()))
        return;
    web::GetLimits probeLimits;
    probeLimits.timeLimit = checks_->options().timeLimit;
    Reklama = publicity_loader::createWindow(web::publicityPageUrl(checks_->options().server),
                                             probeLimits, owner_);
    if (!Reklama)
        return;
    Reklama->show();
    Reklama->raise();
    Reklama->activateWindow();
}
