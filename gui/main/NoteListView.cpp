#include "gui/main/NoteListView.h"

#include "gui/main/NoteListModel.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>

NoteListView::NoteListView(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
}

void NoteListView::selectCurrentRowIfNoneSelected()
{
    if (!model() || !selectionModel() || model()->rowCount() == 0 ||
        selectionModel()->hasSelection())
        return;
    QModelIndex current = currentIndex();
    if (!current.isValid())
        current = model()->index(0, 0);
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect |
                                                   QItemSelectionModel::Rows);
}

void NoteListView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    if (event->reason() != Qt::MouseFocusReason)
        selectCurrentRowIfNoneSelected();
}

void NoteListView::keyPressEvent(QKeyEvent* event)
{
    QTreeView::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            const QModelIndex current = currentIndex();
            if (current.isValid() && !selectionModel()->isRowSelected(current.row(), QModelIndex()))
                selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect |
                                                               QItemSelectionModel::Rows);
        }
        break;
    default:
        break;
    }
}

void NoteListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                               const QList<int>& roles)
{
    const bool iconOnly = !roles.isEmpty() && std::all_of(roles.begin(), roles.end(), [](int role) {
        return role == Qt::DecorationRole || role == NoteListModel::ImageIndexRole;
    });
    if (!iconOnly || !topLeft.isValid() || topLeft.parent().isValid()) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    // Rows are flat and equally high, so a row's place follows from its number.
    const int height = indexRowSizeHint(topLeft);
    const int top = topLeft.row() * height - verticalOffset();
    const int rows = bottomRight.row() - topLeft.row() + 1;
    const int left = header()->sectionViewportPosition(topLeft.column());
    const int right = header()->sectionViewportPosition(bottomRight.column()) +
                      header()->sectionSize(bottomRight.column());
    viewport()->update(QRect(left, top, right - left, rows * height));
}
