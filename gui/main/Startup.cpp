#include "gui/main/Startup.h"

#include "core/storage/DataModule.h"
#include "gui/main/FormMain.h"
#include "gui/platform/Look.h"
#include "gui/platform/PlainMessage.h"
#include "gui/platform/TerminationSignals.h"

#include <QApplication>
#include <QSessionManager>

namespace startup {

std::unique_ptr<TDM> createDataModule(const QString& databasePath)
{
    auto dm = std::make_unique<TDM>(databasePath);
    if (!dm->Connect())
        showPlainMessage(nullptr, QStringLiteral("No connection to database!"));
    return dm;
}

int run(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("quillbox"));
    // No application display name: the xcb platform would append it to every window title,
    // and captions are exactly the windows' own texts.
    QApplication::setQuitOnLastWindowClosed(false);
    look::applyApplicationLook();

    // main() has blocked the termination signals; from here on they are read as events.
    TerminationSignals termination;
    std::unique_ptr<TDM> dm = createDataModule(TDM::defaultDatabasePath());

    const FormMainOptions options = FormMainOptions::forThisDesktop();
    TFormMain form(*dm, options);
    // Without a tray icon the window is the only way in.
    if (!options.trayAvailable)
        form.ShowMainWindow();

    QObject::connect(&termination, &TerminationSignals::terminationRequested, &form,
                     &TFormMain::QuitProgram);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.QuitProgram(); });
    return app.exec();
}

} // namespace startup
