#include "core/notes/MemoText.h"

namespace memo_text {
namespace {

constexpr QChar kCR = u'\r';
constexpr QChar kLF = u'\n';

// Length in UTF-16 units and stored weight of the unit that starts at index i.
struct Unit
{
    qsizetype size;
    int weight;
};

Unit unitAt(const QString& text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c == kCR && i + 1 < text.size() && text.at(i + 1) == kLF)
        return {2, 2};
    if (c == kCR || c == kLF || c == QChar::ParagraphSeparator)
        return {1, 2};
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return {2, 2};
    return {1, 1};
}

} // namespace

QString toStored(const QString& rawText)
{
    QString stored = rawText;
    stored.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return stored;
}

int storedLength(const QString& text)
{
    int length = 0;
    for (qsizetype i = 0; i < text.size();) {
        const Unit unit = unitAt(text, i);
        length += unit.weight;
        i += unit.size;
    }
    return length;
}

QString fitting(const QString& text, int room)
{
    int used = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const Unit unit = unitAt(text, i);
        if (used + unit.weight > room)
            break;
        used += unit.weight;
        i += unit.size;
    }
    return text.left(i);
}

} // namespace memo_text
