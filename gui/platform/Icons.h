#pragma once

// The program's pictures, drawn in code so the executable needs no files beside it.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <array>

namespace icons {

// The four note-list pictures, by the image index of core/list/NoteImage.h.
QPixmap noteImage(int index);

// A picture as a disabled button shows it: grey, light and faint.
QPixmap greyed(const QPixmap& picture);

// The sizes in pixels that panels draw tray icons at.
inline constexpr std::array kTrayIconSizes{16, 22, 24, 32, 48, 64};

// The tray's sticky note drawn at size x size pixels, for the desktop's icon theme and the tray.
QImage applicationIcon(int size);
// The sticky note with the red alarm clock, for a tray icon that asks for attention.
QImage attentionImage(int size);
// The two tray pictures at each of kTrayIconSizes, and at twice the pixels for scaled screens.
QIcon trayIcon();
QIcon trayAttentionIcon();
// The buttons' pictures; each has a clearly greyed form for a disabled button.
QIcon newNote();
QIcon trash();
QPixmap trashDisabled();
QPixmap magnifier();
QPixmap alarmSign();
// The pictures of the note editor's OK and Cancel buttons: a green tick and a red cross.
QIcon okMark();
QIcon cancelMark();

} // namespace icons
