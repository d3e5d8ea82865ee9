#include "gui/main/LiveList.h"

#include "core/list/ReloadScheduler.h"
#include "core/storage/NoteChangeListener.h"
#include "gui/main/NoteListFill.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <QWidget>

LiveList::LiveList(const TDM& dm, QWidget& window, NoteListFill& fill, QAbstractItemView& view,
                   std::function<void()> reload, QObject* parent)
    : QObject(parent), window_(window), view_(view), reload_(std::move(reload))
{
    listener_ = new NoteChangeListener(dm, this);
    scheduler_ = new ReloadScheduler(this);
    connect(listener_, &NoteChangeListener::changed, scheduler_, &ReloadScheduler::changeAnnounced);
    connect(scheduler_, &ReloadScheduler::reloadDue, this, &LiveList::reloadDue);
    // busyChanged(true) comes once when a fill starts on a complete list, false once the newest
    // fill is complete: a fill that replaces one under way joins its reload.
    connect(&fill, &NoteListFill::busyChanged, this, [this](bool busy) {
        if (busy)
            scheduler_->reloadStarted();
        else
            scheduler_->reloadFinished();
    });
    connect(&fill, &NoteListFill::rowsShown, this, &LiveList::putScrollBack);
    connect(&fill, &NoteListFill::finished, this, [this] {
        putScrollBack();
        scrollToKeep_ = -1;
    });
    // Showing the window and closing a modal dialog over it end a hold.
    window_.installEventFilter(this);
}

void LiveList::start()
{
    listener_->start();
}

void LiveList::ownChangeCommitted()
{
    listener_->expectOwnChanges(1);
}

bool LiveList::mustHold() const
{
    return !window_.isVisible() || QApplication::activeModalWidget() != nullptr;
}

void LiveList::reloadDue()
{
    if (mustHold()) {
        held_ = true;
        return;
    }
    held_ = false;
    scrollToKeep_ = view_.verticalScrollBar()->value();
    reload_();
}

void LiveList::releaseHeld()
{
    if (held_)
        reloadDue();
}

bool LiveList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && held_ &&
        (event->type() == QEvent::Show || event->type() == QEvent::WindowUnblocked)) {
        // Queued: the dialog is gone from the modal stack and the window is whole by then.
        QMetaObject::invokeMethod(this, &LiveList::releaseHeld, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void LiveList::putScrollBack()
{
    if (scrollToKeep_ < 0)
        return;
    QScrollBar* bar = view_.verticalScrollBar();
    bar->setValue(std::min(scrollToKeep_, bar->maximum()));
}
