#include "core/text/ControlCharacters.h"

namespace control_characters {

QString dropped(const QString& text, Keep keep)
{
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept += c;
            kept += text.at(++i);
            continue;
        }
        if (c.isSurrogate())
            continue;
        if (c.unicode() < 0x20) {
            const bool whitespace = c == u'\t' || c == u'\r' || c == u'\n';
            if (!(whitespace && keep == Keep::TabAndLineBreaks))
                continue;
        }
        kept += c;
    }
    return kept;
}

} // namespace control_characters
