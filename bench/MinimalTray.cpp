// The least a Qt program in the tray does: an icon and the event loop. The benchmarks set
// Quillbox beside it, built once with the widgets alone and once also linked to the embedded
// web engine, to show what the toolkit and that engine cost before a note is read.

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkYellow);
    QSystemTrayIcon icon{QIcon(pixmap)};
    icon.show();
    return app.exec();
}
