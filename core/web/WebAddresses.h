#pragma once

// The addresses of the maker's web server and of the product web site. The host is chosen at
// build time (QUILLBOX_WEB_HOST); the paths and file names are fixed.

#include <QString>
#include <QUrl>

namespace web {

// http://<QUILLBOX_WEB_HOST>/, the server of the version and switch files and the publicity
// page, and also the product web site.
QUrl defaultServer();

// The addresses below, on a server given by scheme, host and port (tests pass a local one).
QUrl versionFileUrl(const QUrl& server);
QUrl publicitySwitchUrl(const QUrl& server);
QUrl publicityPageUrl(const QUrl& server);
// The home page of the product web site, opened in the user's browser.
QUrl productSiteUrl(const QUrl& server);

inline const QString kVersionFileName = QStringLiteral("bv.ver");
inline const QString kPublicitySwitchFileName = QStringLiteral("isPublicity2.info");

} // namespace web
