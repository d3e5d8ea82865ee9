#pragma once

// The view of the note list: a tree view showing a flat list of equally high rows.
//
// The blinking icons change twice a second. QTreeView finds the layout entry of a changed
// row by searching its whole layout from the row it looked up last, and from there it always
// misses the top rows once: with 100,000 notes every beat would cost a walk over all of them.
// For changes of the icon alone this view repaints the cells straight from the row numbers.
//
// The keyboard never leaves a row current without selecting it: the list selects its current
// row when it gets the focus with nothing selected, and a key that moves to a row (Home, End,
// the page keys, the arrows) selects the row it lands on, also when that row was current
// already. The focus frame is drawn around the whole row.
//
// Like a report-style list, the header and each row's background reach the right edge of the
// view when the columns end before it.

#include <QTreeView>

class NoteListView : public QTreeView
{
    Q_OBJECT
public:
    explicit NoteListView(QWidget* parent = nullptr);

private:
    // Selects the current row (the first one when none is current) unless a row is selected.
    void selectCurrentRowIfNoneSelected();

public:
protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
};
