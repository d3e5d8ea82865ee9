#include "core/notes/MemoText.h"

#include "core/text/CodePoints.h"
#include "core/text/ControlCharacters.h"

namespace memo_text {

QString toStored(const QString& rawText)
{
    QString stored = rawText;
    stored.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return stored;
}

int storedLength(QStringView text)
{
    int length = code_points::count(text);
    // A line break takes two characters, however the memo holds it: CR+LF is two code points
    // already; a lone CR, LF or paragraph separator becomes CR+LF.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        else if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator)
            ++length;
    }
    return length;
}

QString fitting(const QString& text, int room)
{
    return code_points::head(text, room,
                             [](QStringView character) { return storedLength(character); });
}

QString typed(const QString& text)
{
    return control_characters::dropped(text, control_characters::Keep::TabAndLineBreaks);
}

} // namespace memo_text
