#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

// The house look of the program's windows: a cream background and Tahoma 8 pt (the system
// substitutes a similar face when Tahoma is absent).
namespace look {

inline const QColor kCream{255, 251, 240};

inline const QString kEmojiFamily = QStringLiteral("Noto Color Emoji");

// Tahoma 8 pt, with faces of its width standing in and colour emoji as the last fallback.
QFont windowFont();
// The font and background for every window Qt makes itself (message boxes, menus).
void applyApplicationLook();
void applyWindowLook(QWidget* window);

} // namespace look
