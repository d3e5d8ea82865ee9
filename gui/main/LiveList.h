#pragma once

// Keeps the main window's note list up to date with the changes other programs commit: the
// listener (NoteChangeListener) hears them, the scheduler (ReloadScheduler) turns a burst of
// them into few reloads, and each reload is the window's own (RefreshNotes), so the search text
// and the selected note stay as they are. The scroll position is put back once the reload's
// rows are in.
//
// A reload waits while the window is hidden or a modal dialog is open: a dialog keeps showing
// what it opened with, and the note it works on stays selected behind it. The reload runs as
// soon as the dialog closes or the window is shown again.
//
// Every fill of the list counts as a reload for the scheduler (own saves, searches and the
// reloads done here), so an announced change that a fill already read costs nothing more.

#include <QObject>
#include <functional>

class NoteChangeListener;
class NoteListFill;
class QAbstractItemView;
class QEvent;
class QWidget;
class ReloadScheduler;
class TDM;

class LiveList : public QObject
{
    Q_OBJECT
public:
    // window is the window the list is in; reload starts a fill of the list as it is searched
    // now. Listening starts with start().
    LiveList(const TDM& dm, QWidget& window, NoteListFill& fill, QAbstractItemView& view,
             std::function<void()> reload, QObject* parent = nullptr);

    // Starts listening; when the database cannot be reached the listener tries again on its own.
    void start();
    // The program committed a change of a note that its list shows without being told.
    void ownChangeCommitted();

    NoteChangeListener* listener() const { return listener_; }
    ReloadScheduler* scheduler() const { return scheduler_; }
    // Whether a reload is waiting for the window to be shown or a dialog to close.
    bool isReloadHeld() const { return held_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reloadDue();
    bool mustHold() const;
    void releaseHeld();
    void putScrollBack();

    QWidget& window_;
    QAbstractItemView& view_;
    const std::function<void()> reload_;
    NoteChangeListener* listener_ = nullptr;
    ReloadScheduler* scheduler_ = nullptr;
    bool held_ = false;
    // The scroll position to put back while the rows of a reload done here come in; -1 when none.
    int scrollToKeep_ = -1;
};
