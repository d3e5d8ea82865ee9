#pragma once

// The access password against the database: reading it for the password window, storing it,
// the login gate of start-up and the check of an entry. Failures go to the data module's
// report point with the password or entry masked, never in clear.

#include <QString>
#include <functional>

class TDM;

namespace access_password {

// The stored password for the password window; the empty text when none is set or when it
// cannot be read (reported as "Can't retrieve password!" under where).
QString LoadPassword(TDM& dm, const QString& where);

// Stores the password (the empty text removes it); false when the write failed.
bool SavePassword(TDM& dm, const QString& password);

// The login gate. When a password is set, AccessGranted is cleared and showLoginWindow runs,
// which sets it when the right password is entered; otherwise, and when the setting cannot be
// read, access is granted at once. Returns AccessGranted: false means the program is to end.
bool CheckAccess(TDM& dm, const std::function<void()>& showLoginWindow);

// Whether entry equals the stored password exactly. No stored password, or one that cannot be
// read (reported under where), makes every entry wrong.
bool CheckPassword(TDM& dm, const QString& entry, const QString& where);

} // namespace access_password
