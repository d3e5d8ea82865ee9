#pragma once

// The note title as the editor takes it: at most 50 characters, counted as the database's
// UTF-8 column counts them (an emoji is one), and no control characters.

#include "core/text/CodePoints.h"

#include <QString>

namespace title_text {

inline constexpr int kMaxLength = 50;

// What an edit of the title leaves (see code_points::limitEdit): control characters are
// dropped from the whole text, then the inserted text is cut to the characters that fit.
code_points::Edit edited(const QString& before, const QString& after, qsizetype cursor);

} // namespace title_text
