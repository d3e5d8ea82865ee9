#pragma once

// Places child widgets at fixed design rectangles and keeps chosen edges at their design
// distance from the container's edges when it is resized: a widget anchored left and right
// stretches, one anchored right and bottom moves with the bottom-right corner. The design is
// drawn at a scale (gui/platform/FontScale.h): 1 keeps every designed pixel, a larger one lets
// the layout grow with a larger font.

#include <QLayout>
#include <QList>
#include <QRect>
#include <QSize>

class AnchorLayout : public QLayout
{
public:
    enum Edge
    {
        Left = 1,
        Top = 2,
        Right = 4,
        Bottom = 8
    };
    Q_DECLARE_FLAGS(Edges, Edge)

    AnchorLayout(QWidget* container, QSize designSize, qreal scale = 1.0);
    ~AnchorLayout() override;

    // The container's size the design was drawn for, at the layout's scale.
    QSize scaledDesignSize() const { return designSize_; }
    qreal scale() const { return scale_; }

    void addWidget(QWidget* widget, QRect designRect, Edges anchors = Edges(Left | Top));
    // At a design position, in the size the widget asks for now (its size hint, which follows
    // its font and text).
    void addWidgetAt(QWidget* widget, QPoint designTopLeft, Edges anchors = Edges(Left | Top));
    // The design rectangle, grown to the size the widget asks for now where that is larger.
    void addWidgetFitted(QWidget* widget, QRect designRect, Edges anchors = Edges(Left | Top));

    // The rectangle for a design rectangle in a container of the given size.
    static QRect place(QRect design, Edges anchors, QSize designSize, QSize actualSize);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    struct Entry
    {
        QLayoutItem* item;
        QRect design;
        Edges anchors;
    };
    void addPlaced(QWidget* widget, QRect rect, Edges anchors);

    qreal scale_;
    QSize designSize_; // at the scale, as every entry's rectangle
    QList<Entry> entries_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(AnchorLayout::Edges)
