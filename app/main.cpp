#include "core/storage/Backup.h"
#include "core/storage/DataModule.h"
#include "gui/main/Startup.h"
#include "gui/platform/TerminationSignals.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Backup and restore run without a window, before any GUI object exists; Ctrl+C stops them.
    if (backup::isBackupCommand(argc, argv)) {
        QCoreApplication app(argc, argv);
        return backup::runBackupCommand(QCoreApplication::arguments(), TDM::defaultDatabasePath())
            .value_or(2);
    }
    // Before any thread exists, so that every thread inherits the blocked signals.
    TerminationSignals::blockInAllThreads();
    if (const auto exitCode = startup::answerCommandLine(argc, argv))
        return *exitCode;
    QApplication app(argc, argv);
    return startup::run(app);
}
