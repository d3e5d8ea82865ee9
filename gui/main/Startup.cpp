#include "gui/main/Startup.h"

#include "core/settings/CommandLine.h"
#include "core/settings/DatabaseLocation.h"
#include "core/settings/DisplayCheck.h"
#include "core/settings/EnginePaths.h"
#include "core/settings/InstanceName.h"
#include "core/storage/Backup.h"
#include "core/storage/DataModule.h"
#include "core/storage/SaveFailure.h"
#include "gui/access/FormLogowanie.h"
#include "gui/access/ServerLoginWindow.h"
#include "gui/main/FormMain.h"
#include "gui/main/NoteListFill.h"
#include "gui/main/ShowWindowService.h"
#include "gui/platform/Look.h"
#include "gui/platform/PlainMessage.h"
#include "gui/platform/TerminationSignals.h"
#include "gui/tray/Tray.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QSessionManager>
#include <chrono>
#include <cstdio>

namespace startup {

std::unique_ptr<TDM> createDataModule(const QString& databasePath)
{
    auto dm = std::make_unique<TDM>(databasePath);
    fb::ErrorKind failure = fb::ErrorKind::Other;
    // A server that refuses the login from the environment (or the built-in one) gets the one
    // remembered in the desktop's secret store, or else the one the user types.
    if (!dm->Connect(&failure) &&
        !(failure == fb::ErrorKind::LoginRefused && logInToServer(*dm, &failure)))
        showPlainMessage(nullptr, save_failure::noConnectionMessage(failure));
    return dm;
}

std::optional<int> answerCommandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const command_line::Parsed parsed = command_line::parse(arguments);
    if (parsed.outcome == command_line::Outcome::Paths) {
        // Where the program is decides the database: the core application knows, and needs no
        // display.
        const QCoreApplication app(argc, argv);
        return engine_paths::print(parsed.options.database, arguments.value(0));
    }
    if (parsed.outcome != command_line::Outcome::Run)
        return command_line::report(parsed, arguments.value(0));
    const command_line::Options& options = parsed.options;
    if (options.isBackupOrRestore()) {
        // The application's directory decides the database; the per-user one is not made here.
        QCoreApplication app(argc, argv);
        const QString database =
            database_location::choose(database_location::factsOfThisProcess(options.database)).path;
        if (database.isEmpty()) {
            std::fputs("quillbox: no place for the per-user database: no home directory\n", stderr);
            return 1;
        }
        return options.backupFile.isEmpty()
                   ? backup::runRestore(database, options.restoreBackup, options.restoreInto)
                   : backup::runBackup(database, options.backupFile);
    }
    const QString noDisplay = display_check::problem(display_check::factsOfThisProcess(arguments));
    if (!noDisplay.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n",
                     QFileInfo(arguments.value(0)).fileName().toLocal8Bit().constData(),
                     noDisplay.toLocal8Bit().constData());
        return 1;
    }
    return std::nullopt;
}

QString chooseDatabase(const QString& option)
{
    using namespace database_location;
    const Facts facts = factsOfThisProcess(option);
    const Choice choice = choose(facts);
    if (choice.path.isEmpty()) {
        qCWarning(lcDatabase) << "no place for the per-user database: no home directory";
        return {};
    }
    if (choice.source == Source::PerUser) {
        QString error;
        const Creation made = createPerUserDatabase(
            choice.path, installedEmptyDatabases(facts.executableDir), &error);
        if (made == Creation::Created)
            qCInfo(lcDatabase).noquote() << "created" << choice.path;
        else if (made != Creation::AlreadyThere)
            qCWarning(lcDatabase).noquote() << "cannot create" << choice.path << ":" << error;
    }
    return choice.path;
}

void traceFirstRows(const TFormMain& form)
{
    QObject::connect(
        form.noteListFill(), &NoteListFill::rowsShown, form.noteListFill(),
        [] {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::fprintf(stderr, "quillbox trace: first rows %lld\n",
                         static_cast<long long>(
                             std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stderr);
        },
        Qt::SingleShotConnection);
}

int run(QApplication& app)
{
    const command_line::Parsed parsed = command_line::parse(QApplication::arguments());
    if (parsed.outcome == command_line::Outcome::Paths)
        return engine_paths::print(parsed.options.database, QApplication::arguments().value(0));
    if (parsed.outcome != command_line::Outcome::Run)
        return command_line::report(parsed, QApplication::arguments().value(0));
    const QString database = chooseDatabase(parsed.options.database);
    if (parsed.options.show && ShowWindowService::askToShow(QDBusConnection::sessionBus(),
                                                            instance_name::serviceName(database)))
        return 0;
    return run(app, database, parsed.options.show);
}

namespace {

// What --show does to a running program: the tray's "Open" (which leads to an open dialog
// rather than past it), and the window brought to the front over other programs' windows.
void showAsAsked(TFormMain& form)
{
    form.tray()->openAction()->trigger();
    if (!QApplication::activeModalWidget() && form.isVisible()) {
        form.raise();
        form.activateWindow();
    }
}

} // namespace

int run(QApplication& app, const QString& databasePath, bool showWindow)
{
    // The name status-notifier panels give the tray item (its Id and Title).
    QApplication::setApplicationName(QStringLiteral("Quillbox"));
    // No application display name: the xcb platform would append it to every window title,
    // and captions are exactly the windows' own texts.
    QApplication::setQuitOnLastWindowClosed(false);
    look::applyApplicationLook();

    // main() has blocked the termination signals; from here on they are read as events.
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

    // The login gate runs only on an open database: without one there is no password to ask.
    const bool admitted = !dm->isConnected() || runLoginGate(*dm);
    QObject::disconnect(earlySignal);
    QObject::disconnect(earlySession);
    if (!admitted || endedDuringStartup)
        return 0;

    const FormMainOptions options = FormMainOptions::forThisDesktop();
    TFormMain form(*dm, options);
    if (qEnvironmentVariableIntValue("QUILLBOX_TRACE") == 1)
        traceFirstRows(form);
    auto* showService = new ShowWindowService(&form);
    QObject::connect(showService, &ShowWindowService::showRequested, &form,
                     [&form] { showAsAsked(form); });
    showService->offer(QDBusConnection::sessionBus(), instance_name::serviceName(databasePath));
    // Without a tray icon the window is the only way in.
    if (showWindow)
        showAsAsked(form);
    else if (!options.trayAvailable)
        form.ShowMainWindow();

    QObject::connect(&termination, &TerminationSignals::terminationRequested, &form,
                     &TFormMain::quitWithoutQuestions);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.quitWithoutQuestions(); });
    return app.exec();
}

} // namespace startup
