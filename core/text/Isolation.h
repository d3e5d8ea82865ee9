#pragma once

// A note's title shown among other text. A title may hold bidirectional controls (U+202E
// RIGHT-TO-LEFT OVERRIDE turns "gnp.exe" into what reads "exe.png") or right-to-left letters;
// shown isolated, whatever it holds reorders nothing outside itself.

#include <QString>

namespace isolation {

// text between U+2068 FIRST STRONG ISOLATE and U+2069 POP DIRECTIONAL ISOLATE. Isolates that
// text opens and does not close are closed inside, and a U+2069 that closes none of its own
// is left out, so the outer pair always matches.
QString isolated(const QString& text);

} // namespace isolation
