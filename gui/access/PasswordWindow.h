#pragma once

// What the password and login windows share: a fixed-size cream dialog centred on the screen,
// with masked password fields, OK and Cancel buttons with pictures, and the actions Zatwierdz
// (Enter) and Zamknij (Esc).

#include <QRect>
#include <QSize>

class QAction;
class QDialog;
class QLineEdit;
class QPushButton;
class QString;
class AnchorLayout;

namespace password_window {

// Caption, frame (single border, close box only), size, look and the centred position.
void setUpDialog(QDialog* dialog, const QString& name, const QString& caption, QSize clientSize);

// A masked field of at most 20 characters with its bold label to the left.
QLineEdit* addPasswordField(AnchorLayout* layout, QDialog* dialog, const QString& name,
                            const QString& label, QRect labelRect, QRect fieldRect);

// The line above the buttons, across the dialog at height top.
void addBevel(AnchorLayout* layout, QDialog* dialog, int top, int width);

// "&OK" (the default button) and "&Cancel" at the given rectangles.
QPushButton* addOkButton(AnchorLayout* layout, QDialog* dialog, QRect rect);
QPushButton* addCancelButton(AnchorLayout* layout, QDialog* dialog, QRect rect);

// The window-wide actions: Zatwierdz on Return and Enter, Zamknij on Esc.
QAction* addConfirmAction(QDialog* dialog);
QAction* addCloseAction(QDialog* dialog);

} // namespace password_window
