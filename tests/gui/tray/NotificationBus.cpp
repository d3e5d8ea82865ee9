#include "NotificationBus.h"

#include "support/BareSessionBus.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <csignal>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kConnectionName = QStringLiteral("fake-notification-service");
} // namespace

PrivateSessionBus::~PrivateSessionBus()
{
    if (daemon_.state() != QProcess::NotRunning) {
        resume(); // a stopped daemon would not act on the termination
        daemon_.terminate();
        daemon_.waitForFinished(5000);
    }
}

bool PrivateSessionBus::start()
{
    // A bus of its own kind: no service files, so nothing on it but what the test registers.
    if (!config_.open())
        return false;
    config_.write(bareSessionBusConfig());
    config_.close();
    daemon_.setProgram(QStringLiteral("dbus-daemon"));
    daemon_.setArguments({QStringLiteral("--config-file=") + config_.fileName(),
                          QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    daemon_.setProcessChannelMode(QProcess::SeparateChannels);
    daemon_.start();
    if (!daemon_.waitForStarted(10000))
        return false;
    while (!daemon_.canReadLine()) {
        if (!daemon_.waitForReadyRead(10000))
            return false;
    }
    address_ = QString::fromUtf8(daemon_.readLine().trimmed());
    if (address_.isEmpty())
        return false;
    qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
    return true;
}

bool PrivateSessionBus::pause()
{
    return daemon_.state() == QProcess::Running && ::kill(daemon_.processId(), SIGSTOP) == 0;
}

bool PrivateSessionBus::resume()
{
    return daemon_.state() == QProcess::Running && ::kill(daemon_.processId(), SIGCONT) == 0;
}

FakeNotificationService::FakeNotificationService(const QString& address)
    : connection_(QDBusConnection::connectToBus(address, kConnectionName))
{
    connection_.registerObject(kPath, this, QDBusConnection::ExportAllSlots);
}

FakeNotificationService::~FakeNotificationService()
{
    connection_.unregisterObject(kPath);
    QDBusConnection::disconnectFromBus(kConnectionName);
}

bool FakeNotificationService::registerService()
{
    return connection_.isConnected() && connection_.registerService(kService);
}

void FakeNotificationService::unregisterService()
{
    connection_.unregisterService(kService);
}

void FakeNotificationService::invokeAction(uint id, const QString& actionKey)
{
    QDBusMessage signal =
        QDBusMessage::createSignal(kPath, kService, QStringLiteral("ActionInvoked"));
    signal << id << actionKey;
    connection_.send(signal);
}

void FakeNotificationService::closeByUser(uint id)
{
    QDBusMessage signal =
        QDBusMessage::createSignal(kPath, kService, QStringLiteral("NotificationClosed"));
    signal << id << uint(2);
    connection_.send(signal);
}

ImageHint FakeNotificationService::imageHint(const QVariantMap& hints)
{
    ImageHint image;
    const QVariant value = hints.value(QStringLiteral("image-data"));
    if (!value.canConvert<QDBusArgument>())
        return image;
    const QDBusArgument argument = value.value<QDBusArgument>();
    argument.beginStructure();
    argument >> image.width >> image.height >> image.rowStride >> image.hasAlpha >>
        image.bitsPerSample >> image.channels >> image.data;
    argument.endStructure();
    return image;
}

uint FakeNotificationService::Notify(const QString& app_name, uint replaces_id,
                                     const QString& app_icon, const QString& summary,
                                     const QString& body, const QStringList& actions,
                                     const QVariantMap& hints, int expire_timeout)
{
    if (failNext) {
        failNext = false;
        sendErrorReply(QDBusError::Failed, QStringLiteral("the test refused it"));
        return 0;
    }
    uint id = replaces_id;
    bool known = false;
    for (const Notification& n : received)
        known = known || n.id == replaces_id;
    if (replaces_id == 0 || !known)
        id = nextId_++;
    received.append(
        {app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout, id});
    return id;
}

void FakeNotificationService::CloseNotification(uint) {}

QStringList FakeNotificationService::GetCapabilities()
{
    return {QStringLiteral("actions"), QStringLiteral("body"), QStringLiteral("persistence")};
}

QString FakeNotificationService::GetServerInformation(QString& vendor, QString& version,
                                                      QString& spec_version)
{
    vendor = QStringLiteral("Quillbox tests");
    version = QStringLiteral("1");
    spec_version = QStringLiteral("1.2");
    return QStringLiteral("fake");
}
