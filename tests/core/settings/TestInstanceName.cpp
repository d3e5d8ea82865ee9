#include "core/settings/InstanceName.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// The session bus name of a program's database: every way of naming one local file gives one
// name, two files give two, and the name is one the bus accepts.
class TestInstanceName : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

    QString path(const QString& relative) const { return dir_.filePath(relative); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("a/b")));
        for (const char* file : {"a/dbn.ib", "a/b/dbn.ib"}) {
            QFile f(path(QLatin1String(file)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::link(path(QStringLiteral("a/dbn.ib")), path(QStringLiteral("link.ib"))));
        QVERIFY(QFile::link(path(QStringLiteral("a")), path(QStringLiteral("folder"))));
    }

    void sameDatabaseSameName_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("as is") << path(QStringLiteral("a/dbn.ib"));
        QTest::newRow("dot and dot-dot") << path(QStringLiteral("a/./b/../dbn.ib"));
        QTest::newRow("double slash") << dir_.path() + QStringLiteral("//a//dbn.ib");
        QTest::newRow("link to the file") << path(QStringLiteral("link.ib"));
        QTest::newRow("through a linked folder") << path(QStringLiteral("folder/dbn.ib"));
        QTest::newRow("relative") << QStringLiteral("a/dbn.ib");
    }
    void sameDatabaseSameName()
    {
        QFETCH(QString, spelling);
        const QString saved = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        const QString name = instance_name::serviceName(spelling);
        QDir::setCurrent(saved);
        QCOMPARE(name, instance_name::serviceName(path(QStringLiteral("a/dbn.ib"))));
    }

    void otherDatabaseOtherName_data()
    {
        QTest::addColumn<QString>("other");
        QTest::newRow("file in a subfolder") << path(QStringLiteral("a/b/dbn.ib"));
        QTest::newRow("not there yet") << path(QStringLiteral("a/new.ib"));
        QTest::newRow("same path on a server")
            << QStringLiteral("server:") + path(QStringLiteral("a/dbn.ib"));
    }
    void otherDatabaseOtherName()
    {
        QFETCH(QString, other);
        QVERIFY(instance_name::serviceName(other) !=
                instance_name::serviceName(path(QStringLiteral("a/dbn.ib"))));
    }

    void serverPathIsKeptAsGiven()
    {
        QCOMPARE(instance_name::databaseKey(QStringLiteral("host/3051:/srv/dbn.ib")),
                 QStringLiteral("host/3051:/srv/dbn.ib"));
        QCOMPARE(instance_name::databaseKey(path(QStringLiteral("a/new.ib"))),
                 QDir(dir_.path()).canonicalPath() + QStringLiteral("/a/new.ib"));
    }

    // A well-known bus name: dot-separated elements of letters, digits and underscores, none
    // beginning with a digit, at most 255 characters.
    void nameIsAValidBusName_data()
    {
        QTest::addColumn<QString>("database");
        QTest::newRow("local") << path(QStringLiteral("a/dbn.ib"));
        QTest::newRow("server") << QStringLiteral("host:/srv/dbn.ib");
        QTest::newRow("odd characters") << path(QStringLiteral("ä ö-ü:1.ib"));
    }
    void nameIsAValidBusName()
    {
        QFETCH(QString, database);
        const QString name = instance_name::serviceName(database);
        static const QRegularExpression busName(
            QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)+$"));
        QVERIFY2(busName.match(name).hasMatch(), qPrintable(name));
        QVERIFY(name.size() <= 255);
        QVERIFY(name.startsWith(QStringLiteral("org.quillbox.Quillbox.Db")));
    }
};

QTEST_GUILESS_MAIN(TestInstanceName)
#include "TestInstanceName.moc"
