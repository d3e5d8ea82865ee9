// Build tool: writes the program's icon into a hicolor icon theme tree, one PNG per size,
// drawn by the same code as the tray icon.
//   quillbox_render_icons <output dir> <size>...   writes <output
//   dir>/<size>x<size>/apps/quillbox.png
#include "gui/platform/Icons.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fputs("usage: quillbox_render_icons <output dir> <size>...\n", stderr);
        return 2;
    }
    for (qsizetype i = 2; i < args.size(); ++i) {
        bool ok = false;
        const int size = args[i].toInt(&ok);
        if (!ok || size <= 0 || size > 1024) {
            std::fprintf(stderr, "bad size %s\n", qPrintable(args[i]));
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(size);
        if (!QDir().mkpath(folder) ||
            !icons::applicationIcon(size).save(folder + QStringLiteral("/quillbox.png"))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
