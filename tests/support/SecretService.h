#pragma once

// A Secret Service of the test's own: GNOME's keyring daemon on a private session bus, keeping
// its keyrings in a temporary folder, with its login keyring made and unlocked at start. The
// desktop's secret store of a process that uses this bus is this daemon and nothing else: the
// user's own keyring is never touched. Ended with the object.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class SecretService
{
public:
    SecretService();
    ~SecretService();
    SecretService(const SecretService&) = delete;
    SecretService& operator=(const SecretService&) = delete;

    // False when the daemon or the bus could not be started here; whyNot() says why.
    bool isReady() const { return ready_; }
    const QString& whyNot() const { return whyNot_; }

    // Makes this process use the private bus (and so the daemon) as its session bus. Call it
    // before anything in the process first reaches the session bus.
    void useInThisProcess() const;

private:
    bool waitForService();

    bool ready_ = false;
    QString whyNot_;
    QTemporaryDir dir_;
    QString busAddress_;
    QProcess bus_;
    QProcess daemon_;
};
