#pragma once

// The update and publicity checks, once per run a while after start-up: the maker's server is
// asked whether another version is out (the new-version notice opens when it is), then whether
// publicity is offered (the publicity window opens when it is). The checks run on the event
// loop, so the program never waits for the server.

#include "core/web/WebChecks.h"

#include <QObject>
#include <QPointer>
#include <chrono>

class QTimer;
class QWidget;
class TfUpdate;

class UpdateAndPublicitySchedule : public QObject
{
    Q_OBJECT
public:
    // owner (the main window) is the parent of the schedule and of the windows it opens; the
    // checks start delay after construction.
    UpdateAndPublicitySchedule(WebChecks::Options checks, std::chrono::milliseconds delay,
                               QWidget* owner);

    // The timer's tick: runs CheckUpdate, once.
    void tUpdateAndPublicityTimer();
    // Asks for the version file; once it is answered, CheckPublicity follows.
    void CheckUpdate();
    void CheckPublicity();
    void DeleteDownloadedFiles();
    // The program is quitting: answers still on their way open no window, and the downloaded
    // files are deleted.
    void quit();

    WebChecks* webChecks() const { return checks_; }
    QTimer* tUpdateAndPublicity = nullptr;
    // The new-version notice and the publicity window (TReklama) opened last.
    QPointer<TfUpdate> fUpdate;
    QPointer<QWidget> Reklama;

private:
    void updateChecked(bool otherVersion);
    void publicityChecked(bool offered);

    QWidget* owner_;
    WebChecks* checks_ = nullptr;
    bool quitting_ = false;
};
