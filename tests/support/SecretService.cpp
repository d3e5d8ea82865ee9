#include "support/SecretService.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

SecretService::SecretService()
{
    for (const char* tool : {"dbus-daemon", "dbus-send", "gnome-keyring-daemon"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            whyNot_ = QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
            return;
        }
    }
    const QString runtime = dir_.path() + QStringLiteral("/run");
    if (!dir_.isValid() || !QDir().mkpath(runtime) ||
        !QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner)) {
        whyNot_ = QStringLiteral("no private folder for the keyring");
        return;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir_.path() + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("HOME"), dir_.path());
    env.remove(QStringLiteral("DISPLAY"));

    // The bus first: its address is the first line the daemon prints.
    bus_.setProcessEnvironment(env);
    bus_.start(QStringLiteral("dbus-daemon"),
               {QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--print-address")});
    QDeadlineTimer deadline(20000);
    while (busAddress_.isEmpty() && !deadline.hasExpired() &&
           bus_.state() != QProcess::NotRunning) {
        if (bus_.canReadLine() || bus_.waitForReadyRead(200))
            busAddress_ = QString::fromUtf8(bus_.readLine()).trimmed();
    }
    if (busAddress_.isEmpty()) {
        whyNot_ = QStringLiteral("the private session bus did not start");
        return;
    }
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);

    // --unlock reads the login keyring's password from standard input and makes the keyring
    // with it, unlocked, so that nothing asks for a password.
    daemon_.setProcessEnvironment(env);
    daemon_.setProcessChannelMode(QProcess::MergedChannels);
    daemon_.start(QStringLiteral("gnome-keyring-daemon"),
                  {QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                   QStringLiteral("--components=secrets")});
    if (!daemon_.waitForStarted(10000)) {
        whyNot_ = QStringLiteral("gnome-keyring-daemon did not start");
        return;
    }
    daemon_.write("keyring of the test");
    daemon_.closeWriteChannel();
    if (!waitForService()) {
        whyNot_ = QStringLiteral("the keyring's Secret Service did not come up: ") +
                  QString::fromLocal8Bit(daemon_.readAll());
        return;
    }
    ready_ = true;
}

SecretService::~SecretService()
{
    for (QProcess* process : {&daemon_, &bus_}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
}

void SecretService::useInThisProcess() const
{
    qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress_.toUtf8());
    // Desktop names would make the secret store look for the desktop's own (KDE's wallet).
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DESKTOP_SESSION");
    qunsetenv("KDE_FULL_SESSION");
}

bool SecretService::waitForService()
{
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (daemon_.state() == QProcess::NotRunning)
            return false;
        QProcess ask;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
        ask.setProcessEnvironment(env);
        ask.start(QStringLiteral("dbus-send"),
                  {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                   QStringLiteral("--dest=org.freedesktop.DBus"),
                   QStringLiteral("/org/freedesktop/DBus"),
                   QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                   QStringLiteral("string:org.freedesktop.secrets")});
        if (ask.waitForFinished(10000) && ask.readAllStandardOutput().contains("boolean true"))
            return true;
        daemon_.waitForFinished(200);
    }
    return false;
}
