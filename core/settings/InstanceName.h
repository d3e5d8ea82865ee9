#pragma once

// The name a running program is known by on the user's session bus: one per database, so that
// `quillbox --show` reaches the program of the same database (and of the same user, whose
// session bus it is) and no other. A local file is named by its canonical path, so another
// spelling of it, or a symbolic link to it, gives the same name; a database on a server by the
// connection string as given.

#include <QString>

namespace instance_name {

// The database as the name is made from: the canonical path of a local file (while it does not
// exist, its folder's canonical path and its name), a server's connection string unchanged.
QString databaseKey(const QString& databasePath);

// A well-known bus name for the database: "org.quillbox.Quillbox.Db" and 32 hexadecimal digits
// of a hash of databaseKey().
QString serviceName(const QString& databasePath);

} // namespace instance_name
