#pragma once

// Characters that do not belong in a note's text. C0 control characters (U+0000 to U+001F)
// are invisible, and NUL ends a string early in many tools that read the database; a lone
// surrogate half is no character at all and cannot be stored as UTF-8.

#include <QString>

namespace control_characters {

// Whether line breaks and tabs stay: the message keeps tab, CR and LF; the title keeps none.
enum class Keep
{
    Nothing,
    TabAndLineBreaks
};

// text without C0 control characters (other than those kept) and lone surrogate halves.
QString dropped(const QString& text, Keep keep);

} // namespace control_characters
