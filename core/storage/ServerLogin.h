#pragma once

// The user name and password a connection logs in with. A database on a Firebird server
// checks them, so there they are the user's own, taken from ISC_USER and ISC_PASSWORD (the
// client library's own convention); the embedded engine does not check them, so a local file
// keeps the program's built-in login. The password never goes into the log or an error text.

#include <QProcessEnvironment>
#include <QString>

namespace server_login {

struct Login
{
    QString user;
    QString password;
};

// The program's own login, for a local file and for a server when the environment names none.
Login builtIn();

// The login for the database named databasePath, given the environment: for a server
// database ("host:/path", "host/port:/path") the user from ISC_USER and the password from
// ISC_PASSWORD, each when set and not empty, else the built-in one; for a local file always
// the built-in one.
Login choose(const QString& databasePath, const QProcessEnvironment& environment);

// Whether the user may be asked for a login when the server refuses the chosen one: a server
// database for which the environment gives no password.
bool mayAskTheUser(const QString& databasePath, const QProcessEnvironment& environment);

// choose() with this process's environment.
Login forDatabase(const QString& databasePath);

} // namespace server_login
