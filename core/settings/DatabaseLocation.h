#pragma once

// Which note database the program opens, in this order:
//  1. the one named on the command line (--database) or, failing that, by the environment
//     variable QUILLBOX_DATABASE: a local file or a database on a Firebird server;
//  2. dbn.ib beside the executable when that file exists: a portable folder holding the
//     program and its notes;
//  3. the user's own dbn.ib under $XDG_DATA_HOME/quillbox (by default ~/.local/share), made on
//     first start from the empty database the installation ships.
// choose() is the rule alone, on facts gathered by the caller; the functions below it gather
// those facts and make the per-user file.

#include <QString>
#include <QStringList>

namespace database_location {

enum class Source
{
    Option,
    Environment,
    BesideExecutable,
    PerUser
};

struct Facts
{
    QString option;        // value of --database; empty when not given
    QString environment;   // value of QUILLBOX_DATABASE; empty when unset
    QString executableDir; // directory of the running program
    bool besideExecutableExists = false;
    QString dataHome;   // value of XDG_DATA_HOME; empty when unset
    QString home;       // the user's home directory
    QString workingDir; // for a relative local path given by the user
};

struct Choice
{
    QString path; // empty when no location could be worked out (no home directory)
    Source source = Source::PerUser;
};

Choice choose(const Facts& facts);

// The per-user data directory of the XDG base directory rules: XDG_DATA_HOME when it is an
// absolute path, otherwise ~/.local/share. Empty when neither can be worked out.
QString dataHome(const QString& xdgDataHome, const QString& home);

// The facts of this process: its executable, its environment, its working directory.
Facts factsOfThisProcess(const QString& option);

// Where an installation keeps the empty database it ships, most likely first: beside the
// program's share directory (so an installation moved as a whole, or staged under DESTDIR,
// finds its own), then the directory it was configured for.
QStringList installedEmptyDatabases(const QString& executableDir);

enum class Creation
{
    AlreadyThere,
    Created,
    NoTemplate,
    Failed
};

// Makes the per-user database at path from the first of templates that exists, unless path is
// already there: the directories up to it are created mode 0700 and the file mode 0600. The
// file appears complete or not at all, and a program starting at the same moment that made it
// first wins. Nothing is created when no template exists.
Creation createPerUserDatabase(const QString& path, const QStringList& templates,
                               QString* error = nullptr);

} // namespace database_location
