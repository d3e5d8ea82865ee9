#pragma once

// Texts for the desktop's notification service. Its servers render a subset of markup in a
// notification's body (<b>, <i>, <a href>, <img> and entities), so a note titled "<b>x</b>"
// would show a bold x. Escaped, the text shows as typed.

#include <QString>

namespace notification_markup {

// text with &, < and > written as &amp;, &lt; and &gt;.
QString escaped(const QString& text);

} // namespace notification_markup
