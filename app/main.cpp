#include "core/storage/FirebirdEnvironment.h"
#include "gui/main/Startup.h"
#include "gui/platform/TerminationSignals.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Help, a wrong option, backup and restore end here, before any GUI object exists; Ctrl+C
    // stops a backup or a restore.
    if (const auto exitCode = startup::answerCommandLine(argc, argv))
        return *exitCode;
    // Before any thread exists, so that every thread inherits the blocked signals.
    TerminationSignals::blockInAllThreads();
    int exitCode = 0;
    {
        QApplication app(argc, argv);
        exitCode = startup::run(app);
    }
    // Every window and connection is closed by now.
    firebird_environment::endProcess(exitCode);
}
