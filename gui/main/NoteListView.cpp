#include "gui/main/NoteListView.h"

#include "gui/main/IsolatedTitleDelegate.h"
#include "gui/main/NoteListModel.h"
#include "gui/platform/ReportHeaderStyle.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

NoteListView::NoteListView(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    ReportHeaderStyle::applyTo(header());
    // The first column holds the titles.
    setItemDelegateForColumn(0, new IsolatedTitleDelegate(this));
}

void NoteListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const
{
    QTreeView::drawRow(painter, option, index);
    const int columnsEnd = header()->length() - header()->offset();
    const int viewEnd = viewport()->width();
    if (columnsEnd >= viewEnd)
        return;
    // The rest of the row is drawn as one more, empty cell of the row: its background, or the
    // selection's colour.
    QStyleOptionViewItem filler = option;
    filler.rect = QRect(columnsEnd, option.rect.top(), viewEnd - columnsEnd, option.rect.height());
    filler.index = index.siblingAtColumn(0);
    filler.backgroundBrush = filler.index.data(Qt::BackgroundRole).value<QBrush>();
    filler.features = QStyleOptionViewItem::None;
    filler.text.clear();
    filler.icon = QIcon();
    if (selectionModel() && selectionModel()->isRowSelected(index.row(), index.parent()))
        filler.state |= QStyle::State_Selected;
    filler.palette.setCurrentColorGroup(!isEnabled() ? QPalette::Disabled
                                        : filler.state.testFlag(QStyle::State_Active)
                                            ? QPalette::Active
                                            : QPalette::Inactive);
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &filler, painter, this);
    style()->drawControl(QStyle::CE_ItemViewItem, &filler, painter, this);
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
