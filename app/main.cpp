#include "gui/main/Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (const auto exitCode = startup::answerCommandLine(argc, argv))
        return *exitCode;
    QApplication app(argc, argv);
    return startup::run(app);
}
