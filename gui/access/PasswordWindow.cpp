#include "gui/access/PasswordWindow.h"

#include "core/access/PasswordRules.h"
#include "gui/platform/AnchorLayout.h"
#include "gui/platform/Icons.h"
#include "gui/platform/Look.h"

#include <QAction>
#include <QDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace password_window {

void setUpDialog(QDialog* dialog, const QString& name, const QString& caption, QSize clientSize)
{
    dialog->setObjectName(name);
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    dialog->setFixedSize(clientSize);
    look::applyWindowLook(dialog);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), clientSize);
        frame.moveCenter(screen->availableGeometry().center());
        dialog->move(frame.topLeft());
    }
}

QLineEdit* addPasswordField(AnchorLayout* layout, QDialog* dialog, const QString& name,
                            const QString& label, QRect labelRect, QRect fieldRect)
{
    auto* caption = new QLabel(label, dialog);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(caption, labelRect);

    auto* field = new QLineEdit(dialog);
    field->setObjectName(name);
    field->setMaxLength(access_password::kMaxPasswordLength);
    // Every character shows as "*", as the program has always masked it.
    field->setEchoMode(QLineEdit::Password);
    field->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    caption->setBuddy(field);
    layout->addWidget(field, fieldRect);
    return field;
}

void addBevel(AnchorLayout* layout, QDialog* dialog, int top, int width)
{
    auto* bevel = new QFrame(dialog);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    layout->addWidget(bevel, QRect(4, top, width - 8, 2));
}

QPushButton* addOkButton(AnchorLayout* layout, QDialog* dialog, QRect rect)
{
    auto* button = new QPushButton(icons::okMark(), QStringLiteral("&OK"), dialog);
    button->setObjectName(QStringLiteral("OK"));
    button->setDefault(true);
    layout->addWidget(button, rect);
    return button;
}

QPushButton* addCancelButton(AnchorLayout* layout, QDialog* dialog, QRect rect)
{
    auto* button = new QPushButton(icons::cancelMark(), QStringLiteral("&Cancel"), dialog);
    button->setObjectName(QStringLiteral("Anuluj"));
    button->setAutoDefault(false);
    layout->addWidget(button, rect);
    return button;
}

QAction* addConfirmAction(QDialog* dialog)
{
    auto* action = new QAction(dialog);
    action->setObjectName(QStringLiteral("Zatwierdz"));
    action->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    action->setShortcutContext(Qt::WindowShortcut);
    dialog->addAction(action);
    return action;
}

QAction* addCloseAction(QDialog* dialog)
{
    auto* action = new QAction(dialog);
    action->setObjectName(QStringLiteral("Zamknij"));
    action->setShortcut(Qt::Key_Escape);
    action->setShortcutContext(Qt::WindowShortcut);
    dialog->addAction(action);
    return action;
}

} // namespace password_window
