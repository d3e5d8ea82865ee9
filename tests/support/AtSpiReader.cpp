#include "support/AtSpiReader.h"

#include "support/XDesktop.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace {

const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
constexpr int kCallTimeoutMs = 10000;
// Deep enough for a main window's widgets; a list's cells are not searched.
constexpr int kDepth = 12;

} // namespace

AtSpiReader::AtSpiReader(const XDesktop& desktop)
    : connectionName_(QStringLiteral("atspi-reader-%1").arg(quintptr(this)))
{
    const QString sessionAddress =
        desktop.environment().value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    const QString sessionName = connectionName_ + QStringLiteral("-session");
    QString address;
    {
        QDBusConnection session = QDBusConnection::connectToBus(sessionAddress, sessionName);
        if (!session.isConnected()) {
            whyNot_ = QStringLiteral("no session bus at %1").arg(sessionAddress);
            QDBusConnection::disconnectFromBus(sessionName);
            return;
        }
        // Asking for the address starts the accessibility bus (at-spi-bus-launcher).
        const QDBusMessage reply =
            session.call(QDBusMessage::createMethodCall(
                             QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                             QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")),
                         QDBus::Block, kCallTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            address = reply.arguments().first().toString();
        else
            whyNot_ = QStringLiteral("no accessibility bus: %1").arg(reply.errorMessage());
    }
    QDBusConnection::disconnectFromBus(sessionName);
    if (address.isEmpty())
        return;
    bus_.emplace(QDBusConnection::connectToBus(address, connectionName_));
    if (!bus_->isConnected()) {
        whyNot_ = QStringLiteral("the accessibility bus at %1 did not answer").arg(address);
        return;
    }
    ready_ = true;
}

AtSpiReader::~AtSpiReader()
{
    bus_.reset();
    QDBusConnection::disconnectFromBus(connectionName_);
}

QProcessEnvironment AtSpiReader::programEnvironment(const XDesktop& desktop)
{
    QProcessEnvironment env = desktop.environment();
    env.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    return env;
}

QList<AtSpiReader::Object> AtSpiReader::children(const Object& object) const
{
    const QDBusMessage reply =
        bus_->call(QDBusMessage::createMethodCall(object.service, object.path, kAccessible,
                                                  QStringLiteral("GetChildren")),
                   QDBus::Block, kCallTimeoutMs);
    QList<Object> result;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return result;
    const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString service;
        QDBusObjectPath path;
        list.beginStructure();
        list >> service >> path;
        list.endStructure();
        result.append({service, path.path()});
    }
    list.endArray();
    return result;
}

QString AtSpiReader::name(const Object& object) const
{
    const QDBusMessage reply =
        bus_->call(QDBusMessage::createMethodCall(object.service, object.path,
                                                  QStringLiteral("org.freedesktop.DBus.Properties"),
                                                  QStringLiteral("Get"))
                       << kAccessible << QStringLiteral("Name"),
                   QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().value<QDBusVariant>().variant().toString();
}

QString AtSpiReader::roleName(const Object& object) const
{
    const QDBusMessage reply =
        bus_->call(QDBusMessage::createMethodCall(object.service, object.path, kAccessible,
                                                  QStringLiteral("GetRoleName")),
                   QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().first().toString();
}

std::optional<AtSpiReader::Object> AtSpiReader::find(const Object& from, const QString& objectName,
                                                     int depth) const
{
    if (depth == 0)
        return std::nullopt;
    for (const Object& child : children(from)) {
        if (name(child) == objectName)
            return child;
        if (const std::optional<Object> found = find(child, objectName, depth - 1))
            return found;
    }
    return std::nullopt;
}

std::optional<QStringList> AtSpiReader::itemNames(qint64 pid, const QString& objectName) const
{
    if (!ready_)
        return std::nullopt;
    const Object registry{QStringLiteral("org.a11y.atspi.Registry"),
                          QStringLiteral("/org/a11y/atspi/accessible/root")};
    for (const Object& application : children(registry)) {
        if (bus_->interface()->servicePid(application.service).value() != pid)
            continue;
        const std::optional<Object> object = find(application, objectName, kDepth);
        if (!object)
            return std::nullopt;
        QStringList names;
        for (const Object& item : children(*object)) {
            if (!roleName(item).contains(QStringLiteral("header")))
                names.append(name(item));
        }
        return names;
    }
    return std::nullopt;
}
