#include "core/storage/ServerLogin.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// Which user name and password a connection logs in with, for each kind of database name and
// each environment.
class TestServerLogin : public QObject
{
    Q_OBJECT

private slots:
    void loginFollowsTheDatabaseAndTheEnvironment_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("iscUser");     // "-" leaves the variable unset
        QTest::addColumn<QString>("iscPassword"); // "-" leaves the variable unset
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        const auto row = [](const char* name, const QString& database, const QString& iscUser,
                            const QString& iscPassword, const QString& user,
                            const QString& password) {
            QTest::newRow(name) << database << iscUser << iscPassword << user << password;
        };
        const QString builtInUser = server_login::builtIn().user;
        const QString builtInPassword = server_login::builtIn().password;
        row("server, both set", u"db.example:/srv/dbn.ib"_s, u"quillbox"_s, u"s3cret"_s,
            u"quillbox"_s, u"s3cret"_s);
        row("server with port, both set", u"127.0.0.1/3051:/srv/dbn.ib"_s, u"anna"_s,
            u"pa:ss word"_s, u"anna"_s, u"pa:ss word"_s);
        row("IPv6 server, both set", u"[::1]:/srv/dbn.ib"_s, u"anna"_s, u"x"_s, u"anna"_s, u"x"_s);
        row("server, none set", u"db.example:/srv/dbn.ib"_s, u"-"_s, u"-"_s, builtInUser,
            builtInPassword);
        row("server, both empty", u"db.example:/srv/dbn.ib"_s, u""_s, u""_s, builtInUser,
            builtInPassword);
        row("server, user only", u"db.example:/srv/dbn.ib"_s, u"anna"_s, u"-"_s, u"anna"_s,
            builtInPassword);
        row("server, password only", u"db.example:/srv/dbn.ib"_s, u"-"_s, u"s3cret"_s, builtInUser,
            u"s3cret"_s);
        row("local file, both set", u"/home/anna/.local/share/quillbox/dbn.ib"_s, u"anna"_s,
            u"s3cret"_s, builtInUser, builtInPassword);
        row("relative local file with a colon", u"./notes:old/dbn.ib"_s, u"anna"_s, u"s3cret"_s,
            builtInUser, builtInPassword);
        row("local file, none set", u"/tmp/dbn.ib"_s, u"-"_s, u"-"_s, builtInUser, builtInPassword);
    }
    void loginFollowsTheDatabaseAndTheEnvironment()
    {
        QFETCH(QString, database);
        QFETCH(QString, iscUser);
        QFETCH(QString, iscPassword);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QProcessEnvironment environment;
        environment.insert(u"HOME"_s, u"/home/anna"_s);
        if (iscUser != u"-"_s)
            environment.insert(u"ISC_USER"_s, iscUser);
        if (iscPassword != u"-"_s)
            environment.insert(u"ISC_PASSWORD"_s, iscPassword);
        const server_login::Login login = server_login::choose(database, environment);
        QCOMPARE(login.user, user);
        QCOMPARE(login.password, password);
    }
};

QTEST_GUILESS_MAIN(TestServerLogin)
#include "TestServerLogin.moc"
