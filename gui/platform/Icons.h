#pragma once

// The program's pictures, drawn in code so the executable needs no files beside it.

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace icons {

// The four note-list pictures, by the image index of core/list/NoteImage.h.
QPixmap noteImage(int index);

QIcon trayIcon();
// The tray's sticky note drawn at size x size pixels, for the desktop's icon theme.
QImage applicationIcon(int size);
QIcon newNote();
QIcon trash();
QPixmap trashDisabled();
QPixmap magnifier();
QPixmap alarmSign();
// The pictures of the note editor's OK and Cancel buttons: a green tick and a red cross.
QIcon okMark();
QIcon cancelMark();

} // namespace icons
