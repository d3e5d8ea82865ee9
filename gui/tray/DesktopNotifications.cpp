#include "gui/tray/DesktopNotifications.h"

#include "core/text/NotificationMarkup.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

const QString DesktopNotifications::kService = QStringLiteral("org.freedesktop.Notifications");
const QString DesktopNotifications::kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString DesktopNotifications::kInterface = QStringLiteral("org.freedesktop.Notifications");

namespace {

const QString kDefaultAction = QStringLiteral("default");
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
    if (!bus_.isConnected())
        return;
    bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                 SLOT(onActionInvoked(uint, QString)));
    bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                 SLOT(onNotificationClosed(uint, uint)));
}

bool DesktopNotifications::isServiceAvailable() const
{
    if (!bus_.isConnected() || !bus_.interface())
        return false;
    QDBusConnectionInterface* daemon = bus_.interface();
    if (daemon->isServiceRegistered(kService).value())
        return true;
    const QDBusReply<QStringList> activatable = daemon->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(kService);
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

void DesktopNotifications::onActionInvoked(uint id, const QString& actionKey)
{
    if (actionKey == kDefaultAction && shown_.contains(id))
        emit activated();
}

void DesktopNotifications::onNotificationClosed(uint id, uint)
{
    shown_.remove(id);
}
