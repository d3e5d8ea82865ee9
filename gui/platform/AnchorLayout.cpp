#include "gui/platform/AnchorLayout.h"

#include "gui/platform/FontScale.h"

#include <QWidget>
#include <QWidgetItem>

AnchorLayout::AnchorLayout(QWidget* container, QSize designSize, qreal scale)
    : QLayout(container), scale_(scale), designSize_(font_scale::scaled(designSize, scale))
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
    QRect rect = font_scale::scaled(designRect, scale_);
    // Scaled, a tight design may still come out a pixel or two short of what a control needs
    // to show its text (frames do not grow with the font); it gets that much more. At the
    // designed scale every rectangle stays as designed.
    if (scale_ > 1.0) {
        QSize least = widget->minimumSizeHint();
        // A control of one line (an edit field, a date, a button) takes its full height.
        if (widget->sizePolicy().verticalPolicy() == QSizePolicy::Fixed)
            least.setHeight(widget->sizeHint().height());
        rect.setSize(rect.size().expandedTo(least));
    }
    addPlaced(widget, rect, anchors);
}

void AnchorLayout::addWidgetAt(QWidget* widget, QPoint designTopLeft, Edges anchors)
{
    const QRect at = font_scale::scaled(QRect(designTopLeft, QSize()), scale_);
    addPlaced(widget, QRect(at.topLeft(), widget->sizeHint()), anchors);
}

void AnchorLayout::addWidgetFitted(QWidget* widget, QRect designRect, Edges anchors)
{
    QRect rect = font_scale::scaled(designRect, scale_);
    rect.setSize(rect.size().expandedTo(widget->sizeHint()));
    addPlaced(widget, rect, anchors);
}

void AnchorLayout::addPlaced(QWidget* widget, QRect rect, Edges anchors)
{
    addChildWidget(widget);
    entries_.append({new QWidgetItem(widget), rect, anchors});
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
