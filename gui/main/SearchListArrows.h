#pragma once

// The arrow keys between the search box and the note list below it: Down in the search box
// goes to the list's first row and selects it, as a click on it would; Up on the list's first
// row goes back to the search box. Elsewhere the keys do what the controls make of them.

#include <QObject>

class QAbstractItemView;
class QLineEdit;

class SearchListArrows : public QObject
{
    Q_OBJECT
public:
    // Watches both controls; owned by parent.
    SearchListArrows(QLineEdit* search, QAbstractItemView* list, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* search_;
    QAbstractItemView* list_;
};
