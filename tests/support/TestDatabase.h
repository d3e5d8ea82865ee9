#pragma once

#include "core/storage/DataModule.h"

#include <QString>
#include <memory>

// A fresh note database made from the schema, in a directory of its own under the test run's
// temporary root. The root is removed when the process ends; the directories stay until then
// because the database engine keeps its lock files open for the life of the process.
class TestDatabase
{
public:
    TestDatabase();

    // The database file.
    const QString& path() const { return path_; }
    // What a connection names to reach it: the file itself, or the file through the test
    // server when QUILLBOX_TEST_SERVER holds a server's prefix ("127.0.0.1/<port>:").
    QString connection() const;
    QString directory() const;
    std::unique_ptr<TDM> open() const;

    // Runs a statement in a transaction of its own on a separate connection; throws fb::Error.
    void execute(const QString& sql) const;
    // The first column of the first row of a query, as text ("" when there is no row).
    QString scalar(const QString& sql) const;

private:
    QString path_;
};

// A directory under the test run's temporary root.
QString freshTestDirectory();

// The path of a dbn.ib in a fresh directory that is no usable database: absent, or a file
// holding content.
QString unusableDatabasePath(bool exists, const QByteArray& content);

// The ways a database file goes away under a running program, as the rows of a data table with
// the column "change": "moved" (renamed to movedDatabasePath beside it), "replaced" (a fresh
// copy written beside it and renamed over it, as a sync tool does) and "deleted".
void addFileLossRows();
QString movedDatabasePath(const TestDatabase& db);
// Makes the change to the database's file; false, with a warning, when it could not be made.
bool loseDatabaseFile(const TestDatabase& db, const QString& change);
