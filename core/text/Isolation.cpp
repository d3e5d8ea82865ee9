#include "core/text/Isolation.h"

namespace isolation {
namespace {

constexpr char16_t kLeftToRightIsolate = 0x2066;
constexpr char16_t kFirstStrongIsolate = 0x2068;
constexpr char16_t kPopIsolate = 0x2069;

} // namespace

QString isolated(const QString& text)
{
    QString shown;
    shown.reserve(text.size() + 2);
    shown += QChar(kFirstStrongIsolate);
    int open = 0;
    for (const QChar c : text) {
        if (c.unicode() >= kLeftToRightIsolate && c.unicode() <= kFirstStrongIsolate) {
            ++open;
        } else if (c.unicode() == kPopIsolate) {
            if (open == 0)
                continue;
            --open;
        }
        shown += c;
    }
    shown += QString(open + 1, QChar(kPopIsolate));
    return shown;
}

} // namespace isolation
