#include "core/notes/TitleText.h"

#include "core/text/ControlCharacters.h"

namespace title_text {

code_points::Edit edited(const QString& before, const QString& after, qsizetype cursor)
{
    using control_characters::dropped;
    using control_characters::Keep;
    const QString head = dropped(after.left(cursor), Keep::Nothing);
    const QString clean = head + dropped(after.mid(cursor), Keep::Nothing);
    return code_points::limitEdit(before, clean, head.size(), kMaxLength);
}

} // namespace title_text
