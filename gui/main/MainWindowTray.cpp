#include "gui/main/MainWindowTray.h"

#include "core/alarms/RunningAlarms.h"
#include "core/storage/NoteChangeListener.h"
#include "gui/main/FormMain.h"
#include "gui/main/LiveList.h"
#include "gui/main/NoteListFill.h"
#include "gui/tray/Tray.h"

#include <QAction>

void connectTrayToMainWindow(Tray& tray, TFormMain& window, TDM& dm)
{
    QObject::connect(tray.openAction(), &QAction::triggered, &window, [&window] {
        if (!window.bringOpenDialogToFront())
            window.ShowMainWindow();
    });
    QObject::connect(tray.newNoteAction(), &QAction::triggered, &window, &TFormMain::NewNote);
    QObject::connect(tray.closeAction(), &QAction::triggered, &window, &TFormMain::QuitProgram);
    QObject::connect(&tray, &Tray::clicked, &window, &TFormMain::TrayIconClick);
    QObject::connect(&tray, &Tray::balloonClicked, &window, [&window] {
        window.ShowMainWindow();
        window.raise();
        window.activateWindow();
        window.LoadNotes();
    });

    const auto showRunningAlarms = [&tray, &window, &dm] {
        if (window.isQuitting())
            return;
        if (const auto titles = running_alarms::titles(dm))
            tray.showRunningAlarms(*titles);
    };
    // Every fill of the list follows a change that may have started or ended alarms: a pass
    // of the alarm checker, an acknowledgement, a save, another program's change.
    QObject::connect(window.noteListFill(), &NoteListFill::finished, &window, showRunningAlarms);
    QObject::connect(window.liveList()->listener(), &NoteChangeListener::changed, &window,
                     showRunningAlarms);
}
