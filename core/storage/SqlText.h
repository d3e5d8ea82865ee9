#pragma once

// Building blocks of statement texts. Statements are put together from fixed pieces and
// values: texts wrapped in apostrophes with inner apostrophes doubled, integers in decimal,
// dates and times as quoted local-time literals.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace sql {

// 'Tom''s' for Tom's. Nothing else needs escaping in a string literal of the engine.
QString quoted(const QString& text);
// '2024.03.07 18:05:09'
QString timestampLiteral(const QDateTime& moment);
// '2024.03.08'
QString dateLiteral(const QDate& date);
// '07:30'
QString timeLiteral(const QTime& time);
QString number(qint64 value);

} // namespace sql
