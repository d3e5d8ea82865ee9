#include "gui/platform/PasswordField.h"

#include "core/access/PasswordRules.h"
#include "gui/platform/AnchorLayout.h"

#include <QLabel>
#include <QLineEdit>

QLineEdit* addPasswordField(AnchorLayout* layout, const QString& name, const QString& caption,
                            QRect captionRect, QRect fieldRect)
{
    QWidget* window = layout->parentWidget();
    auto* label = new QLabel(caption, window);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(label, captionRect);

    auto* field = new QLineEdit(window);
    field->setObjectName(name);
    field->setMaxLength(access_password::kMaxPasswordLength);
    // Every character shows as "*", as the program has always masked it.
    field->setEchoMode(QLineEdit::Password);
    field->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    label->setBuddy(field);
    layout->addWidget(field, fieldRect);
    return field;
}
