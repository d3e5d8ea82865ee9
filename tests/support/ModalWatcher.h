#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>

class QWidget;

// Watches for modal windows while a test drives the program. Each plain message box that
// appears is recorded and closed with OK; any other modal window is handed to the handler,
// which must close it (without a handler it is rejected).
class ModalWatcher : public QObject
{
    Q_OBJECT
public:
    explicit ModalWatcher(std::function<void(QWidget*)> handler = {});

    QStringList messages;
    // The button a message box that offers it is answered with (a question's Yes, No or
    // Cancel); a box without it is closed with OK as before.
    int answer = 0;

private:
    void poll();

    std::function<void(QWidget*)> handler_;
    QTimer timer_;
    QPointer<QWidget> handled_;
};
