#include "gui/platform/AnchorLayout.h"

#include <QWidget>
#include <QWidgetItem>

AnchorLayout::AnchorLayout(QWidget* container, QSize designSize)
    : QLayout(container), designSize_(designSize)
{
    setContentsMargins(0, 0, 0, 0);
}

AnchorLayout::~AnchorLayout()
{
    for (const Entry& e : entries_)
        delete e.item;
}

void AnchorLayout::addWidget(QWidget* widget, QRect designRect, Edges anchors)
{
    addChildWidget(widget);
    entries_.append({new QWidgetItem(widget), designRect, anchors});
    invalidate();
}

QRect AnchorLayout::place(QRect design, Edges anchors, QSize designSize, QSize actualSize)
{
    const int dw = actualSize.width() - designSize.width();
    const int dh = actualSize.height() - designSize.height();
    int left = design.left();
    int width = design.width();
    if (anchors.testFlag(Right)) {
        if (anchors.testFlag(Left))
            width += dw;
        else
            left += dw;
    }
    int top = design.top();
    int height = design.height();
    if (anchors.testFlag(Bottom)) {
        if (anchors.testFlag(Top))
            height += dh;
        else
            top += dh;
    }
    return QRect(left, top, qMax(0, width), qMax(0, height));
}

void AnchorLayout::addItem(QLayoutItem* item)
{
    entries_.append({item, QRect(), Edges(Left | Top)});
}

QLayoutItem* AnchorLayout::itemAt(int index) const
{
    return index >= 0 && index < entries_.size() ? entries_[index].item : nullptr;
}

QLayoutItem* AnchorLayout::takeAt(int index)
{
    if (index < 0 || index >= entries_.size())
        return nullptr;
    return entries_.takeAt(index).item;
}

int AnchorLayout::count() const
{
    return int(entries_.size());
}

QSize AnchorLayout::sizeHint() const
{
    return designSize_;
}

QSize AnchorLayout::minimumSize() const
{
    return QSize(0, 0);
}

void AnchorLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    for (const Entry& e : entries_) {
        QRect design = e.design;
        if (!design.isValid())
            design = QRect(QPoint(0, 0), e.item->sizeHint());
        e.item->setGeometry(
            place(design, e.anchors, designSize_, rect.size()).translated(rect.topLeft()));
    }
}
