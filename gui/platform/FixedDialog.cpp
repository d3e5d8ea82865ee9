#include "gui/platform/FixedDialog.h"

#include "gui/platform/FontScale.h"
#include "gui/platform/Icons.h"
#include "gui/platform/Look.h"

#include <QAction>
#include <QDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QPushButton>
#include <QScreen>

namespace {

// A window-wide action: its shortcuts work from every control of the dialog, and reach it
// before the dialog's own handling of Enter and Esc (pressing the default button, reject).
QAction* addWindowAction(QDialog* dialog, const QString& name, const QString& text,
                         const QList<QKeySequence>& shortcuts)
{
    auto* action = new QAction(text, dialog);
    action->setObjectName(name);
    action->setShortcuts(shortcuts);
    action->setShortcutContext(Qt::WindowShortcut);
    dialog->addAction(action);
    return action;
}

} // namespace

namespace fixed_dialog {

AnchorLayout* setUp(QDialog* dialog, const QString& name, const QString& caption, QSize clientSize)
{
    dialog->setObjectName(name);
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    look::applyWindowLook(dialog);
    // A larger font than designed makes the window and everything in it larger alike.
    auto* layout = new AnchorLayout(dialog, clientSize, font_scale::factor(dialog));
    const QSize size = layout->scaledDesignSize();
    dialog->setFixedSize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size);
        frame.moveCenter(screen->availableGeometry().center());
        dialog->move(frame.topLeft());
    }
    return layout;
}

QFrame* addBevel(AnchorLayout* layout, QRect rect, AnchorLayout::Edges anchors)
{
    auto* bevel = new QFrame(layout->parentWidget());
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    layout->addWidget(bevel, rect, anchors);
    return bevel;
}

QPushButton* addButton(AnchorLayout* layout, const QString& name, const QIcon& icon,
                       const QString& caption, QRect rect, AnchorLayout::Edges anchors)
{
    auto* button = new QPushButton(icon, caption, layout->parentWidget());
    button->setObjectName(name);
    layout->addWidget(button, rect, anchors);
    return button;
}

QPushButton* addOkButton(AnchorLayout* layout, QRect rect, const QString& caption,
                         AnchorLayout::Edges anchors)
{
    QPushButton* button =
        addButton(layout, QStringLiteral("OK"), icons::okMark(), caption, rect, anchors);
    button->setDefault(true);
    return button;
}

QPushButton* addCancelButton(AnchorLayout* layout, QRect rect, const QString& caption,
                             AnchorLayout::Edges anchors)
{
    QPushButton* button =
        addButton(layout, QStringLiteral("Anuluj"), icons::cancelMark(), caption, rect, anchors);
    button->setAutoDefault(false);
    return button;
}

QAction* addConfirmAction(QDialog* dialog)
{
    return addWindowAction(dialog, QStringLiteral("Zatwierdz"), QString(),
                           {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
}

QAction* addCloseAction(QDialog* dialog, const QString& text, const QList<QKeySequence>& shortcuts)
{
    return addWindowAction(dialog, QStringLiteral("Zamknij"), text, shortcuts);
}

} // namespace fixed_dialog
