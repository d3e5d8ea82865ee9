#pragma once

// The publicity window lives in a module of its own, loaded the first time the window opens,
// because the embedded browser it holds is costly to carry: linking the web engine makes every
// start create an OpenGL context, and with it load the graphics driver (with Mesa's software
// renderer, LLVM), some 80 MB of resident memory for a window that opens once, minutes after
// start, if at all. The module is looked for beside the program, then where an installation
// puts it, then in the build tree.

#include "core/web/BoundedGet.h"

#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace publicity_loader {

// The module's entry point: makes the publicity window for the page (TReklama).
using CreateWindow = QWidget* (*)(const QUrl& page, const web::GetLimits& probeLimits,
                                  QWidget* owner);
inline constexpr char kEntryPoint[] = "quillbox_create_publicity_window";

// Where the module is looked for, in order.
QStringList modulePaths(const QString& programDirectory);

// Loads the module when it is not loaded yet and makes the window; nullptr (with a warning in
// the log) when the module cannot be loaded.
QWidget* createWindow(const QUrl& page, const web::GetLimits& probeLimits, QWidget* owner);

} // namespace publicity_loader
