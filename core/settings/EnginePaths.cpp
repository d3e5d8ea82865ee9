#include "core/settings/EnginePaths.h"

#include "core/storage/FirebirdEnvironment.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <cstdio>

namespace engine_paths {
namespace {

QString sourceText(const Paths& paths)
{
    using database_location::Source;
    switch (paths.source) {
    case Source::Option:
        return QStringLiteral("named by --database");
    case Source::Environment:
        return QStringLiteral("named by QUILLBOX_DATABASE");
    case Source::BesideExecutable:
        return QStringLiteral("beside the program");
    case Source::PerUser:
        return paths.databaseExists
                   ? QStringLiteral("the user's own")
                   : QStringLiteral("the user's own, made when the program first starts");
    }
    return {};
}

} // namespace

Paths ofThisProcess(const QString& databaseOption)
{
    const database_location::Choice choice =
        database_location::choose(database_location::factsOfThisProcess(databaseOption));
    Paths paths;
    paths.database = choice.path;
    paths.source = choice.source;
    if (paths.database.isEmpty())
        return paths;
    paths.configuration = firebird_environment::makeConfigurationDirectory();
    if (firebird_environment::isRemote(paths.database)) {
        paths.databaseExists = true; // the server's to say
        return paths;
    }
    paths.databaseExists = QFileInfo::exists(paths.database);
    paths.lock = firebird_environment::lockDirectoryFor(paths.database);
    // Only beside a Firebird database: a lock folder is not left beside some other file.
    if (firebird_environment::localFileProblem(paths.database).isEmpty())
        firebird_environment::makeLockDirectory(paths.database);
    return paths;
}

QString shellWord(const QString& word)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:@%+,=-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString text(const Paths& paths)
{
    QString out = QStringLiteral("# The note database Quillbox opens (%1):\n#   %2\n")
                      .arg(sourceText(paths), paths.database);
    QStringList exports;
    if (!paths.configuration.isEmpty())
        exports << QStringLiteral("FIREBIRD=") + shellWord(paths.configuration);
    if (!paths.lock.isEmpty())
        exports << QStringLiteral("FIREBIRD_LOCK=") + shellWord(paths.lock);
    if (paths.configuration.isEmpty())
        out += QStringLiteral("# No engine configuration folder: Firebird's engine files are "
                              "not installed, or there is no private place for the folder.\n");
    if (paths.lock.isEmpty())
        out += QStringLiteral("# A database on a server: the server keeps its locks.\n");
    if (exports.isEmpty())
        return out;
    out += QStringLiteral("# Run in the shell of Firebird's tools (isql-fb, gfix, gbak):\n");
    out += QStringLiteral("export ") + exports.join(QLatin1Char(' ')) + QLatin1Char('\n');
    return out;
}

int print(const QString& databaseOption, const QString& program)
{
    const Paths paths = ofThisProcess(databaseOption);
    if (paths.database.isEmpty()) {
        std::fputs((QFileInfo(program).fileName() +
                    QStringLiteral(": no place for the per-user database: no home directory\n"))
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        return 1;
    }
    std::fputs(text(paths).toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    return 0;
}

} // namespace engine_paths
