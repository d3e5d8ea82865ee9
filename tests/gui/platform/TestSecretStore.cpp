#include "gui/platform/SecretStore.h"
#include "support/SecretService.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Writes the login as the program does and waits for the store's answer.
bool store(const QString& database, const server_login::Login& login)
{
    QObject owner;
    std::optional<bool> stored;
    secret_store::writeLogin(database, login, &owner, [&](bool ok) { stored = ok; });
    return QTest::qWaitFor([&] { return stored.has_value(); }, 30000) && *stored;
}

} // namespace

// The desktop's secret store as the program uses it, on a real Secret Service (GNOME's keyring
// daemon on a private bus): a login written for a database is read back for that database
// only, and a newer one replaces it.
class TestSecretStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<SecretService> service_;

private Q_SLOTS:
    void initTestCase()
    {
        if (!secret_store::isBuiltIn())
            QSKIP("built without the secret store");
        service_ = std::make_unique<SecretService>();
        if (!service_->isReady())
            QSKIP(qPrintable(u"no Secret Service here: "_s + service_->whyNot()));
        service_->useInThisProcess();
    }

    void aLoginIsReadBackForItsDatabaseOnly()
    {
        const QString database = u"db.example:/srv/dbn.ib"_s;
        const QString other = u"db.example/3051:/srv/dbn.ib"_s;
        QVERIFY(!secret_store::readLogin(database).has_value());
        // A password with what a line or a separator could break: spaces, colons, a line
        // break, characters beyond ASCII.
        const server_login::Login first{u"anna"_s, u" pa:ss\nwörd "_s};
        QVERIFY(store(database, first));
        const std::optional<server_login::Login> read = secret_store::readLogin(database);
        QVERIFY(read.has_value());
        QCOMPARE(read->user, first.user);
        QCOMPARE(read->password, first.password);
        QVERIFY(!secret_store::readLogin(other).has_value());

        const server_login::Login second{u"QUILLBOX"_s, u"Own-pa55"_s};
        QVERIFY(store(database, second));
        QCOMPARE(secret_store::readLogin(database)->user, second.user);
        QCOMPARE(secret_store::readLogin(database)->password, second.password);
    }
};

QTEST_GUILESS_MAIN(TestSecretStore)
#include "TestSecretStore.moc"
