#include "support/XvfbServer.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <fcntl.h>
#include <unistd.h>

XvfbServer::XvfbServer()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        failure_ = QStringLiteral("Xvfb is not installed");
        return;
    }
    // -displayfd: the server chooses a free display and writes its number to the pipe, so
    // parallel test runs never collide. -noreset: by default the server starts over each
    // time its last client leaves, and refuses connections meanwhile; a program started just
    // after a probe such as xdpyinfo then fails to open the display.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        failure_ = QStringLiteral("no pipe for Xvfb");
        return;
    }
    const int writeEnd = fds[1];
    server_.setChildProcessModifier([writeEnd] { ::fcntl(writeEnd, F_SETFD, 0); });
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start(xvfb,
                  {QStringLiteral("-displayfd"), QString::number(writeEnd),
                   QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                   QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
    ::close(writeEnd);
    QByteArray number;
    if (server_.waitForStarted(10000)) {
        const QDeadlineTimer deadline(30000);
        char c = 0;
        ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
        while (!deadline.hasExpired() && server_.state() == QProcess::Running) {
            const ssize_t got = ::read(fds[0], &c, 1);
            if (got == 1) {
                if (c == '\n')
                    break;
                number += c;
            } else if (got == 0) {
                break;
            } else {
                server_.waitForFinished(20);
            }
        }
    }
    ::close(fds[0]);
    if (number.isEmpty()) {
        failure_ = QStringLiteral("Xvfb did not start");
        server_.kill();
        server_.waitForFinished(5000);
        return;
    }
    display_ = QStringLiteral(":") + QString::fromLatin1(number);
}

XvfbServer::~XvfbServer()
{
    if (server_.state() == QProcess::NotRunning)
        return;
    server_.terminate();
    if (!server_.waitForFinished(10000)) {
        server_.kill();
        server_.waitForFinished(5000);
    }
}

QProcessEnvironment XvfbServer::environment(QProcessEnvironment base) const
{
    base.insert(QStringLiteral("DISPLAY"), display_);
    base.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    base.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return base;
}

QByteArray XvfbServer::run(const QString& program, const QStringList& arguments,
                           int timeoutMs) const
{
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty())
        return {};
    QProcess process;
    process.setProcessEnvironment(environment(QProcessEnvironment::systemEnvironment()));
    process.start(path, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}
