#include "support/FirebirdServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

const char kPassword[] = "ironbirch";

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

bool writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

FirebirdServer::FirebirdServer()
    : dir_(QDir::tempPath() + QStringLiteral("/quillbox-server-XXXXXX"))
{}

FirebirdServer::~FirebirdServer()
{
    stop();
}

QString FirebirdServer::prefix() const
{
    return QStringLiteral("127.0.0.1/%1:").arg(port_);
}

QString FirebirdServer::dataDirectory() const
{
    return dir_.path() + QStringLiteral("/data");
}

bool FirebirdServer::isRunning() const
{
    return process_.state() != QProcess::NotRunning;
}

bool FirebirdServer::prepare(QString* why)
{
    const QString server = QStringLiteral(QUILLBOX_FIREBIRD_SERVER);
    if (server.isEmpty() || !QFileInfo(server).isExecutable()) {
        *why = QStringLiteral("the Firebird server binary is not installed (package "
                              "firebird3.0-server)");
        return false;
    }
    if (!dir_.isValid()) {
        *why = QStringLiteral("no temporary folder");
        return false;
    }
    const QString root = dir_.path() + QStringLiteral("/root");
    const QString systemRoot = QStringLiteral(QUILLBOX_FIREBIRD_ROOT);
    for (const QString& folder :
         QStringList{root, dir_.path() + QStringLiteral("/lock"),
                     dir_.path() + QStringLiteral("/tmp"), dataDirectory()}) {
        if (!QDir().mkpath(folder)) {
            *why = QStringLiteral("cannot make ") + folder;
            return false;
        }
    }
    for (const char* name : {"plugins", "intl", "firebird.msg", "plugins.conf", "lib", "UDF"}) {
        const QString target = systemRoot + QLatin1Char('/') + QLatin1String(name);
        if (QFileInfo::exists(target))
            QFile::link(target, root + QLatin1Char('/') + QLatin1String(name));
    }
    port_ = freePort();
    if (port_ == 0) {
        *why = QStringLiteral("no free port on 127.0.0.1");
        return false;
    }
    const QString security = dir_.path() + QStringLiteral("/security3.fdb");
    const QByteArray conf = QStringLiteral("RemoteServicePort = %1\n"
                                           "RemoteBindAddress = 127.0.0.1\n"
                                           "SecurityDatabase = %2\n"
                                           "ServerMode = Super\n")
                                .arg(port_)
                                .arg(security)
                                .toUtf8();
    if (!writeText(root + QStringLiteral("/firebird.conf"), conf) ||
        !writeText(root + QStringLiteral("/databases.conf"), {})) {
        *why = QStringLiteral("cannot write the server's configuration");
        return false;
    }

    // The security database, made by the embedded engine under this configuration.
    const QString script = dir_.path() + QStringLiteral("/security.sql");
    writeText(script, QStringLiteral("CREATE DATABASE '%1' USER SYSDBA;\n"
                                     "CREATE USER SYSDBA PASSWORD '%2' USING PLUGIN Srp;\n"
                                     "COMMIT;\n")
                          .arg(security, QLatin1String(kPassword))
                          .toUtf8());
    QProcess isql;
    isql.setProcessEnvironment(process_.processEnvironment());
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral(QUILLBOX_ISQL),
               {QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("-i"), script});
    if (!isql.waitForFinished(60000) || isql.exitCode() != 0) {
        *why = QStringLiteral("cannot make the security database: ") +
               QString::fromLocal8Bit(isql.readAll());
        return false;
    }
    return true;
}

bool FirebirdServer::launch(QString* why)
{
    process_.setProgram(QStringLiteral(QUILLBOX_FIREBIRD_SERVER));
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start();
    if (!process_.waitForStarted(30000)) {
        *why = QStringLiteral("the server did not start: ") + process_.errorString();
        return false;
    }
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired()) {
        if (process_.state() == QProcess::NotRunning) {
            *why = QStringLiteral("the server ended at once: ") +
                   QString::fromLocal8Bit(process_.readAll());
            return false;
        }
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, quint16(port_));
        if (probe.waitForConnected(1000))
            return true;
        QThread::msleep(100);
    }
    *why = QStringLiteral("the server does not answer on port %1").arg(port_);
    stop();
    return false;
}

bool FirebirdServer::start(QString* why)
{
    QString reason;
    if (!why)
        why = &reason;
    if (isRunning())
        return true;
    if (!prepared_) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("FIREBIRD"), dir_.path() + QStringLiteral("/root"));
        env.insert(QStringLiteral("FIREBIRD_LOCK"), dir_.path() + QStringLiteral("/lock"));
        env.insert(QStringLiteral("FIREBIRD_TMP"), dir_.path() + QStringLiteral("/tmp"));
        process_.setProcessEnvironment(env);
        if (!prepare(why))
            return false;
        prepared_ = true;
    }
    return launch(why);
}

void FirebirdServer::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(30000)) {
        process_.kill();
        process_.waitForFinished(10000);
    }
}
