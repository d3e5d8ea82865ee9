#pragma once

// Start-up and memory of programs as a user starts them: a copy of the program beside its own
// database file, on a private X desktop with a window manager and a system tray.

#include <QString>
#include <vector>

class XDesktop;

namespace bench {

struct StartupSubject
{
    QString name;
    QString program;
    // A database file copied beside the program as dbn.ib; none when empty.
    QString database;
    // Whether the program prints the moment of its first rows (QUILLBOX_TRACE=1).
    bool tracesFirstRows = false;
};

// One figure over the runs, in the order they were taken.
struct Sample
{
    std::vector<double> values;
    double median() const;
    double min() const;
    double max() const;
};

struct StartupFigures
{
    Sample trayReadyMs; // process start to the tray icon docked and shown
    Sample firstRowsMs; // process start to the first screenful in the list
    Sample residentMb;  // VmRSS a few seconds after start
    Sample peakMb;      // VmHWM then
    Sample goneMs;      // SIGTERM sent then to the process ended
    // Resident memory by what is mapped, from the last run: kind and megabytes.
    std::vector<std::pair<QString, double>> byMapping;
    QString failure; // why no figure could be taken
};

// Starts the subject runs times, one after another, each from a fresh copy, and ends it with
// SIGTERM once its memory is read settleMs after start, timing its end.
StartupFigures measureStartup(const XDesktop& desktop, const StartupSubject& subject, int runs,
                              int settleMs);

} // namespace bench
