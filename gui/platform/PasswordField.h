#pragma once

// The masked password field of the password and login windows, with its bold caption.

#include <QRect>

class AnchorLayout;
class QLineEdit;
class QString;

// A field named name taking at most the longest password the program stores, every character
// shown as "*", with its caption to the left; both placed by the layout at the given
// rectangles.
QLineEdit* addPasswordField(AnchorLayout* layout, const QString& name, const QString& caption,
                            QRect captionRect, QRect fieldRect);
