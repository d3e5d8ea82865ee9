#pragma once

// The header of a report-style list: the strip to the right of the last column is drawn as
// one more, empty column header, so the header reaches the list's right edge however wide
// the window is, instead of stopping in a blank band.

#include <QProxyStyle>

class QHeaderView;

class ReportHeaderStyle : public QProxyStyle
{
public:
    // Gives the header this style, owned by the header's view.
    static void applyTo(QHeaderView* header);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
