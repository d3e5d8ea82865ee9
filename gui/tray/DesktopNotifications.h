#pragma once

// Notifications through the desktop's notification service, org.freedesktop.Notifications on
// the session bus. Each notification stays until the user closes it (an alarm must not vanish
// unseen) and offers the default action, a click on it.
//
// Calls go out without blocking the GUI thread. A notification that is to replace the
// previous one while that one's call is still on its way waits for its answer (the
// notification's ID) and then replaces it.

#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class DesktopNotifications : public QObject
{
    Q_OBJECT
public:
    static const QString kService;
    static const QString kPath;
    static const QString kInterface;

    explicit DesktopNotifications(QDBusConnection bus, QObject* parent = nullptr);

    // Whether a notification service is on the bus, running or started on demand.
    bool isServiceAvailable() const;

    // Shows a notification from appName with the picture; with replacePrevious it takes the
    // place of the last one shown.
    void notify(const QString& appName, const QString& summary, const QString& body,
                const QImage& picture, bool replacePrevious);

signals:
    // The user clicked one of our notifications.
    void activated();
    // The service did not take the notification; the caller shows it some other way.
    void failed(const QString& summary, const QString& body);

private Q_SLOTS:
    // Names and arguments as the service's signals carry them (connected by name).
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

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

    QDBusConnection bus_;
    bool inFlight_ = false;
    QList<Notification> queued_;
    uint lastId_ = 0;
    QSet<uint> shown_; // our notifications the service still shows
};
