#pragma once

// The parts the program's small dialogs are made of: a fixed-size cream frame centred on the
// screen, the sunken line above the buttons, the OK and Cancel buttons with their pictures, and
// the window-wide actions Zatwierdz (confirm, on Enter) and Zamknij (close, on Esc). Every part
// is placed by the dialog's AnchorLayout at a rectangle the dialog gives, so each dialog keeps
// its own pixel layout; the dialog connects the actions and buttons to its handlers.

#include "gui/platform/AnchorLayout.h"

#include <QKeySequence>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

class QAction;
class QDialog;
class QFrame;
class QIcon;
class QPushButton;

namespace fixed_dialog {

inline constexpr AnchorLayout::Edges kTopLeft = AnchorLayout::Left | AnchorLayout::Top;

// Names the dialog and gives it its caption, a frame with only a close box, the fixed client
// size, the house look and a place centred on the primary screen. Returns the layout the
// dialog's controls are placed by, designed at that size. With a font larger than designed
// (gui/platform/FontScale.h) the size and the layout grow by the same factor.
AnchorLayout* setUp(QDialog* dialog, const QString& name, const QString& caption, QSize clientSize);

// The horizontal sunken line "Bevel1" separating the buttons from the rest.
QFrame* addBevel(AnchorLayout* layout, QRect rect, AnchorLayout::Edges anchors = kTopLeft);

// A push button named name; a null icon gives a button with only its caption.
QPushButton* addButton(AnchorLayout* layout, const QString& name, const QIcon& icon,
                       const QString& caption, QRect rect, AnchorLayout::Edges anchors = kTopLeft);
// The button named "OK", with the green tick: the dialog's default button.
QPushButton* addOkButton(AnchorLayout* layout, QRect rect,
                         const QString& caption = QStringLiteral("&OK"),
                         AnchorLayout::Edges anchors = kTopLeft);
// The button named "Anuluj", with the red cross; it never becomes the default button, not even
// with the focus.
QPushButton* addCancelButton(AnchorLayout* layout, QRect rect,
                             const QString& caption = QStringLiteral("&Cancel"),
                             AnchorLayout::Edges anchors = kTopLeft);

// Zatwierdz on Return and Enter, whichever control of the window has the focus.
QAction* addConfirmAction(QDialog* dialog);
// Zamknij, by default on Esc alone, whichever control of the window has the focus. A window
// without a confirmation may close on Enter too.
QAction* addCloseAction(QDialog* dialog, const QString& text = QString(),
                        const QList<QKeySequence>& shortcuts = {QKeySequence(Qt::Key_Escape)});

} // namespace fixed_dialog
