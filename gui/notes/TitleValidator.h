#pragma once

// Holds the note editor's title field to the title's rules however text arrives: typed,
// pasted, dropped, composed by an input method or set. QLineEdit's own maximum length counts
// UTF-16 units and cuts an emoji in half; this counts characters as the database does and
// drops control characters. The field asks it after every change, with the changed text.

#include <QValidator>

class TitleValidator : public QValidator
{
    Q_OBJECT
public:
    explicit TitleValidator(QObject* parent = nullptr);

    int maxLength() const;

    State validate(QString& text, int& cursor) const override;

private:
    // The text as last accepted, against which the next change is measured.
    mutable QString accepted_;
};
