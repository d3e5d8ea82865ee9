#pragma once

// The date and time pickers of the note editor. Tab and Shift+Tab leave a picker at once, as
// they leave every other control; its sections (year, month, day, hour, minute) are reached
// with the arrow keys. A plain Qt picker spends one Tab on each section first.

#include <QDateEdit>
#include <QTimeEdit>

class AlarmDateEdit : public QDateEdit
{
public:
    using QDateEdit::QDateEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

class AlarmTimeEdit : public QTimeEdit
{
public:
    using QTimeEdit::QTimeEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};
