#pragma once

// Makes the main window's shortcut keys act window-wide: a control that would otherwise claim
// one of these keys for itself (the search box takes Delete, the list takes Enter) lets the
// window's shortcut have it, and when the shortcut's command is disabled the key does nothing
// rather than reaching the control.

#include <QKeySequence>
#include <QList>
#include <QObject>

class WindowShortcutFilter : public QObject
{
    Q_OBJECT
public:
    WindowShortcutFilter(QList<QKeySequence> keys, QObject* parent);

    void watch(QObject* control) { control->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QKeySequence> keys_;
};
