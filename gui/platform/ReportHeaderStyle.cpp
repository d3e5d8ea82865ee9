#include "gui/platform/ReportHeaderStyle.h"

#include <QHeaderView>
#include <QStyleOptionHeader>

void ReportHeaderStyle::applyTo(QHeaderView* header)
{
    // Owned by the header's view when it has one, so that it outlives the header it draws.
    auto* style = new ReportHeaderStyle;
    style->setParent(header->parent() ? header->parent() : header);
    header->setStyle(style);
}

void ReportHeaderStyle::drawControl(ControlElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const
{
    const auto* header = qobject_cast<const QHeaderView*>(widget);
    const auto* sectionOption = qstyleoption_cast<const QStyleOptionHeader*>(option);
    if ((element == CE_Header || element == CE_HeaderSection) && header && sectionOption &&
        (sectionOption->position == QStyleOptionHeader::End ||
         sectionOption->position == QStyleOptionHeader::OnlyOneSection) &&
        header->length() - header->offset() < header->width()) {
        // With the empty header after it, the last column is drawn as an inner one, with the
        // divider that shows where it ends.
        QStyleOptionHeader inner = *sectionOption;
        inner.position = sectionOption->position == QStyleOptionHeader::End
                             ? QStyleOptionHeader::Middle
                             : QStyleOptionHeader::Beginning;
        QProxyStyle::drawControl(element, &inner, painter, widget);
        return;
    }
    if (element != CE_HeaderEmptyArea) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    QStyleOptionHeader section;
    static_cast<QStyleOption&>(section) = *option;
    section.orientation = option->state.testFlag(State_Horizontal) ? Qt::Horizontal : Qt::Vertical;
    section.position = QStyleOptionHeader::End;
    section.state |= State_Raised;
    QProxyStyle::drawControl(CE_HeaderSection, &section, painter, widget);
}
