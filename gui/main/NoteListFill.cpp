#include "gui/main/NoteListFill.h"

#include "core/storage/DatabaseFileGuard.h"
#include "gui/main/NoteListModel.h"

#include <QAbstractItemView>
#include <QEventLoop>
#include <QItemSelectionModel>

NoteListFill::NoteListFill(std::shared_ptr<DatabaseFileGuard> file, NoteListModel& model,
                           QAbstractItemView& view, std::function<qint32()> currentNoteId,
                           QObject* parent)
    : QObject(parent), file_(file), model_(model), view_(view),
      currentNoteId_(std::move(currentNoteId))
{
    // The list is the main window's: its failed fills are reported in the window's name.
    reader_ = new NoteListReader(
        std::move(file), QStringLiteral("FormMain"),
        [this](NoteListReader::Batch&& batch) { take(std::move(batch)); }, this);
    staleRows_.setSingleShot(true);
    staleRows_.setInterval(kStaleRowsKept);
    connect(&staleRows_, &QTimer::timeout, this, &NoteListFill::dropStaleRows);
}

void NoteListFill::start(sql::notes::ListStatements statements)
{
    const bool wasComplete = complete_;
    complete_ = false;
    firstShown_ = false;
    reader_->request(std::move(statements), screenful());
    staleRows_.start();
    if (wasComplete)
        emit busyChanged(true);
}

qsizetype NoteListFill::screenful() const
{
    // Rows are at least a line of text high, so this is never less than the list shows.
    const int line = std::max(1, view_.fontMetrics().height());
    return std::max<qsizetype>(NoteListReader::kScreenful, view_.viewport()->height() / line + 1);
}

void NoteListFill::take(NoteListReader::Batch&& batch)
{
    const qint32 current = currentNoteId_();
    const qsizetype found = batch.rows.indexOf(current);
    int base = 0;
    const bool keepListed = !batch.ok && batch.rows.isEmpty() && file_->isLost();
    if (batch.first && keepListed) {
        staleRows_.stop();
        firstShown_ = true;
    } else if (batch.first) {
        staleRows_.stop();
        firstShown_ = true;
        // Resetting drops the selection without a notification; the selection below notifies
        // like a click.
        model_.setRows(std::move(batch.rows));
    } else {
        base = model_.rowCount();
        model_.appendRows(batch.rows);
    }
    if (found >= 0)
        select(base + int(found));
    emit rowsShown(model_.rowCount());
    if (batch.last) {
        model_.squeeze();
        complete_ = true;
        succeeded_ = batch.ok;
        emit busyChanged(false);
        emit finished(batch.ok);
    }
}

void NoteListFill::dropStaleRows()
{
    if (!firstShown_ && !file_->isLost())
        model_.setRows({});
}

void NoteListFill::select(int row)
{
    const QModelIndex index = model_.index(row, 0);
    view_.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                       QItemSelectionModel::Rows);
    view_.scrollTo(index);
}

void NoteListFill::waitUntilComplete()
{
    if (complete_)
        return;
    QEventLoop loop;
    connect(this, &NoteListFill::finished, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void NoteListFill::waitForFirstRows()
{
    if (firstShown_ || complete_)
        return;
    QEventLoop loop;
    connect(this, &NoteListFill::rowsShown, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
