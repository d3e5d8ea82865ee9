#pragma once

// How the note message is measured and stored. A line break is stored as a carriage return and
// a line feed, and counts as two characters towards the message limit; everything else counts
// one per code point, as the database's UTF-8 column counts it (an emoji is one).

#include <QString>

namespace memo_text {

inline constexpr int kMaxLength = 5000;

// The stored form of the memo's raw text, whose paragraphs are parted by U+2029.
QString toStored(const QString& rawText);

// Characters the text takes once stored: CR+LF, a lone CR or LF and U+2029 each count two.
int storedLength(QStringView text);

// The longest head of text that takes at most room characters once stored. A line break, a
// surrogate pair or a character and its combining marks are never cut apart.
QString fitting(const QString& text, int room);

// Text typed, pasted or dropped into the message, as it may be stored: without the control
// characters other than tab, CR and LF.
QString typed(const QString& text);

} // namespace memo_text
