#include "gui/notes/LimitedMemo.h"

#include "core/notes/MemoText.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

LimitedMemo::LimitedMemo(int maxLength, QWidget* parent)
    : QPlainTextEdit(parent), maxLength_(maxLength)
{}

QString LimitedMemo::storedText() const
{
    // The raw text keeps non-breaking spaces and line separators that toPlainText() rewrites.
    return memo_text::toStored(document()->toRawText());
}

void LimitedMemo::setStoredText(const QString& text)
{
    setPlainText(text);
}

int LimitedMemo::storedLength() const
{
    return memo_text::storedLength(document()->toRawText());
}

int LimitedMemo::room() const
{
    const int selected = memo_text::storedLength(textCursor().selectedText());
    return maxLength_ - storedLength() + selected;
}

void LimitedMemo::keyPressEvent(QKeyEvent* event)
{
    const bool lineBreak = event->matches(QKeySequence::InsertParagraphSeparator) ||
                           event->matches(QKeySequence::InsertLineSeparator);
    if (lineBreak) {
        // A refused Enter is still taken here: passed on, it would press the dialog's default
        // button.
        event->accept();
        if (room() < 2)
            return;
        // Shift+Enter would insert a line separator, which is not stored as CR+LF; every line
        // break of a note is a paragraph break.
        QKeyEvent plain(QEvent::KeyPress, event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        QStringLiteral("\r"));
        QPlainTextEdit::keyPressEvent(&plain);
        return;
    }
    const QString typed = event->text();
    const bool inserts =
        !typed.isEmpty() &&
        (typed.front().isPrint() || typed.front().isSurrogate() || typed.front() == u'\t');
    if (inserts && memo_text::storedLength(typed) > room()) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedMemo::insertFromMimeData(const QMimeData* source)
{
    if (!source->hasText())
        return;
    QMimeData fitted;
    fitted.setText(memo_text::fitting(memo_text::typed(source->text()), room()));
    if (fitted.text().isEmpty())
        return;
    QPlainTextEdit::insertFromMimeData(&fitted);
}

void LimitedMemo::inputMethodEvent(QInputMethodEvent* event)
{
    const QString commit = event->commitString();
    const QString fitted = memo_text::fitting(memo_text::typed(commit), room());
    if (fitted == commit) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(fitted, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&cut);
}
