#include "core/text/CodePoints.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace code_points {

int count(QStringView text)
{
    int points = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        ++points;
    }
    return points;
}

QString head(const QString& text, int room, const Weight& weight)
{
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    int used = 0;
    while (end < text.size()) {
        qsizetype next = characters.toNextBoundary();
        if (next <= end)
            next = text.size();
        const QStringView character = QStringView(text).mid(end, next - end);
        const int size = weight ? weight(character) : count(character);
        if (used + size > room)
            break;
        used += size;
        end = next;
    }
    return text.left(end);
}

Edit limitEdit(const QString& before, const QString& after, qsizetype cursor, int limit)
{
    cursor = std::clamp<qsizetype>(cursor, 0, after.size());
    if (count(after) <= limit)
        return {after, cursor};
    // The edit kept what follows the cursor from the end of the old text, and a common head;
    // between the two lies what it inserted.
    const QStringView tail = QStringView(after).mid(cursor);
    if (!before.endsWith(tail)) {
        const QString cut = head(after, limit);
        return {cut, std::min(cursor, cut.size())};
    }
    const QStringView keptHead = QStringView(before).left(before.size() - tail.size());
    qsizetype common = 0;
    while (common < keptHead.size() && common < cursor && keptHead[common] == after[common])
        ++common;
    // A common head never ends inside a surrogate pair.
    if (common > 0 && common < cursor && after[common - 1].isHighSurrogate() &&
        after[common].isLowSurrogate())
        --common;
    const QString inserted = after.mid(common, cursor - common);
    const int room = limit - count(QStringView(after).left(common)) - count(tail);
    const QString fitted = head(inserted, std::max(room, 0));
    return {after.left(common) + fitted + tail, common + fitted.size()};
}

} // namespace code_points
