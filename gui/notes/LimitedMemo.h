#pragma once

// The note editor's message memo: plain text whose stored form (line breaks as CR+LF) may not
// exceed a number of characters, counted as the database counts them. Typing, pasting,
// dropping and input-method text beyond the limit are refused or cut to what still fits, so
// the limit holds however text arrives; control characters other than tab and line breaks
// are dropped from pasted, dropped and composed text (keys never insert them).

#include <QPlainTextEdit>

class LimitedMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit LimitedMemo(int maxLength, QWidget* parent = nullptr);

    // The text as stored: line breaks as CR+LF, every other character as typed.
    QString storedText() const;
    // Shows a stored text; CR+LF, lone CR and lone LF all become line breaks. A text longer
    // than the limit is shown whole; only further input is refused.
    void setStoredText(const QString& text);
    // Characters the text takes once stored.
    int storedLength() const;
    int maxLength() const { return maxLength_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Characters still free once the current selection, which new text replaces, is gone.
    int room() const;

    int maxLength_;
};
