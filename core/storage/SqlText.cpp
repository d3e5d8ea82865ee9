#include "core/storage/SqlText.h"

namespace sql {

QString quoted(const QString& text)
{
    QString result;
    result.reserve(text.size() + 2);
    result += QLatin1Char('\'');
    for (const QChar c : text) {
        if (c == QLatin1Char('\''))
            result += QLatin1Char('\'');
        result += c;
    }
    result += QLatin1Char('\'');
    return result;
}

QString timestampLiteral(const QDateTime& moment)
{
    return quoted(moment.toString(QStringLiteral("yyyy.MM.dd HH:mm:ss")));
}

QString dateLiteral(const QDate& date)
{
    return quoted(date.toString(QStringLiteral("yyyy.MM.dd")));
}

QString timeLiteral(const QTime& time)
{
    return quoted(time.toString(QStringLiteral("HH:mm")));
}

QString number(qint64 value)
{
    return QString::number(value);
}

} // namespace sql
