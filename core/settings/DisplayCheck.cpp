#include "core/settings/DisplayCheck.h"

namespace display_check {
namespace {

// The value of a Qt option given as "-name value", "--name value" or "-name=value"; the last
// one given counts, as in Qt.
QString optionValue(const QStringList& arguments, const QString& name)
{
    QString value;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (argument == QLatin1String("--"))
            break;
        if (argument.startsWith(QLatin1String("--")))
            argument.remove(0, 1);
        if (argument == QLatin1Char('-') + name && i + 1 < arguments.size())
            value = arguments[++i];
        else if (argument.startsWith(QLatin1Char('-') + name + QLatin1Char('=')))
            value = argument.mid(name.size() + 2);
    }
    return value;
}

bool canOpen(const QString& platform, const Facts& facts)
{
    if (platform.startsWith(QLatin1String("xcb")))
        return !facts.display.isEmpty();
    if (platform.startsWith(QLatin1String("wayland")))
        return !facts.waylandDisplay.isEmpty();
    return true;
}

} // namespace

Facts factsOfThisProcess(const QStringList& arguments)
{
    Facts facts;
    facts.platform = optionValue(arguments, QStringLiteral("platform"));
    if (facts.platform.isEmpty())
        facts.platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    facts.display = optionValue(arguments, QStringLiteral("display"));
    if (facts.display.isEmpty())
        facts.display = qEnvironmentVariable("DISPLAY");
    facts.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    facts.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE");
    return facts;
}

QString problem(const Facts& facts)
{
    // Qt tries the platforms named in turn; without a name, X11, and in a Wayland session
    // Wayland first.
    QStringList platforms = facts.platform.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (platforms.isEmpty()) {
        if (facts.sessionType == QLatin1String("wayland"))
            platforms << QStringLiteral("wayland");
        platforms << QStringLiteral("xcb");
    }
    for (const QString& platform : platforms) {
        if (canOpen(platform.trimmed(), facts))
            return {};
    }
    return QStringLiteral("no display to show a window on (DISPLAY and WAYLAND_DISPLAY are not "
                          "set); --help, --version, --backup and --restore work without one");
}

} // namespace display_check
