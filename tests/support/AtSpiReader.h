#pragma once

// Reads what programs on an XDesktop show to assistive technologies, through the AT-SPI
// registry on the desktop's accessibility bus: the names a screen reader would read. Qt
// programs take part when started with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 (see
// programEnvironment()); the accessibility bus is started on demand by the session bus.

#include <QDBusConnection>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <optional>

class XDesktop;

class AtSpiReader
{
public:
    explicit AtSpiReader(const XDesktop& desktop);
    ~AtSpiReader();
    AtSpiReader(const AtSpiReader&) = delete;
    AtSpiReader& operator=(const AtSpiReader&) = delete;

    // False when the accessibility bus could not be reached; whyNot() then says why.
    bool isReady() const { return ready_; }
    const QString& whyNot() const { return whyNot_; }

    // The desktop's environment with accessibility switched on for Qt programs.
    static QProcessEnvironment programEnvironment(const XDesktop& desktop);

    // The names of the items (cells) of the accessible object named objectName in the process
    // pid, in the order the object gives them, header cells left out. No value when the
    // process has no such object (yet): not registered, window not shown.
    std::optional<QStringList> itemNames(qint64 pid, const QString& objectName) const;

private:
    struct Object
    {
        QString service;
        QString path;
    };
    QList<Object> children(const Object& object) const;
    QString name(const Object& object) const;
    QString roleName(const Object& object) const;
    std::optional<Object> find(const Object& from, const QString& objectName, int depth) const;

    bool ready_ = false;
    QString whyNot_;
    QString connectionName_;
    std::optional<QDBusConnection> bus_;
};
