#include "gui/platform/Look.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QWidget>

namespace look {

QFont windowFont()
{
    // Tahoma is seldom installed on Linux; the usual replacement, DejaVu Sans, is so much wider
    // that texts laid out for Tahoma no longer fit. Faces of about Tahoma's width come first;
    // the colour emoji face last, for the emoji users put in titles.
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans Condensed"),
                                    QStringLiteral("DejaVu Sans"), kEmojiFamily});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    return font;
}

void applyApplicationLook()
{
    // Message boxes and menus are made by Qt; they take the application's font and colours,
    // so they look like the program's own windows.
    QApplication::setFont(windowFont());
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, kCream);
    QApplication::setPalette(palette);
}

void applyWindowLook(QWidget* window)
{
    window->setFont(windowFont());
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, kCream);
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

} // namespace look
