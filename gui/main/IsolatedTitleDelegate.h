#pragma once

// Draws the note list's titles each isolated from the text around it, so bidirectional
// controls or right-to-left letters in one title reorder nothing outside it. The model keeps
// the titles as stored; only what is drawn is isolated.

#include <QStyledItemDelegate>

class IsolatedTitleDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant& value, const QLocale& locale) const override;
};
