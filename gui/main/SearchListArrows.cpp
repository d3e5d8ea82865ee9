#include "gui/main/SearchListArrows.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

// The arrow alone: with Shift or Ctrl it keeps its usual meaning in either control.
bool isPlainKey(const QKeyEvent* key, int which)
{
    return key->key() == which &&
           (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier);
}

} // namespace

SearchListArrows::SearchListArrows(QLineEdit* search, QAbstractItemView* list, QObject* parent)
    : QObject(parent), search_(search), list_(list)
{
    search_->installEventFilter(this);
    list_->installEventFilter(this);
}

bool SearchListArrows::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    QAbstractItemModel* model = list_->model();
    if (!model || model->rowCount() == 0)
        return false;
    if (watched == search_ && isPlainKey(key, Qt::Key_Down)) {
        list_->selectionModel()->setCurrentIndex(
            model->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        list_->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (watched == list_ && isPlainKey(key, Qt::Key_Up) && list_->currentIndex().row() == 0) {
        search_->setFocus(Qt::BacktabFocusReason);
        return true;
    }
    return false;
}
