#pragma once

#include <QString>
#include <memory>
#include <optional>

class QApplication;
class TDM;
class TFormMain;

namespace startup {

// Creates the data module for the database file and opens the connection. When that fails
// the user is told once, with the reason when it is known, and the program goes on: every
// later statement tries to open the connection again.
std::unique_ptr<TDM> createDataModule(const QString& databasePath);

// Judges the command line before the window system is touched, so that everything that needs
// no window works without a display: --help, --version and --paths, a wrong option (exit 2),
// --backup and --restore on the database the program would open. A missing display is said in one
// line (exit 1) instead of Qt's fatal error. Returns the exit status when the program should
// end here.
std::optional<int> answerCommandLine(int argc, char** argv);

// The database the program opens for the --database value (empty when not given), by the
// rule of core/settings/DatabaseLocation.h; the per-user database is made when it is the one
// chosen and does not exist yet. Empty when there is no place for it.
QString chooseDatabase(const QString& option);

// For timing start-up from outside: prints "quillbox trace: first rows <ns>" on standard error
// once the start-up fill has put its first screenful into the list (nanoseconds of the
// monotonic clock). run() calls it when QUILLBOX_TRACE=1.
void traceFirstRows(const TFormMain& form);

// The whole program: its command line, start-up, the event loop, shutdown. Returns the exit
// code. With --show it first asks a program running on the same database for this user to show
// its window, and ends there (0) when one did.
int run(QApplication& app);
// The same on the given database file. Every program offers its window's "show" on the session
// bus (gui/main/ShowWindowService.h); showWindow shows the window at start, tray or not.
int run(QApplication& app, const QString& databasePath, bool showWindow = false);

} // namespace startup
