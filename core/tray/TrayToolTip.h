#pragma once

// The tray icon's tooltip. While alarms run it names them, so that a user who missed or closed
// the notification still sees from the tray which alarms wait.

#include <QString>
#include <QStringList>

namespace tray_tooltip {

// How many running alarms the tooltip names; the rest it counts.
inline constexpr int kNamedAlarms = 3;

// "Quillbox" when no alarm runs. Otherwise a first line saying that alarms run, then the
// titles as given (newest first), one a line, at most kNamedAlarms of them, and "and N more"
// for the others. The first line is always the program's own text: a desktop that would take
// a tooltip beginning with a tag for rich text finds none there, so a title is shown as typed.
QString text(const QStringList& runningTitles);

} // namespace tray_tooltip
