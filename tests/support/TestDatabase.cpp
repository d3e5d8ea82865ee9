#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>

namespace {

QTemporaryDir& root()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quillbox-test-XXXXXX"));
    return dir;
}

} // namespace

QString freshTestDirectory()
{
    static int counter = 0;
    const QString path = root().path() + QStringLiteral("/%1").arg(++counter);
    QDir().mkpath(path);
    return path;
}

QString unusableDatabasePath(bool exists, const QByteArray& content)
{
    const QString path = freshTestDirectory() + QStringLiteral("/dbn.ib");
    if (exists) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

TestDatabase::TestDatabase() : path_(freshTestDirectory() + QStringLiteral("/dbn.ib"))
{
    if (!QFile::copy(QStringLiteral(QUILLBOX_EMPTY_DB), path_))
        qFatal("cannot copy the empty database to %s", qPrintable(path_));
    QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString TestDatabase::connection() const
{
    return qEnvironmentVariable("QUILLBOX_TEST_SERVER") + path_;
}

QString TestDatabase::directory() const
{
    return QFileInfo(path_).absolutePath();
}

std::unique_ptr<TDM> TestDatabase::open() const
{
    auto dm = std::make_unique<TDM>(connection());
    if (!dm->Connect())
        qFatal("cannot open the test database %s", qPrintable(connection()));
    return dm;
}

void TestDatabase::execute(const QString& sql) const
{
    TDM dm(connection());
    dm.transact([&](DbSession& db) { db.execute(sql); });
}

QString TestDatabase::scalar(const QString& sql) const
{
    TDM dm(connection());
    return dm.transact([&](DbSession& db) {
        auto query = db.open(sql);
        return query->fetch() ? query->text(0) : QString();
    });
}

void addFileLossRows()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("moved") << "moved";
    QTest::newRow("replaced by rename") << "replaced";
    QTest::newRow("deleted") << "deleted";
}

QString movedDatabasePath(const TestDatabase& db)
{
    return db.directory() + QStringLiteral("/elsewhere.ib");
}

bool loseDatabaseFile(const TestDatabase& db, const QString& change)
{
    bool done = false;
    if (change == QStringLiteral("moved")) {
        done = QFile::rename(db.path(), movedDatabasePath(db));
    } else if (change == QStringLiteral("replaced")) {
        const QString copy = db.directory() + QStringLiteral("/.dbn.ib.sync");
        if (QFile::copy(QStringLiteral(QUILLBOX_EMPTY_DB), copy)) {
            QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            done = ::rename(QFile::encodeName(copy).constData(),
                            QFile::encodeName(db.path()).constData()) == 0;
        }
    } else if (change == QStringLiteral("deleted")) {
        done = QFile::remove(db.path());
    }
    if (!done)
        qWarning("could not make the database file %s: %s", qPrintable(change),
                 qPrintable(db.path()));
    return done;
}
