#pragma once

// Places child widgets at fixed design rectangles and keeps chosen edges at their design
// distance from the container's edges when it is resized: a widget anchored left and right
// stretches, one anchored right and bottom moves with the bottom-right corner.

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

    AnchorLayout(QWidget* container, QSize designSize);
    ~AnchorLayout() override;

    void addWidget(QWidget* widget, QRect designRect, Edges anchors = Edges(Left | Top));

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
    QSize designSize_;
    QList<Entry> entries_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(AnchorLayout::Edges)
