#include "gui/web/BrowserEngine.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <unistd.h>

namespace browser_engine {

bool canStart(const Conditions& conditions)
{
    if (!conditions.helperProgramFound)
        return false;
    if (!conditions.runningAsRoot)
        return true;
    // The engine's sandbox refuses root; only a sandbox switched off lets it start.
    const QString disable = conditions.disableSandbox.trimmed();
    if (!disable.isEmpty() && disable != QLatin1String("0"))
        return true;
    const QStringList flags = conditions.chromiumFlags.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return flags.contains(QStringLiteral("--no-sandbox"));
}

Conditions currentConditions()
{
    Conditions conditions;
    conditions.runningAsRoot = ::geteuid() == 0;
    conditions.disableSandbox = qEnvironmentVariable("QTWEBENGINE_DISABLE_SANDBOX");
    conditions.chromiumFlags = qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS");
    QString helper = qEnvironmentVariable("QTWEBENGINE_PROCESS_PATH");
    if (helper.isEmpty())
        helper = QDir(QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath))
                     .filePath(QStringLiteral("QtWebEngineProcess"));
    const QFileInfo info(helper);
    conditions.helperProgramFound = info.isFile() && info.isExecutable();
    return conditions;
}

} // namespace browser_engine
