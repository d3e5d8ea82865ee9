#include "gui/notes/TitleValidator.h"

#include "core/notes/TitleText.h"

TitleValidator::TitleValidator(QObject* parent) : QValidator(parent) {}

int TitleValidator::maxLength() const
{
    return title_text::kMaxLength;
}

QValidator::State TitleValidator::validate(QString& text, int& cursor) const
{
    const code_points::Edit edit = title_text::edited(accepted_, text, cursor);
    text = edit.text;
    cursor = int(edit.cursor);
    accepted_ = text;
    return Acceptable;
}
