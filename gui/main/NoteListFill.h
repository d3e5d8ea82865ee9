#pragma once

// The fills of the main window's note list. Each fill is read by the list's worker thread
// (NoteListReader) and reaches the model in batches while it is read: the first batch replaces
// the rows of the previous fill, the others are appended as row insertions, so the first
// screenful shows within milliseconds even at 100,000 notes and the window never waits for the
// rest. A newer fill makes an older one stale; none of its rows reach the model after that.
//
// The note to select (the window's CurrentNoteId) is selected and scrolled into view when its
// row arrives. While a fill is under way busyChanged(true) has been emitted, so the window can
// show that the list is not yet whole; busyChanged(false) follows once it is complete or has
// failed. Commands that need the whole list wait for it with waitUntilComplete().

#include "core/list/NoteListReader.h"

#include <QObject>
#include <QTimer>
#include <functional>

class NoteListModel;
class QAbstractItemView;

class NoteListFill : public QObject
{
    Q_OBJECT
public:
    // How long the rows of the previous fill stay when the new one has found nothing yet (a
    // search that matches little may read for a second before its first row).
    static constexpr std::chrono::milliseconds kStaleRowsKept{100};

    // The worker reads the file the guard watches. While the guard reports the file lost, a
    // failed fill leaves the rows listed as they are: they are all the user has left.
    NoteListFill(std::shared_ptr<DatabaseFileGuard> file, NoteListModel& model,
                 QAbstractItemView& view, std::function<qint32()> currentNoteId,
                 QObject* parent = nullptr);

    // Starts a fill with the statements; a fill under way becomes stale.
    void start(sql::notes::ListStatements statements);
    // Whether the newest fill is complete: every row read is in the model.
    bool isComplete() const { return complete_; }
    // Whether the last complete fill read both statements without a failure.
    bool lastFillSucceeded() const { return succeeded_; }
    // Returns once the newest fill is complete, running the event loop meanwhile (without user
    // input), so the window keeps painting and the rows keep coming.
    void waitUntilComplete();
    // Returns once the newest fill has replaced the previous rows with its first ones, or is
    // complete.
    void waitForFirstRows();

    NoteListReader& worker() { return *reader_; }

signals:
    void busyChanged(bool busy);
    // After each batch was added to the model; rows is the number of rows listed now.
    void rowsShown(int rows);
    // After the last batch of the newest fill; ok when both statements succeeded.
    void finished(bool ok);

private:
    void take(NoteListReader::Batch&& batch);
    void dropStaleRows();
    void select(int row);
    qsizetype screenful() const;

    const std::shared_ptr<DatabaseFileGuard> file_;
    NoteListModel& model_;
    QAbstractItemView& view_;
    const std::function<qint32()> currentNoteId_;
    NoteListReader* reader_ = nullptr;
    QTimer staleRows_;
    bool complete_ = true;
    bool firstShown_ = true;
    bool succeeded_ = true;
};
