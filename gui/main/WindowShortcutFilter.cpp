#include "gui/main/WindowShortcutFilter.h"

#include <QKeyEvent>

WindowShortcutFilter::WindowShortcutFilter(QList<QKeySequence> keys, QObject* parent)
    : QObject(parent), keys_(std::move(keys))
{}

bool WindowShortcutFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    if (!keys_.contains(pressed))
        return QObject::eventFilter(watched, event);
    // An override left unaccepted lets the shortcut fire; a key press that still arrives belongs
    // to a disabled command and is dropped.
    event->ignore();
    return true;
}
