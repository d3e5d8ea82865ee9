#pragma once

// A private D-Bus session bus for tests, with a desktop notification service that the test
// process itself registers on it and that records every notification it is sent.

#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariantMap>

// dbus-daemon started for the test. start() points this process's session bus at it: call it
// before anything uses the session bus.
class PrivateSessionBus
{
public:
    ~PrivateSessionBus();
    bool start();
    const QString& address() const { return address_; }
    // Stops and continues the daemon (SIGSTOP, SIGCONT): while it is stopped, nothing sent on
    // the bus is answered.
    bool pause();
    bool resume();

private:
    QTemporaryFile config_;
    QProcess daemon_;
    QString address_;
};

// The "image-data" hint as received.
struct ImageHint
{
    int width = 0;
    int height = 0;
    int rowStride = 0;
    bool hasAlpha = false;
    int bitsPerSample = 0;
    int channels = 0;
    QByteArray data;
};

class FakeNotificationService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notification
    {
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = -1;
        uint id = 0; // as answered
    };

    // Connects to the bus at address on a connection of its own.
    explicit FakeNotificationService(const QString& address);
    ~FakeNotificationService() override;

    // Takes or gives up the service name on the bus.
    bool registerService();
    void unregisterService();

    // The user's doings, sent as the service's signals.
    void invokeAction(uint id, const QString& actionKey);
    void closeByUser(uint id);

    static ImageHint imageHint(const QVariantMap& hints);

    QList<Notification> received;
    bool failNext = false; // the next Notify is answered with an error

public Q_SLOTS:
    uint Notify(const QString& app_name, uint replaces_id, const QString& app_icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int expire_timeout);
    void CloseNotification(uint id);
    QStringList GetCapabilities();
    QString GetServerInformation(QString& vendor, QString& version, QString& spec_version);

private:
    QDBusConnection connection_;
    uint nextId_ = 100;
};
