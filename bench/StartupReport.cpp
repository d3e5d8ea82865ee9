#include "StartupReport.h"

#include "support/XDesktop.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <map>

namespace bench {

double Sample::median() const
{
    if (values.empty())
        return -1;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

double Sample::min() const
{
    return values.empty() ? -1 : *std::min_element(values.begin(), values.end());
}

double Sample::max() const
{
    return values.empty() ? -1 : *std::max_element(values.begin(), values.end());
}

namespace {

qint64 monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A value of /proc/PID/status in megabytes ("VmRSS", "VmHWM"); -1 when missing.
double statusMb(qint64 pid, const QByteArray& key)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(QByteArray(key + ':')))
            return double(line.mid(key.size() + 1).trimmed().split(' ').first().toLongLong()) /
                   1024.0;
    }
    return -1;
}

// What a mapping of the process is, by the file it maps.
QString kindOf(const QString& file)
{
    static const std::vector<std::pair<QRegularExpression, QString>> kinds = {
        {QRegularExpression(QStringLiteral("libLLVM|_dri\\.so|libGL|libEGL|libglapi|libgbm|libdrm|"
                                           "libz3|libvulkan|libsensors|libelf|libxcb-glx")),
         QStringLiteral("OpenGL driver (Mesa, LLVM)")},
        {QRegularExpression(QStringLiteral("libQt6(WebEngine|Quick|Qml|WebChannel|Positioning|"
                                           "OpenGL|PrintSupport)")),
         QStringLiteral("Qt WebEngine and the Qt Quick it needs")},
        {QRegularExpression(QStringLiteral("firebird|libfbclient|libtom")),
         QStringLiteral("Firebird client and embedded engine")},
        {QRegularExpression(QStringLiteral("libicu")), QStringLiteral("ICU")},
        {QRegularExpression(QStringLiteral("libQt6")), QStringLiteral("Other Qt libraries")},
        {QRegularExpression(QStringLiteral("\\.(ttf|otf|ttc|pcf)|fontconfig")),
         QStringLiteral("Fonts")},
        {QRegularExpression(QStringLiteral("^(\\[heap\\]|\\[anon\\]|\\[stack)")),
         QStringLiteral("Heap, stacks and other anonymous memory")},
    };
    for (const auto& [pattern, kind] : kinds) {
        if (pattern.match(file).hasMatch())
            return kind;
    }
    return QStringLiteral("Everything else (the program, libc, X, fontconfig, glib, ...)");
}

std::vector<std::pair<QString, double>> residentByMapping(qint64 pid)
{
    QFile smaps(QStringLiteral("/proc/%1/smaps").arg(pid));
    if (!smaps.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression header(QStringLiteral("^[0-9a-f]+-[0-9a-f]+ "));
    std::map<QString, double> kb;
    QString kind;
    for (const QByteArray& raw : smaps.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (header.match(line).hasMatch()) {
            const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            kind = kindOf(fields.size() > 5 ? fields[5] : QStringLiteral("[anon]"));
        } else if (line.startsWith(QLatin1String("Rss:"))) {
            kb[kind] += line.mid(4).trimmed().split(QLatin1Char(' ')).first().toDouble();
        }
    }
    std::vector<std::pair<QString, double>> result;
    for (const auto& [name, value] : kb)
        result.emplace_back(name, value / 1024.0);
    std::sort(result.begin(), result.end(),
              [](const auto& a, const auto& b) { return a.second > b.second; });
    return result;
}

// Whether a window of the class is docked in the tray and shown: an XEmbed client that the
// tray has taken in (its parent is no longer the root window) and that is viewable.
bool trayIconDocked(const XDesktop& desktop, const QString& windowClass)
{
    const QString found =
        desktop.run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--class"),
                                                QStringLiteral("^%1$").arg(windowClass)});
    for (const QString& line : found.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString info = desktop.run(QStringLiteral("xwininfo"),
                                         {QStringLiteral("-id"), line.trimmed(),
                                          QStringLiteral("-tree"), QStringLiteral("-stats")});
        static const QRegularExpression onRoot(
            QStringLiteral("Parent window id: 0x[0-9a-f]+ \\(the root window\\)"));
        if (!info.contains(QStringLiteral("Map State: IsViewable")) ||
            onRoot.match(info).hasMatch())
            continue;
        if (desktop
                .run(QStringLiteral("xprop"),
                     {QStringLiteral("-id"), line.trimmed(), QStringLiteral("_XEMBED_INFO")})
                .contains(QStringLiteral("_XEMBED_INFO(_XEMBED_INFO)")))
            return true;
    }
    return false;
}

} // namespace

StartupFigures measureStartup(const XDesktop& desktop, const StartupSubject& subject, int runs,
                              int settleMs)
{
    StartupFigures figures;
    const QString name = QFileInfo(subject.program).fileName();
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir folder;
        const QString program = folder.path() + QLatin1Char('/') + name;
        if (!folder.isValid() || !QFile::copy(subject.program, program) ||
            (!subject.database.isEmpty() &&
             !QFile::copy(subject.database, folder.path() + QStringLiteral("/dbn.ib")))) {
            figures.failure = QStringLiteral("cannot lay out a copy of %1").arg(name);
            return figures;
        }
        QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
        QFile::setPermissions(folder.path() + QStringLiteral("/dbn.ib"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        QProcess process;
        QProcessEnvironment env = desktop.environment();
        env.insert(QStringLiteral("QUILLBOX_TRACE"), QStringLiteral("1"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
        const qint64 started = monotonicNs();
        process.start(program, {});
        if (!process.waitForStarted(10000)) {
            figures.failure = QStringLiteral("%1 did not start").arg(name);
            return figures;
        }

        // The tray is polled as fast as asking the X server from outside allows (a few ms a
        // look); the first rows are printed by the program itself.
        static const QRegularExpression traced(QStringLiteral("quillbox trace: first rows (\\d+)"));
        QByteArray errors;
        qint64 docked = 0;
        qint64 firstRows = 0;
        const QDeadlineTimer deadline(60000);
        while ((docked == 0 || (subject.tracesFirstRows && firstRows == 0)) &&
               !deadline.hasExpired() && process.state() == QProcess::Running) {
            if (docked == 0 && trayIconDocked(desktop, name))
                docked = monotonicNs();
            process.waitForReadyRead(docked == 0 ? 1 : 20);
            errors += process.readAllStandardError();
            const QRegularExpressionMatch match = traced.match(QString::fromUtf8(errors));
            if (match.hasMatch())
                firstRows = match.captured(1).toLongLong();
        }
        if (docked == 0 || (subject.tracesFirstRows && firstRows == 0)) {
            figures.failure = QStringLiteral("%1 did not %2 within a minute: %3")
                                  .arg(name,
                                       docked == 0 ? QStringLiteral("dock its tray icon")
                                                   : QStringLiteral("show its first rows"),
                                       QString::fromLocal8Bit(errors).right(400));
            process.kill();
            process.waitForFinished(10000);
            return figures;
        }
        figures.trayReadyMs.values.push_back(double(docked - started) / 1e6);
        if (subject.tracesFirstRows)
            figures.firstRowsMs.values.push_back(double(firstRows - started) / 1e6);

        const qint64 settleUntil = started + qint64(settleMs) * 1000000;
        while (monotonicNs() < settleUntil) {
            process.waitForReadyRead(100);
            process.readAllStandardError();
        }
        figures.residentMb.values.push_back(statusMb(process.processId(), "VmRSS"));
        figures.peakMb.values.push_back(statusMb(process.processId(), "VmHWM"));
        if (run == runs - 1)
            figures.byMapping = residentByMapping(process.processId());

        const qint64 terminated = monotonicNs();
        ::kill(pid_t(process.processId()), SIGTERM);
        if (process.waitForFinished(30000)) {
            figures.goneMs.values.push_back(double(monotonicNs() - terminated) / 1e6);
        } else {
            process.kill();
            process.waitForFinished(10000);
        }
    }
    return figures;
}

} // namespace bench
