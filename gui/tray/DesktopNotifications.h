#pragma once

// Notifications through the desktop's notification service, org.freedesktop.Notifications on
// the session bus. Each notification stays until the user closes it (an alarm must not vanish
// unseen) and offers the default action, a click on it.
//
// Nothing here waits for the bus: whether the service is there is learnt once at start (its
// name's owner and the names the bus can start) and then followed as the name changes hands,
// and each Notify goes out as an asynchronous call. A notification that is to replace the
// previous one while that one's call is still on its way waits for its answer (the
// notification's ID) and then replaces it.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariantList>
#include <functional>
#include <optional>

class DesktopNotifications : public QObject
{
    Q_OBJECT
public:
    static const QString kService;
    static const QString kPath;
    static const QString kInterface;

    // What is known of the notification service on the bus.
    enum class Service
    {
        Unknown, // the first answers of the bus are still on their way
        Present, // running, or a service the bus starts on demand
        Missing
    };

    explicit DesktopNotifications(QDBusConnection bus, QObject* parent = nullptr);

    Service service() const;
    // Whether a notification service is known to be on the bus, running or started on demand.
    bool isServiceAvailable() const { return service() == Service::Present; }

    // Shows a notification from appName with the picture; with replacePrevious it takes the
    // place of the last one shown.
    void notify(const QString& appName, const QString& summary, const QString& body,
                const QImage& picture, bool replacePrevious);

signals:
    // The user clicked one of our notifications.
    void activated();
    // The service did not take the notification; the caller shows it some other way.
    void failed(const QString& summary, const QString& body);
    // The service came or went (also once when the first answers settle what it is).
    void serviceAvailableChanged(bool available);

private Q_SLOTS:
    // Names and arguments as the service's signals carry them (connected by name), and the
    // message itself, whose sender must be the service's present owner.
    void onActionInvoked(uint id, const QString& actionKey, const QDBusMessage& message);
    void onNotificationClosed(uint id, uint reason, const QDBusMessage& message);

private:
    struct Notification
    {
        QString appName;
        QString summary;
        QString body;
        QImage picture;
        bool replacePrevious = false;
    };

    void send(const Notification& notification);
    void sendNextQueued();
    // Calls a method of the bus daemon itself; answer gets the reply (or the error).
    void askBus(const QString& method, const QVariantList& arguments,
                const std::function<void(const QDBusMessage&)>& answer);
    void setServiceFacts(std::optional<QString> owner, std::optional<bool> activatable);
    bool fromService(const QDBusMessage& message) const;

    QDBusConnection bus_;
    // Unknown until the bus answers. owner_ is the unique name of the running service (empty
    // when none runs); the set of services the bus may start is read once.
    std::optional<QString> owner_;
    std::optional<bool> activatable_;
    bool inFlight_ = false;
    QList<Notification> queued_;
    uint lastId_ = 0;
    QSet<uint> shown_; // our notifications the service still shows
};
