#pragma once

// How the note message is measured and stored. A line break is stored as a carriage return and
// a line feed, and counts as two characters towards the message limit; everything else counts
// one per UTF-16 unit, the same measure the title's edit uses for its limit.

#include <QString>

namespace memo_text {

inline constexpr int kMaxLength = 5000;

// The stored form of the memo's raw text, whose paragraphs are parted by U+2029.
QString toStored(const QString& rawText);

// Characters the text takes once stored: CR+LF, a lone CR or LF and U+2029 each count two.
int storedLength(const QString& text);

// The longest head of text that takes at most room characters once stored. A line break or a
// surrogate pair is never cut in half.
QString fitting(const QString& text, int room);

} // namespace memo_text
