#include "core/web/VersionLine.h"

namespace version_line {

QByteArray firstLine(const QByteArray& content)
{
    QByteArray line;
    for (const char c : content) {
        if (c == '\n' || c == '\x1a')
            break;
        // A carriage return before the line feed ends a DOS line; one standing alone is
        // dropped as well, as the text-file reader of the original platform did.
        if (c == '\r')
            continue;
        line.append(c);
    }
    return line;
}

bool announcesOtherVersion(const QByteArray& content)
{
    return firstLine(content) != QByteArray(kProgramVersion);
}

} // namespace version_line
