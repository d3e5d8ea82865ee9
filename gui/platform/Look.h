#pragma once

#include <QColor>

class QWidget;

// The house look of the program's windows: a cream background and Tahoma 8 pt (the system
// substitutes a similar face when Tahoma is absent).
namespace look {

inline const QColor kCream{255, 251, 240};

void applyWindowLook(QWidget* window);

} // namespace look
