#include "support/Validation.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

QString validationReport(const QString& path)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The tool's own engine settings: no program shares the file with it.
    environment.remove(QStringLiteral("FIREBIRD"));
    environment.remove(QStringLiteral("FIREBIRD_LOCK"));
    QProcess gfix;
    gfix.setProcessEnvironment(environment);
    gfix.setProcessChannelMode(QProcess::MergedChannels);
    gfix.start(QStringLiteral(QUILLBOX_GFIX),
               {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-user"),
                QStringLiteral("sysdba"), path});
    if (!gfix.waitForFinished(120000))
        return QStringLiteral("gfix did not finish");
    const QString report = QString::fromLocal8Bit(gfix.readAll()).trimmed();
    if (gfix.exitStatus() != QProcess::NormalExit || gfix.exitCode() != 0)
        return QStringLiteral("gfix exit %1: ").arg(gfix.exitCode()) + report;
    return report;
}
