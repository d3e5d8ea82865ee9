#include "gui/tray/DesktopNotifications.h"

#include "core/text/NotificationMarkup.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QVariantMap>

const QString DesktopNotifications::kService = QStringLiteral("org.freedesktop.Notifications");
const QString DesktopNotifications::kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString DesktopNotifications::kInterface = QStringLiteral("org.freedesktop.Notifications");

namespace {

const QString kDefaultAction = QStringLiteral("default");
const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
constexpr int kNeverExpires = 0;

// The "image-data" hint: width, height, row stride, alpha, bits per sample, channels, and
// the pixels as RGBA bytes (signature (iiibiiay)).
QVariant imageData(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGBA8888);
    QDBusArgument argument;
    argument.beginStructure();
    argument << image.width() << image.height() << int(image.bytesPerLine()) << true << 8 << 4
             << QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
    argument.endStructure();
    return QVariant::fromValue(argument);
}

} // namespace

DesktopNotifications::DesktopNotifications(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus))
{
    if (!bus_.isConnected()) {
        owner_ = QString();
        activatable_ = false;
        return;
    }
    // The service's signals are taken from any sender and checked against the owner this
    // object follows: naming the service here would have Qt ask the bus for its owner and
    // wait for the answer.
    bus_.connect(QString(), kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                 SLOT(onActionInvoked(uint, QString, QDBusMessage)));
    bus_.connect(QString(), kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                 SLOT(onNotificationClosed(uint, uint, QDBusMessage)));

    // The watch is set up before the question goes out, and the bus delivers its messages in
    // order: whichever of the answer and a change of owner arrives last is the newer news.
    auto* watcher =
        new QDBusServiceWatcher(kService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) {
                setServiceFacts(newOwner, activatable_);
            });
    askBus(QStringLiteral("GetNameOwner"), {kService}, [this](const QDBusMessage& reply) {
        // The error of a name nobody owns (NameHasNoOwner) also means none runs.
        const bool owned = reply.type() == QDBusMessage::ReplyMessage;
        setServiceFacts(owned ? reply.arguments().value(0).toString() : QString(), activatable_);
    });
    askBus(QStringLiteral("ListActivatableNames"), {}, [this](const QDBusMessage& reply) {
        const bool activatable = reply.type() == QDBusMessage::ReplyMessage &&
                                 reply.arguments().value(0).toStringList().contains(kService);
        setServiceFacts(owner_, activatable);
    });
}

void DesktopNotifications::askBus(const QString& method, const QVariantList& arguments,
                                  const std::function<void(const QDBusMessage&)>& answer)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kBusService, kBusPath, kBusService, method);
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [answer](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                answer(finished->reply());
            });
}

void DesktopNotifications::setServiceFacts(std::optional<QString> owner,
                                           std::optional<bool> activatable)
{
    const Service before = service();
    owner_ = std::move(owner);
    activatable_ = activatable;
    const Service now = service();
    if (now != before && now != Service::Unknown)
        emit serviceAvailableChanged(now == Service::Present);
}

DesktopNotifications::Service DesktopNotifications::service() const
{
    const bool running = owner_.has_value() && !owner_->isEmpty();
    if (running || activatable_.value_or(false))
        return Service::Present;
    if (owner_.has_value() && activatable_.has_value())
        return Service::Missing;
    return Service::Unknown;
}

bool DesktopNotifications::fromService(const QDBusMessage& message) const
{
    return owner_.has_value() && !owner_->isEmpty() && message.service() == *owner_;
}

void DesktopNotifications::notify(const QString& appName, const QString& summary,
                                  const QString& body, const QImage& picture, bool replacePrevious)
{
    const Notification notification{appName, summary, body, picture, replacePrevious};
    if (!inFlight_) {
        send(notification);
        return;
    }
    // Only the newest of a run of replacements needs to be shown.
    if (replacePrevious && !queued_.isEmpty()) {
        const bool replaces = queued_.last().replacePrevious;
        queued_.last() = notification;
        queued_.last().replacePrevious = replaces;
    } else {
        queued_.append(notification);
    }
}

void DesktopNotifications::send(const Notification& notification)
{
    QVariantMap hints;
    if (!notification.picture.isNull())
        hints.insert(QStringLiteral("image-data"), imageData(notification.picture));
    const uint replacesId = notification.replacePrevious && shown_.contains(lastId_) ? lastId_ : 0;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // The service renders markup in the body (the summary is plain text); escaped, the body
    // shows as written. A notification the service refuses goes on unescaped to the
    // plain-text fallback.
    call << notification.appName << replacesId << QString() << notification.summary
         << notification_markup::escaped(notification.body)
         << QStringList{kDefaultAction, QStringLiteral("Open")} << hints << kNeverExpires;
    inFlight_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, notification](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                const QDBusPendingReply<uint> reply = *finished;
                inFlight_ = false;
                if (reply.isError()) {
                    // Nothing of ours to replace: what follows is shown afresh.
                    lastId_ = 0;
                    emit failed(notification.summary, notification.body);
                } else {
                    lastId_ = reply.value();
                    shown_.insert(lastId_);
                }
                sendNextQueued();
            });
}

void DesktopNotifications::sendNextQueued()
{
    if (inFlight_ || queued_.isEmpty())
        return;
    send(queued_.takeFirst());
}

void DesktopNotifications::onActionInvoked(uint id, const QString& actionKey,
                                           const QDBusMessage& message)
{
    if (fromService(message) && actionKey == kDefaultAction && shown_.contains(id))
        emit activated();
}

void DesktopNotifications::onNotificationClosed(uint id, uint, const QDBusMessage& message)
{
    if (fromService(message))
        shown_.remove(id);
}
