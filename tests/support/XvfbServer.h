#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

// A private X server (Xvfb) on a display number it picks itself, for the checks that only a
// real X server shows: window captions as the server stores them, and the program running
// on the xcb platform as on a desktop. The server ends with the object.
class XvfbServer
{
public:
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Whether the server runs; otherwise why not, for a skip message.
    bool isRunning() const { return !display_.isEmpty(); }
    const QString& failure() const { return failure_; }
    // ":N"
    const QString& display() const { return display_; }
    // The given environment with DISPLAY set to this server and the xcb platform chosen.
    QProcessEnvironment environment(QProcessEnvironment base) const;

    // Runs a helper program against this server and returns its standard output; empty when
    // it fails or is not installed.
    QByteArray run(const QString& program, const QStringList& arguments,
                   int timeoutMs = 30000) const;

private:
    QProcess server_;
    QString display_;
    QString failure_;
};
