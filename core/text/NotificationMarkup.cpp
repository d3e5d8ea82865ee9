#include "core/text/NotificationMarkup.h"

namespace notification_markup {

QString escaped(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'&')
            result += QStringLiteral("&amp;");
        else if (c == u'<')
            result += QStringLiteral("&lt;");
        else if (c == u'>')
            result += QStringLiteral("&gt;");
        else
            result += c;
    }
    return result;
}

} // namespace notification_markup
