#include "gui/main/Startup.h"
#include "gui/platform/TerminationSignals.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Before any thread exists, so that every thread inherits the blocked signals.
    TerminationSignals::blockInAllThreads();
    QApplication app(argc, argv);
    return startup::run(app);
}
