#pragma once

// Text measured as the database's UTF-8 columns measure it: in code points. A character
// outside the Basic Multilingual Plane (most emoji) is two UTF-16 units in a QString and one
// code point in the column.

#include <QString>
#include <QStringView>
#include <functional>

namespace code_points {

// Code points in text; a surrogate pair counts one.
int count(QStringView text);

// How much of the limit a piece of text takes.
using Weight = std::function<int(QStringView)>;

// The longest head of text made of whole characters as the user sees them (a letter with its
// combining marks, an emoji with its modifiers, a CR+LF) whose weight is at most room. A
// surrogate pair or a character and its marks are never parted. The weight is count() unless
// given.
QString head(const QString& text, int room, const Weight& weight = {});

// What an edit leaves in a field limited to limit code points. before is the text before the
// edit, after the text the edit made and cursor the place in after where the inserted text
// ends. The inserted text is cut to the whole characters that still fit beside the rest, so
// the limit holds however the text arrived; the text the edit kept is left as it is.
struct Edit
{
    QString text;
    qsizetype cursor = 0;
};
Edit limitEdit(const QString& before, const QString& after, qsizetype cursor, int limit);

} // namespace code_points
