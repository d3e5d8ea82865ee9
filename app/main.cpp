#include "gui/main/Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); // for the embedded browser
    QApplication app(argc, argv);
    return startup::run(app);
}
