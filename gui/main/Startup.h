#pragma once

#include <QString>
#include <memory>

class QApplication;
class TDM;
class TFormMain;

namespace startup {

// Creates the data module for the database file and opens the connection. When that fails
// the user is told once, and the program goes on: every later statement tries to open the
// connection again.
std::unique_ptr<TDM> createDataModule(const QString& databasePath);

// The whole program: start-up, the event loop, shutdown. Returns the exit code.
int run(QApplication& app);
// The same on the given database file.
int run(QApplication& app, const QString& databasePath);

} // namespace startup
