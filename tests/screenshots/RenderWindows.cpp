// Renders every window of the program to a PNG, frame and caption included, for a review of
// their look: `make screenshots` writes them under build/screenshots/.
//
// Started without an X display of its own choosing, it starts a private desktop (Xvfb with
// openbox) and runs itself again there on the xcb platform.

#include "core/alarms/CheckAlarms.h"
#include "core/web/WebAddresses.h"
#include "gui/access/FormHaslo.h"
#include "gui/access/FormLogowanie.h"
#include "gui/main/FormMain.h"
#include "gui/notes/FormNotatka.h"
#include "gui/notes/FormUsuwanie.h"
#include "gui/tray/AlarmWindow.h"
#include "gui/web/FormOProgramie.h"
#include "gui/web/PublicityBig.h"
#include "gui/web/Update.h"
#include "support/NoteListDriver.h"
#include "support/TestHttpServer.h"
#include "support/XDesktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTreeView>
#include <cstdio>
#include <functional>

namespace {

const char* const kInsideDesktop = "QUILLBOX_SCREENSHOTS_DESKTOP";

// Shows the window, lets the window manager frame it and the window paint, and saves what
// the screen shows of it.
bool capture(QWidget* window, const QString& folder, const QString& name)
{
    window->show();
    window->raise();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window, 10000))
        return false;
    QTest::qWait(600);
    const QRect frame = window->frameGeometry();
    const QPixmap shot =
        window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    const QString file = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    const bool saved = shot.save(file);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
    return saved;
}

int renderAll(const QString& folder)
{
    QDir().mkpath(folder);
    TestDatabase db;
    insertNote(db, 1, QStringLiteral("Plain note"), QStringLiteral("2026.12.01 09:15:00"), 0,
               QStringLiteral("A note without an alarm."));
    insertNote(db, 2, QStringLiteral("Planned: dentist"), QStringLiteral("2026.12.02 10:00:00"), 2);
    insertNote(db, 3, QStringLiteral("Acknowledged: call Anna"),
               QStringLiteral("2026.12.03 11:30:00"), 3);
    insertNote(db, 4, QStringLiteral("Running: take the cake out"),
               QStringLiteral("2026.12.04 12:45:00"), 1);
    insertNote(db, 5, QStringLiteral("Zażółć gęślą jaźń"), QStringLiteral("2026.12.05 14:00:00"),
               0);
    auto dm = db.open();

    FormMainOptions options = quietWindowOptions();
    TFormMain form(*dm, options);
    bool ok = true;
    form.ShowMainWindow();
    ok &= capture(&form, folder, QStringLiteral("main-window"));
    {
        // The tray (trayer, at the bottom right of the screen) with the icon asking for
        // attention for the running alarm.
        QTest::qWait(1000);
        const QRect screen = form.screen()->geometry();
        const QPixmap tray =
            form.screen()->grabWindow(0, screen.right() - 119, screen.bottom() - 23, 120, 24);
        const QString file = folder + QStringLiteral("/tray-attention.png");
        const bool saved = tray.save(file);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(file));
        ok &= saved;
    }
    {
        AlarmWindow alarm;
        alarm.showAlarm(QStringLiteral("Quillbox A L A R M"),
                        alarmBalloonEntry(QDate(2026, 12, 4), QTime(12, 45), 1,
                                          QStringLiteral("Running: take the cake out")) +
                            alarmBalloonEntry(QDate(2026, 12, 2), QTime(10, 0), 0,
                                              QStringLiteral("Planned: dentist")));
        ok &= capture(&alarm, folder, QStringLiteral("alarm-window"));
    }

    {
        TFormNotatka editor(*dm, form, &form);
        editor.NoteId = -1;
        ok &= capture(&editor, folder, QStringLiteral("note-editor"));
        editor.cAlarm->setChecked(true);
        ok &= capture(&editor, folder, QStringLiteral("note-editor-alarm"));
    }
    {
        TFormUsuwanie confirmation(*dm, form, &form);
        confirmation.NoteId = 1;
        ok &= capture(&confirmation, folder, QStringLiteral("delete-confirmation"));
    }
    {
        TFormHaslo password(*dm, &form);
        ok &= capture(&password, folder, QStringLiteral("password"));
    }
    {
        TFormLogowanie login(*dm);
        ok &= capture(&login, folder, QStringLiteral("login"));
    }
    {
        TFormOProgramie about(web::productSiteUrl(web::defaultServer()), &form);
        ok &= capture(&about, folder, QStringLiteral("about"));
    }
    {
        TfUpdate notice(web::productSiteUrl(web::defaultServer()));
        // Fully faded in, as it stands two seconds after it appears.
        notice.show();
        QTest::qWait(2500);
        ok &= capture(&notice, folder, QStringLiteral("new-version-notice"));
    }
    {
        // The publicity page from a server of our own.
        TestHttpServer server;
        server.answer(QStringLiteral("/app/Quillbox/publicity2/"), 200,
                      "<html><body style='background:#fffbf0;font-family:sans-serif'>"
                      "<h2>Quillbox</h2><p>Notes that remind you.</p></body></html>");
        TReklama publicity(web::publicityPageUrl(server.server()), web::GetLimits{});
        publicity.show();
        QTest::qWait(3000);
        ok &= capture(&publicity, folder, QStringLiteral("publicity"));
    }
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QDir::currentPath() + QStringLiteral("/screenshots");
    if (qEnvironmentVariableIsSet(kInsideDesktop)) {
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QApplication app(argc, argv);
        return renderAll(folder);
    }

    QCoreApplication app(argc, argv);
    XDesktop desktop(XDesktop::Options{true, false});
    if (!desktop.isReady()) {
        std::fprintf(stderr, "no X desktop to render on: %s\n", qPrintable(desktop.whyNot()));
        return 1;
    }
    QProcess inside;
    QProcessEnvironment env = desktop.environment();
    env.insert(QLatin1String(kInsideDesktop), QStringLiteral("1"));
    // The browser engine of the publicity window refuses to run as root with its sandbox on.
    env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    inside.setProcessEnvironment(env);
    inside.setProcessChannelMode(QProcess::ForwardedChannels);
    inside.start(QCoreApplication::applicationFilePath(), {folder});
    if (!inside.waitForFinished(300000))
        return 1;
    return inside.exitStatus() == QProcess::NormalExit ? inside.exitCode() : 1;
}
