#include "gui/main/IsolatedTitleDelegate.h"

#include "core/text/Isolation.h"

QString IsolatedTitleDelegate::displayText(const QVariant& value, const QLocale& locale) const
{
    return isolation::isolated(QStyledItemDelegate::displayText(value, locale));
}
