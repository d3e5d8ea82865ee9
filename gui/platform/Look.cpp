#include "gui/platform/Look.h"

#include <QFont>
#include <QPalette>
#include <QWidget>

namespace look {

void applyWindowLook(QWidget* window)
{
    // Tahoma is seldom installed on Linux; the usual replacement, DejaVu Sans, is so much wider
    // that texts laid out for Tahoma no longer fit. Faces of about Tahoma's width come first.
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans Condensed"),
                                    QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    window->setFont(font);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, kCream);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

} // namespace look
