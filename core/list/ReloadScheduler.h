#pragma once

// Runs a ReloadCoalescer for a note list: told of announced changes and of every reload of the
// list, it asks for a reload (reloadDue()) when the coalescer says so, waking at most once per
// decision and never while nothing is pending.
//
// Wiring: NoteChangeListener::changed() to changeAnnounced(); reloadDue() to the list's reload;
// the list calls reloadStarted() and reloadFinished() around every reload it does, the ones it
// does for its own saves and for being shown included.

#include "core/list/ReloadCoalescer.h"

#include <QObject>
#include <QTimer>

class ReloadScheduler : public QObject
{
    Q_OBJECT
public:
    explicit ReloadScheduler(QObject* parent = nullptr);

    void changeAnnounced();
    void reloadStarted();
    void reloadFinished();

Q_SIGNALS:
    void reloadDue();

private:
    void decide();

    ReloadCoalescer coalescer_;
    // A child, so that it follows the scheduler to another thread.
    QTimer timer_;
};
