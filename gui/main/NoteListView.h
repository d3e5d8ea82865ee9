#pragma once

// The view of the note list: a tree view showing a flat list of equally high rows.
//
// The blinking icons change twice a second. QTreeView finds the layout entry of a changed
// row by searching its whole layout from the row it looked up last, and from there it always
// misses the top rows once: with 100,000 notes every beat would cost a walk over all of them.
// For changes of the icon alone this view repaints the cells straight from the row numbers.

#include <QTreeView>

class NoteListView : public QTreeView
{
    Q_OBJECT
public:
    explicit NoteListView(QWidget* parent = nullptr);

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
};
