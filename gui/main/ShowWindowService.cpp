#include "gui/main/ShowWindowService.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QLoggingCategory>

namespace {
// Informational lines only when asked for (QT_LOGGING_RULES="quillbox.show.info=true").
Q_LOGGING_CATEGORY(lcShow, "quillbox.show", QtWarningMsg)
} // namespace

ShowWindowService::ShowWindowService(QObject* parent) : QObject(parent) {}

ShowWindowService::~ShowWindowService()
{
    if (serviceName_.isEmpty())
        return;
    bus_.unregisterObject(kObjectPath);
    bus_.unregisterService(serviceName_);
}

bool ShowWindowService::offer(const QDBusConnection& bus, const QString& serviceName)
{
    if (!bus.isConnected()) {
        qCInfo(lcShow) << "no session bus: --show cannot reach this program";
        return false;
    }
    QDBusConnection connection = bus;
    // The object first: a caller that sees the name can call it at once.
    if (!connection.registerObject(kObjectPath, this, QDBusConnection::ExportScriptableSlots)) {
        qCWarning(lcShow) << "cannot offer" << kObjectPath << "on the session bus";
        return false;
    }
    if (!connection.registerService(serviceName)) {
        connection.unregisterObject(kObjectPath);
        qCInfo(lcShow).noquote() << "another program of this database holds" << serviceName
                                 << "and answers --show";
        return false;
    }
    bus_ = connection;
    serviceName_ = serviceName;
    return true;
}

bool ShowWindowService::askToShow(const QDBusConnection& bus, const QString& serviceName,
                                  int timeoutMs)
{
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(serviceName, kObjectPath, kInterface,
                                                       QStringLiteral("Show"));
    // Nothing is to be started by the bus: the caller starts the program itself.
    call.setAutoStartService(false);
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    qCInfo(lcShow).noquote() << "no running program answered at" << serviceName << ":"
                             << reply.errorName();
    return false;
}

void ShowWindowService::Show()
{
    Q_EMIT showRequested();
}
