#include "core/tray/TrayToolTip.h"

namespace tray_tooltip {

QString text(const QStringList& runningTitles)
{
    const QString name = QStringLiteral("Quillbox");
    if (runningTitles.isEmpty())
        return name;
    QStringList lines{runningTitles.size() == 1 ? name + QStringLiteral(" - alarm running")
                                                : name + QStringLiteral(" - alarms running")};
    lines += runningTitles.mid(0, kNamedAlarms);
    const qsizetype more = runningTitles.size() - kNamedAlarms;
    if (more > 0)
        lines << QStringLiteral("and %1 more").arg(more);
    return lines.join(QLatin1Char('\n'));
}

} // namespace tray_tooltip
