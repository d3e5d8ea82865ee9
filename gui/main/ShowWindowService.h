#pragma once

// The main window's "show" offered on the user's session bus, for `quillbox --show` (a desktop
// shortcut, a script): every program takes the bus name of its database
// (core/settings/InstanceName.h) and shows its window when asked, as the tray's "Open" does. A
// second program on the same database finds the name taken and runs on without it; the first
// one keeps answering.

#include <QDBusConnection>
#include <QObject>
#include <QString>

class ShowWindowService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quillbox.Quillbox.MainWindow")
public:
    static inline const QString kObjectPath = QStringLiteral("/MainWindow");
    static inline const QString kInterface = QStringLiteral("org.quillbox.Quillbox.MainWindow");

    explicit ShowWindowService(QObject* parent = nullptr);
    ~ShowWindowService() override;

    // Offers Show under serviceName on bus; false when there is no bus or another program holds
    // the name (the log says which).
    bool offer(const QDBusConnection& bus, const QString& serviceName);

    // Asks the program that holds serviceName on bus to show its window; true once it has
    // answered, false when no program holds the name or it did not answer within timeoutMs.
    static bool askToShow(const QDBusConnection& bus, const QString& serviceName,
                          int timeoutMs = 10000);

public Q_SLOTS:
    Q_SCRIPTABLE void Show();

Q_SIGNALS:
    void showRequested();

private:
    QDBusConnection bus_{QString()};
    QString serviceName_;
};
