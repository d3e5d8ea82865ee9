#pragma once

// The folder of the downloaded files: private to the user (mode 0700), so no other local user
// can read the files or plant a link under their names for a download to write through, which a
// shared temporary folder with fixed file names would allow.

#include <QString>

namespace web {

// $XDG_RUNTIME_DIR/quillbox when the session has a runtime folder, else quillbox/downloads in
// the user's cache folder.
QString defaultDownloadDirectory();

// Makes sure path is a real folder (not a link) owned by this user with no access for anyone
// else, creating it (and its parents) when missing and withdrawing group and other rights when
// present. False when it cannot be made so; nothing may then be written there.
bool ensurePrivateDirectory(const QString& path);

} // namespace web
