#include "gui/web/PublicityLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QLoggingCategory>
#include <QOpenGLContext>

// The toolkit's own hook for the context every OpenGL context of the process shares with; the
// web engine uses it too, for the same purpose.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace publicity_loader {
namespace {

Q_LOGGING_CATEGORY(lcPublicity, "quillbox.publicity")

// The web engine draws into the window through an OpenGL context shared with the one it
// renders pages in. It sets that shared context up by itself only when it is loaded before the
// application object exists; loaded later, it needs one to be there already.
void provideSharedContext()
{
    if (QOpenGLContext::globalShareContext())
        return;
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    if (!context->create())
        qCWarning(lcPublicity) << "no OpenGL context for the embedded browser";
    qt_gl_set_global_share_context(context);
}

} // namespace

QStringList modulePaths(const QString& programDirectory)
{
    const QString file = QStringLiteral(QUILLBOX_PUBLICITY_MODULE_FILE);
    return {QDir(programDirectory).filePath(file),
            QDir::cleanPath(programDirectory + QLatin1Char('/') +
                            QStringLiteral(QUILLBOX_PUBLICITY_MODULE_FROM_PROGRAM) +
                            QLatin1Char('/') + file),
            QStringLiteral(QUILLBOX_PUBLICITY_MODULE_BUILT)};
}

QWidget* createWindow(const QUrl& page, const web::GetLimits& probeLimits, QWidget* owner)
{
    static CreateWindow create = nullptr;
    if (!create) {
        QStringList tried;
        for (const QString& path : modulePaths(QCoreApplication::applicationDirPath())) {
            if (!QFileInfo::exists(path)) {
                tried << path;
                continue;
            }
            provideSharedContext();
            // Never unloaded: the web engine stays loaded for the rest of the process.
            QLibrary module(path);
            create = reinterpret_cast<CreateWindow>(module.resolve(kEntryPoint));
            if (create)
                break;
            tried << module.errorString();
        }
        if (!create) {
            qCWarning(lcPublicity).noquote()
                << "the publicity window cannot be shown:" << tried.join(QStringLiteral("; "));
            return nullptr;
        }
    }
    return create(page, probeLimits, owner);
}

} // namespace publicity_loader
