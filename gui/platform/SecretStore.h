#pragma once

// The desktop's secret store (the Secret Service of GNOME's keyring, KDE's wallet), reached
// through QtKeychain: where a server login the user typed is remembered between runs. The
// login never goes into the database, a file of the program or the log; a desktop without a
// store (or a build without QtKeychain) remembers nothing, and the user is asked again on the
// next start.

#include "core/storage/ServerLogin.h"

#include <QString>
#include <functional>
#include <optional>

class QObject;

namespace secret_store {

// Whether the program was built with the secret store.
bool isBuiltIn();

// The login remembered for the database (its path, "host:/path"); no value when none is, or
// the store cannot be reached. Waits for the store's answer, running the event loop
// meanwhile: the store may first ask the user to unlock the keyring.
std::optional<server_login::Login> readLogin(const QString& databasePath);
// Remembers the login for the database in place of an earlier one, in the background: the
// store may first ask the user to make or unlock a keyring, and the program goes on meanwhile.
// done(stored) is called on owner's thread once the store has answered, unless owner is gone
// by then (the request goes with it).
void writeLogin(const QString& databasePath, const server_login::Login& login, QObject* owner,
                const std::function<void(bool)>& done = {});

} // namespace secret_store
