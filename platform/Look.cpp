#include "platform/Look.h"

#include <QFont>
#include <QPalette>
#include <QWidget>

namespace look {

void applyWindowLook(QWidget* window)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    window->setFont(font);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, kCream);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

} // namespace look
