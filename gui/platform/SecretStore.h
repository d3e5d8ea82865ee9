#pragma once

// The desktop's secret store (the Secret Service of GNOME's keyring, KDE's wallet), reached
// through QtKeychain: where a server login the user typed is remembered between runs. The
// login never goes into the database, a file of the program or the log; a desktop without a
// store (or a build without QtKeychain) remembers nothing, and the user is asked again on the
// next start. Each call waits for the store's answer, running the event loop meanwhile.

#include "core/storage/ServerLogin.h"

#include <QString>
#include <optional>

namespace secret_store {

// Whether the program was built with the secret store.
bool isBuiltIn();

// The login remembered for the database (its path, "host:/path"); no value when none is, or
// the store cannot be reached.
std::optional<server_login::Login> readLogin(const QString& databasePath);
// Remembers the login for the database in place of an earlier one; false when the store did
// not take it.
bool writeLogin(const QString& databasePath, const server_login::Login& login);

} // namespace secret_store
