#include "gui/main/NoteListView.h"

#include "gui/main/NoteListModel.h"

#include <QHeaderView>

NoteListView::NoteListView(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
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
