#pragma once

// Which activations of the tray icon are clicks of their own. Some status-notifier panels (XFCE,
// LXQt) send one activation per click, so a double click arrives as two activations; taken as
// two, it would show the window and hide it again at once.

#include <QtGlobal>
#include <optional>

class ClickDebounce
{
public:
    // Whether an activation at nowMs is a new click: it is not when it comes within intervalMs
    // (the desktop's double-click interval) of the last accepted one. An accepted activation
    // becomes the one later activations are measured from.
    bool accept(qint64 nowMs, int intervalMs);
    // The accepted activation has been carried out at nowMs. The interval runs from here: the
    // second click of a double click that the program reads only after a slow first show is
    // still part of the same double click.
    void handled(qint64 nowMs);

private:
    std::optional<qint64> last_;
};
