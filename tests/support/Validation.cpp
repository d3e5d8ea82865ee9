#include "support/Validation.h"

#include "support/ProgramEnvironment.h"

#include <QProcess>
#include <QStringList>

QString validationReport(const QString& path)
{
    QProcess gfix;
    gfix.setProcessEnvironment(programEnvironment());
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
