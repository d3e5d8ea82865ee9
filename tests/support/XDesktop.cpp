#include "support/XDesktop.h"

#include "support/BareSessionBus.h"
#include "support/XwdImage.h"

#include <QDebug>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QThread>
#include <functional>

XDesktop::XDesktop(Options options)
{
    for (const char* tool : {"Xvfb", "dbus-daemon", "dbus-monitor", "dbus-send", "openbox",
                             "xdotool", "xprop", "xdpyinfo", "xwininfo", "xwd"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            whyNot_ = QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
            return;
        }
    }
    server_ = std::make_unique<XvfbServer>();
    if (!server_->isRunning()) {
        whyNot_ = server_->failure();
        return;
    }
    display_ = server_->display();

    // The session bus: its address is the first line the daemon prints.
    // A desktop without a notification daemon must not have the bus start one on demand:
    // the session configuration names the installed services (dunst's among them), so that
    // bus runs on a configuration that names none.
    QStringList busArguments{QStringLiteral("--session")};
    if (!options.notifications) {
        busConfig_ = std::make_unique<QTemporaryFile>();
        if (!busConfig_->open()) {
            whyNot_ = QStringLiteral("no bus configuration could be written");
            return;
        }
        busConfig_->write(bareSessionBusConfig());
        busConfig_->close();
        busArguments = QStringList{QStringLiteral("--config-file=") + busConfig_->fileName()};
    }
    auto bus = std::make_unique<QProcess>();
    bus->setProcessEnvironment(environment());
    bus->start(QStringLiteral("dbus-daemon"),
               busArguments +
                   QStringList{QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!bus->waitForStarted(10000) || !waitFor(
                                           [&] {
                                               bus->waitForReadyRead(100);
                                               busAddress_ =
                                                   QString::fromUtf8(bus->readLine()).trimmed();
                                               return !busAddress_.isEmpty();
                                           },
                                           10000)) {
        whyNot_ = QStringLiteral("the session bus did not start");
        return;
    }
    parts_.push_back(std::move(bus));

    if (!startPart(QStringLiteral("openbox"), QStringLiteral("openbox"),
                   {QStringLiteral("--sm-disable")}) ||
        !waitFor(
            [this] {
                return run(QStringLiteral("xprop"),
                           {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                    .contains(QStringLiteral("window id"));
            },
            30000)) {
        whyNot_ =
            QStringLiteral("the window manager did not start on %1 (%2):%3")
                .arg(display_, run(QStringLiteral("xprop"), {QStringLiteral("-root")}).left(600),
                     partReport());
        return;
    }

    if (options.tray && !startTray())
        return;

    // Everything sent to the notification service, as it was sent.
    auto monitor = std::make_unique<QProcess>();
    monitor->setProcessEnvironment(environment());
    monitor->start(
        QStringLiteral("dbus-monitor"),
        {QStringLiteral("--session"), QStringLiteral("interface='org.freedesktop.Notifications'")});
    if (!monitor->waitForStarted(10000)) {
        whyNot_ = QStringLiteral("dbus-monitor did not start");
        return;
    }
    monitor_ = monitor.get();
    parts_.push_back(std::move(monitor));

    if (options.notifications) {
        if (QStandardPaths::findExecutable(QStringLiteral("dunst")).isEmpty()) {
            whyNot_ = QStringLiteral("dunst is not installed");
            return;
        }
        if (!startPart(QStringLiteral("dunst"), QStringLiteral("dunst"), {}) ||
            !waitFor(
                [this] {
                    return run(QStringLiteral("dbus-send"),
                               {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                QStringLiteral("--dest=org.freedesktop.DBus"),
                                QStringLiteral("/org/freedesktop/DBus"),
                                QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                                QStringLiteral("string:org.freedesktop.Notifications")})
                        .contains(QStringLiteral("boolean true"));
                },
                30000)) {
            whyNot_ = QStringLiteral("the notification daemon did not start on %1:%2")
                          .arg(display_, partReport());
            return;
        }
    }
    ready_ = true;
}

XDesktop::~XDesktop()
{
    // The X server last (server_ is destroyed after this body): the others end when they lose
    // it anyway.
    for (auto it = parts_.rbegin(); it != parts_.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(3000)) {
            (*it)->kill();
            (*it)->waitForFinished(3000);
        }
    }
}

bool XDesktop::startTray()
{
    if (QStandardPaths::findExecutable(QStringLiteral("trayer")).isEmpty()) {
        whyNot_ = QStringLiteral("trayer is not installed");
        return false;
    }
    if (!startPart(QStringLiteral("trayer"), QStringLiteral("trayer"),
                   {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"),
                    QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                    QStringLiteral("--width"), QStringLiteral("120"),
                    QStringLiteral("--heighttype"), QStringLiteral("pixel"),
                    QStringLiteral("--height"), QStringLiteral("24")}) ||
        !waitFor([this] { return !windows(QStringLiteral("^panel$"), false).isEmpty(); }, 30000)) {
        whyNot_ =
            QStringLiteral("the system tray did not start on %1:%2").arg(display_, partReport());
        return false;
    }
    return true;
}

bool XDesktop::startStatusNotifierPanel()
{
    const QString settingsDaemon = QStringLiteral("/usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd");
    if (QStandardPaths::findExecutable(QStringLiteral("xfce4-panel")).isEmpty() ||
        !QFile::exists(settingsDaemon)) {
        whyNot_ = QStringLiteral("xfce4-panel is not installed");
        return false;
    }
    // The panel's settings, cache and data in a folder of its own: one panel along the top
    // edge with the status tray.
    panelHome_ = std::make_unique<QTemporaryDir>();
    const QString channels =
        panelHome_->path() + QStringLiteral("/config/xfce4/xfconf/xfce-perchannel-xml");
    QDir().mkpath(channels);
    QFile settings(channels + QStringLiteral("/xfce4-panel.xml"));
    if (!settings.open(QIODevice::WriteOnly)) {
        whyNot_ = QStringLiteral("the panel's settings could not be written");
        return false;
    }
    settings.write(R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="32"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
    </property>
    <property name="plugin-2" type="string" value="systray">
      <property name="icon-size" type="int" value="24"/>
    </property>
  </property>
</channel>
)");
    settings.close();
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), panelHome_->path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), panelHome_->path() + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), panelHome_->path() + QStringLiteral("/data"));
    // The bus starts no service on demand for it: the settings daemon first, by hand.
    if (!startPart(QStringLiteral("xfconfd"), settingsDaemon, {}, env) ||
        !startPart(QStringLiteral("xfce4-panel"), QStringLiteral("xfce4-panel"),
                   {QStringLiteral("--disable-wm-check")}, env) ||
        !waitFor(
            [this] {
                return run(QStringLiteral("dbus-send"),
                           {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                            QStringLiteral("--dest=org.kde.StatusNotifierWatcher"),
                            QStringLiteral("/StatusNotifierWatcher"),
                            QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                            QStringLiteral("string:org.kde.StatusNotifierWatcher"),
                            QStringLiteral("string:IsStatusNotifierHostRegistered")})
                    .contains(QStringLiteral("boolean true"));
            },
            30000)) {
        whyNot_ = QStringLiteral("the status-notifier panel did not start on %1:%2")
                      .arg(display_, partReport());
        return false;
    }
    return true;
}

QStringList XDesktop::statusNotifierItems() const
{
    const QString reply = run(QStringLiteral("dbus-send"),
                              {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                               QStringLiteral("--dest=org.kde.StatusNotifierWatcher"),
                               QStringLiteral("/StatusNotifierWatcher"),
                               QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                               QStringLiteral("string:org.kde.StatusNotifierWatcher"),
                               QStringLiteral("string:RegisteredStatusNotifierItems")});
    QStringList items;
    const QRegularExpression item(QStringLiteral("string \"([^\"]+)\""));
    for (auto it = item.globalMatch(reply); it.hasNext();)
        items << it.next().captured(1);
    return items;
}

bool XDesktop::activateStatusNotifierItem(const QString& item) const
{
    const qsizetype slash = item.indexOf(QLatin1Char('/'));
    if (slash <= 0)
        return false;
    return !run(QStringLiteral("dbus-send"),
                {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                 QStringLiteral("--dest=") + item.left(slash), item.mid(slash),
                 QStringLiteral("org.kde.StatusNotifierItem.Activate"), QStringLiteral("int32:0"),
                 QStringLiteral("int32:0")})
                .isNull();
}

bool XDesktop::clickStatusNotifierMenu(const QString& item, const QString& label) const
{
    const qsizetype slash = item.indexOf(QLatin1Char('/'));
    if (slash <= 0)
        return false;
    const QString destination = QStringLiteral("--dest=") + item.left(slash);
    const QString menuReply =
        run(QStringLiteral("dbus-send"),
            {QStringLiteral("--session"), QStringLiteral("--print-reply"), destination,
             item.mid(slash), QStringLiteral("org.freedesktop.DBus.Properties.Get"),
             QStringLiteral("string:org.kde.StatusNotifierItem"), QStringLiteral("string:Menu")});
    const QRegularExpressionMatch menu =
        QRegularExpression(QStringLiteral("object path \"([^\"]+)\"")).match(menuReply);
    if (!menu.hasMatch())
        return false;
    const QString layout =
        run(QStringLiteral("dbus-send"),
            {QStringLiteral("--session"), QStringLiteral("--print-reply"), destination,
             menu.captured(1), QStringLiteral("com.canonical.dbusmenu.GetLayout"),
             QStringLiteral("int32:0"), QStringLiteral("int32:-1"),
             QStringLiteral("array:string:label")});
    // Each entry is a structure of its id, its properties and its children: the id of a label
    // is the last one opened before it.
    const QRegularExpression labelled(
        QStringLiteral("string \"label\"\\s+variant\\s+string \"([^\"]*)\""));
    const QRegularExpression id(QStringLiteral("struct \\{\\s+int32 (-?\\d+)"));
    for (auto it = labelled.globalMatch(layout); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        // Mnemonic marks travel as underscores.
        if (QString(match.captured(1)).remove(QLatin1Char('_')) != label)
            continue;
        QString entryId;
        for (auto ids = id.globalMatch(layout.left(match.capturedStart())); ids.hasNext();)
            entryId = ids.next().captured(1);
        if (entryId.isEmpty())
            return false;
        return !run(QStringLiteral("dbus-send"),
                    {QStringLiteral("--session"), QStringLiteral("--print-reply"), destination,
                     menu.captured(1), QStringLiteral("com.canonical.dbusmenu.Event"),
                     QStringLiteral("int32:") + entryId, QStringLiteral("string:clicked"),
                     QStringLiteral("variant:int32:0"), QStringLiteral("uint32:0")})
                    .isNull();
    }
    qWarning().noquote() << "no menu entry" << label << "in" << menuReply << layout;
    return false;
}

bool XDesktop::startPart(const QString& name, const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment.isEmpty() ? this->environment() : environment);
    // Kept to explain a part that does not come up.
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(program, arguments);
    if (!process->waitForStarted(10000)) {
        whyNot_ = QStringLiteral("%1 could not be started").arg(name);
        return false;
    }
    parts_.push_back(std::move(process));
    return true;
}

QString XDesktop::partReport() const
{
    QString report;
    for (const auto& part : parts_) {
        // Without an event loop, a part that has ended is only noticed when asked.
        part->waitForFinished(0);
        report += QStringLiteral("\n  %1: %2 %3")
                      .arg(part->program(),
                           part->state() == QProcess::Running
                               ? QStringLiteral("running")
                               : QStringLiteral("ended with %1").arg(part->exitCode()),
                           QString::fromLocal8Bit(part->readAll()).trimmed().right(400));
    }
    return report;
}

bool XDesktop::waitFor(const std::function<bool()>& condition, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

QProcessEnvironment XDesktop::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    if (!busAddress_.isEmpty())
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.remove(QStringLiteral("QT_QPA_OFFSCREEN_NO_GLX"));
    env.remove(QStringLiteral("FIREBIRD"));
    env.remove(QStringLiteral("FIREBIRD_LOCK"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

QString XDesktop::run(const QString& program, const QStringList& arguments) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    if (!process.waitForFinished(15000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

bool XDesktop::xdotool(const QStringList& arguments) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(15000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QList<quint32> XDesktop::windows(const QString& namePattern, bool visibleOnly) const
{
    QStringList arguments{QStringLiteral("search")};
    if (visibleOnly)
        arguments << QStringLiteral("--onlyvisible");
    arguments << QStringLiteral("--name") << namePattern;
    QList<quint32> found;
    const QString out = run(QStringLiteral("xdotool"), arguments);
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        found << line.trimmed().toUInt();
    return found;
}

quint32 XDesktop::waitForWindow(const QString& namePattern, int timeoutMs) const
{
    quint32 window = 0;
    waitFor(
        [&] {
            const QList<quint32> found = windows(namePattern, true);
            window = found.size() == 1 ? found.first() : 0;
            return window != 0;
        },
        timeoutMs);
    return window;
}

bool XDesktop::waitForNoWindow(const QString& namePattern, int timeoutMs) const
{
    return waitFor([&] { return windows(namePattern, true).isEmpty(); }, timeoutMs);
}

QString XDesktop::caption(quint32 window) const
{
    const QString out =
        run(QStringLiteral("xprop"),
            {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_WM_NAME")});
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("= \"(.*)\"$")).match(out);
    return match.hasMatch() ? match.captured(1) : QString();
}

QRect XDesktop::outerGeometry(quint32 window) const
{
    // xwininfo gives the inside's true position on the screen (xdotool adds the inside's offset
    // in its frame a second time); the window manager's frame extents make it the outer one.
    const QString info =
        run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    auto value = [&](const char* label) {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^\\s*%1:\\s*(-?\\d+)$").arg(QLatin1String(label)),
                               QRegularExpression::MultilineOption)
                .match(info);
        return match.hasMatch() ? match.captured(1).toInt() : 0;
    };
    QRect rect(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
               value("Height"));
    const QString extents =
        run(QStringLiteral("xprop"),
            {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_FRAME_EXTENTS")});
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)")).match(extents);
    if (match.hasMatch())
        rect.adjust(-match.captured(1).toInt(), -match.captured(3).toInt(),
                    match.captured(2).toInt(), match.captured(4).toInt());
    return rect;
}

QStringList XDesktop::allowedActions(quint32 window) const
{
    const QString actions =
        run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                      QStringLiteral("_NET_WM_ALLOWED_ACTIONS")});
    QStringList names;
    const QRegularExpression name(QStringLiteral("_NET_WM_ACTION_(\\w+)"));
    for (auto it = name.globalMatch(actions); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

quint32 XDesktop::activeWindow() const
{
    return run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).toUInt();
}

QList<quint32> XDesktop::trayIcons(const QString& windowClass) const
{
    // A docked icon is the program's window that the tray has taken in: one within the
    // tray's panel. (Qt marks every window of its own for XEmbed, the main window too.)
    QString trays;
    for (const quint32 panel : windows(QStringLiteral("^(panel|xfce4-panel)$"), false))
        trays += run(QStringLiteral("xwininfo"),
                     {QStringLiteral("-tree"), QStringLiteral("-id"), QString::number(panel)});
    const QString out =
        run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--class"),
                                        QStringLiteral("^%1$").arg(windowClass)});
    QList<quint32> icons;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const quint32 id = line.trimmed().toUInt();
        const QRegularExpression inTray(QStringLiteral("\\b0x%1\\b").arg(QString::number(id, 16)));
        if (id != 0 && trays.contains(inTray))
            icons.append(id);
    }
    return icons;
}

quint32 XDesktop::waitForTrayIcon(const QString& windowClass, int timeoutMs) const
{
    quint32 icon = 0;
    waitFor(
        [&] {
            const QList<quint32> icons = trayIcons(windowClass);
            icon = icons.isEmpty() ? 0 : icons.first();
            return icon != 0;
        },
        timeoutMs);
    return icon;
}

QImage XDesktop::grab(quint32 window) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral("xwd"),
                  {QStringLiteral("-silent"), QStringLiteral("-id"), QString::number(window)});
    if (!process.waitForFinished(15000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return {};
    return readXwd(process.readAllStandardOutput());
}

bool XDesktop::click(quint32 window, int button) const
{
    const QString shell =
        run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                        QStringLiteral("--shell"), QString::number(window)});
    const QRegularExpressionMatch width =
        QRegularExpression(QStringLiteral("^WIDTH=(\\d+)$"), QRegularExpression::MultilineOption)
            .match(shell);
    const QRegularExpressionMatch height =
        QRegularExpression(QStringLiteral("^HEIGHT=(\\d+)$"), QRegularExpression::MultilineOption)
            .match(shell);
    if (!width.hasMatch() || !height.hasMatch())
        return false;
    return xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"),
                    QString::number(window), QString::number(width.captured(1).toInt() / 2),
                    QString::number(height.captured(1).toInt() / 2), QStringLiteral("click"),
                    QString::number(button)});
}

QString XDesktop::notificationTraffic() const
{
    if (monitor_) {
        monitor_->waitForReadyRead(50);
        traffic_ += monitor_->readAllStandardOutput();
    }
    return QString::fromUtf8(traffic_);
}
