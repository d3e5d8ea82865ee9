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

    const QString& path() const { return path_; }
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
