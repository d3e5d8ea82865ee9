#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A Firebird server of the test's own: Debian's server binary run directly (not the system
// service) with its own configuration, security database and lock directory in a temporary
// folder, listening on 127.0.0.1 only, on a free port. User "sysdba" has the program's
// password. The server stops when the object goes.
class FirebirdServer
{
public:
    FirebirdServer();
    ~FirebirdServer();
    FirebirdServer(const FirebirdServer&) = delete;
    FirebirdServer& operator=(const FirebirdServer&) = delete;

    // Starts the server and waits until it accepts connections. False with the reason in
    // why when it cannot be started here.
    bool start(QString* why);
    // Stops it and waits for it to end; start() may be called again afterwards and brings it
    // back on the same port.
    void stop();
    bool isRunning() const;

    int port() const { return port_; }
    // What goes before a database file's path to reach it through this server:
    // "127.0.0.1/<port>:".
    QString prefix() const;
    // A folder the server can read and write, for database files.
    QString dataDirectory() const;

private:
    bool prepare(QString* why);
    bool launch(QString* why);

    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
    bool prepared_ = false;
};
