#include "gui/main/Startup.h"

#include "core/storage/DataModule.h"
#include "gui/access/FormLogowanie.h"
#include "gui/main/FormMain.h"
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
    return run(app, TDM::defaultDatabasePath());
}

int run(QApplication& app, const QString& databasePath)
{
    QApplication::setApplicationName(QStringLiteral("quillbox"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quillbox"));
    QApplication::setQuitOnLastWindowClosed(false);

    TerminationSignals termination;
    // A termination asked for before the main window exists ends the modal window start-up
    // shows (the login window) as cancelled and is honoured once start-up is over: the program
    // ends without showing anything and without storing a layout it never showed.
    bool endedDuringStartup = false;
    const auto endStartup = [&endedDuringStartup] {
        endedDuringStartup = true;
        QCoreApplication::exit(0);
    };
    const QMetaObject::Connection earlySignal =
        QObject::connect(&termination, &TerminationSignals::terminationRequested, &app, endStartup);
    const QMetaObject::Connection earlySession =
        QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                         [endStartup](QSessionManager&) { endStartup(); });

    std::unique_ptr<TDM> dm = createDataModule(databasePath);
    // The database engine installs its own handlers when it starts; ours must win so that a
    // termination runs the quit sequence.
    QObject::connect(dm.get(), &TDM::attached, &termination, [] { TerminationSignals::install(); });
    TerminationSignals::install();

    // The login gate runs only on an open database: without one there is no password to ask.
    const bool admitted = !dm->isConnected() || runLoginGate(*dm);
    QObject::disconnect(earlySignal);
    QObject::disconnect(earlySession);
    if (!admitted || endedDuringStartup)
        return 0;

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
