#include "core/storage/DataModule.h"
#include "core/storage/ServerLogin.h"
#include "gui/access/ServerLoginWindow.h"
#include "gui/platform/SecretStore.h"
#include "support/FirebirdServer.h"
#include "support/LogCapture.h"
#include "support/ModalWatcher.h"
#include "support/SecretService.h"
#include "support/TestDatabase.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : u"<no interface>"_s;
}

// ISC_USER and ISC_PASSWORD as given while it lives; an empty value leaves the variable unset.
class EnvironmentLogin
{
public:
    EnvironmentLogin(const QByteArray& user, const QByteArray& password)
    {
        set("ISC_USER", user);
        set("ISC_PASSWORD", password);
    }
    ~EnvironmentLogin()
    {
        qunsetenv("ISC_USER");
        qunsetenv("ISC_PASSWORD");
    }
    EnvironmentLogin(const EnvironmentLogin&) = delete;
    EnvironmentLogin& operator=(const EnvironmentLogin&) = delete;

private:
    static void set(const char* name, const QByteArray& value)
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
};

QString currentUser(TDM& dm)
{
    return dm.onConnection([](fb::Attachment& db) {
        fb::Transaction tr(db, fb::Transaction::Access::ReadOnly);
        fb::Statement query(db, tr, QByteArrayLiteral("SELECT CURRENT_USER FROM RDB$DATABASE"));
        query.execute();
        return query.fetch() ? query.text(0).trimmed() : QString();
    });
}

} // namespace

// The login window for a server database, and the login it leads to on a real Firebird server
// that refuses the login from the environment.
class TestServerLoginWindow : public QObject
{
    Q_OBJECT

    FirebirdServer server_;
    bool serverUp_ = false;
    QString whyNoServer_;
    // The desktop's secret store of this process, when one can be run here.
    std::unique_ptr<SecretService> secrets_;

    // Runs logInToServer on the data module, answering the login window, when it comes, with
    // the user and password given; returns how often it came.
    static int logInAnswering(TDM& dm, const QString& user, const QString& password, bool* loggedIn)
    {
        int asked = 0;
        ModalWatcher watcher([&](QWidget* modal) {
            auto* window = qobject_cast<ServerLoginWindow*>(modal);
            QVERIFY(window);
            ++asked;
            window->userField()->setText(user);
            QTest::keyClicks(window->passwordField(), password);
            window->okButton()->click();
        });
        fb::ErrorKind failure = fb::ErrorKind::Other;
        *loggedIn = logInToServer(dm, &failure);
        return asked;
    }

private Q_SLOTS:
    void initTestCase()
    {
        qunsetenv("ISC_USER");
        qunsetenv("ISC_PASSWORD");
        // Before anything reaches the session bus: the secret store is the test's own.
        secrets_ = std::make_unique<SecretService>();
        if (secrets_->isReady())
            secrets_->useInThisProcess();
        serverUp_ = server_.start(&whyNoServer_);
    }

    void theFieldsAreLabelledAndThePasswordMasked()
    {
        ServerLoginWindow window(u"db.example:/srv/dbn.ib"_s, QString());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.windowTitle(), u"Quillbox - Server login"_s);
        QCOMPARE(accessibleName(window.userField()), u"User name"_s);
        QCOMPARE(accessibleName(window.passwordField()), u"Password"_s);
        QCOMPARE(window.passwordField()->echoMode(), QLineEdit::Password);
        QVERIFY(
            QAccessible::queryAccessibleInterface(window.passwordField())->state().passwordEdit);
        // Which server it is, for a user who has more than one.
        QVERIFY(window.findChild<QWidget*>(u"Database"_s)->toolTip() ==
                u"db.example:/srv/dbn.ib"_s);
    }

    // The field to type in first: the user name, or the password when the name is given.
    void focusStartsWhereTypingIsNeeded_data()
    {
        QTest::addColumn<QString>("userName");
        QTest::addColumn<QString>("focused");
        QTest::newRow("no user name") << QString() << u"UserName"_s;
        QTest::newRow("user name from ISC_USER") << u"anna"_s << u"Password"_s;
    }
    void focusStartsWhereTypingIsNeeded()
    {
        QFETCH(QString, userName);
        QFETCH(QString, focused);
        ServerLoginWindow window(u"db.example:/srv/dbn.ib"_s, userName);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_VERIFY(QApplication::focusWidget() != nullptr);
        QCOMPARE(QApplication::focusWidget()->objectName(), focused);
        QCOMPARE(window.userField()->text(), userName);
    }

    void okGivesTheTypedLoginBack_data()
    {
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("OK") << false;
        QTest::newRow("Enter in the password field") << true;
    }
    void okGivesTheTypedLoginBack()
    {
        QFETCH(bool, byEnter);
        ServerLoginWindow window(u"db.example:/srv/dbn.ib"_s, QString());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClicks(window.userField(), u" anna "_s);
        QTest::keyClick(window.userField(), Qt::Key_Tab);
        QVERIFY(window.passwordField()->hasFocus());
        QTest::keyClicks(window.passwordField(), u"pa:ss word "_s);
        if (byEnter)
            QTest::keyClick(window.passwordField(), Qt::Key_Return);
        else
            window.okButton()->click();
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(!window.isVisible());
        // The name without the spaces around it; the password exactly as typed.
        QCOMPARE(window.login().user, u"anna"_s);
        QCOMPARE(window.login().password, u"pa:ss word "_s);
    }

    void withoutAUserNameOkWaits()
    {
        ServerLoginWindow window(u"db.example:/srv/dbn.ib"_s, QString());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClicks(window.userField(), u"  "_s);
        window.passwordField()->setFocus();
        QTest::keyClicks(window.passwordField(), u"secret"_s);
        window.okButton()->click();
        QVERIFY(window.isVisible());
        QVERIFY(window.userField()->hasFocus());
    }

    void cancelGivesUp_data()
    {
        QTest::addColumn<bool>("byEsc");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Esc") << true;
    }
    void cancelGivesUp()
    {
        QFETCH(bool, byEsc);
        ServerLoginWindow window(u"db.example:/srv/dbn.ib"_s, u"anna"_s);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClicks(window.passwordField(), u"secret"_s);
        if (byEsc)
            QTest::keyClick(window.passwordField(), Qt::Key_Escape);
        else
            window.cancelButton()->click();
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QVERIFY(!window.isVisible());
    }

    // The server refuses the login from the environment (a user it does not know, no
    // password): the window asks once, and what the user types there is what every connection
    // of the program logs in with. The password is not logged.
    void aRefusedLoginAsksOnceAndTheTypedOneIsUsed_data()
    {
        QTest::addColumn<QString>("typedUser");
        QTest::addColumn<QString>("typedPassword");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<bool>("connected");
        const QString right = server_login::builtIn().password;
        QTest::newRow("right login") << u"SYSDBA"_s << right << false << true;
        QTest::newRow("wrong password") << u"SYSDBA"_s << u"Wr0ng-pass"_s << false << false;
        QTest::newRow("cancelled") << QString() << QString() << true << false;
    }
    void aRefusedLoginAsksOnceAndTheTypedOneIsUsed()
    {
        if (!serverUp_)
            QSKIP(qPrintable(u"no Firebird server can be started here: "_s + whyNoServer_));
        QFETCH(QString, typedUser);
        QFETCH(QString, typedPassword);
        QFETCH(bool, cancelled);
        QFETCH(bool, connected);
        TestDatabase db;
        const QString database = server_.prefix() + db.path();
        const EnvironmentLogin environment("NOBODY", {});
        LogCapture log(true);
        TDM dm(database);
        fb::ErrorKind failure = fb::ErrorKind::Other;
        QVERIFY(!dm.Connect(&failure));
        QCOMPARE(failure, fb::ErrorKind::LoginRefused);

        int asked = 0;
        ModalWatcher watcher([&](QWidget* modal) {
            auto* window = qobject_cast<ServerLoginWindow*>(modal);
            QVERIFY(window);
            ++asked;
            QCOMPARE(window->userField()->text(), u"NOBODY"_s);
            if (cancelled) {
                window->cancelButton()->click();
                return;
            }
            window->userField()->setText(typedUser);
            QTest::keyClicks(window->passwordField(), typedPassword);
            window->okButton()->click();
        });
        const bool loggedIn = logInToServer(dm, &failure);
        QCOMPARE(loggedIn, connected);
        QCOMPARE(asked, 1);
        QCOMPARE(dm.isConnected(), connected);
        if (connected) {
            QCOMPARE(currentUser(dm), u"SYSDBA"_s);
            // Another connection of the program to the database, as a worker thread opens.
            TDM worker(dm.fileGuard());
            QVERIFY(worker.Connect());
            QCOMPARE(currentUser(worker), u"SYSDBA"_s);
        } else if (!cancelled) {
            QCOMPARE(failure, fb::ErrorKind::LoginRefused);
        }
        QVERIFY2(typedPassword.isEmpty() || !log.all().contains(typedPassword),
                 qPrintable(log.all()));
    }

    // A login the server accepted is remembered in the desktop's secret store: the next start
    // logs in with it and asks nothing. When the server refuses the remembered one (the
    // password was changed), the window asks again and the new login replaces it.
    void theAcceptedLoginIsRememberedForTheNextStart()
    {
        if (!serverUp_)
            QSKIP(qPrintable(u"no Firebird server can be started here: "_s + whyNoServer_));
        if (!secret_store::isBuiltIn() || !secrets_->isReady())
            QSKIP(qPrintable(u"no secret store here: "_s + secrets_->whyNot()));
        TestDatabase db;
        const QString database = server_.prefix() + db.path();
        const QString right = server_login::builtIn().password;
        const EnvironmentLogin environment("NOBODY", {});
        bool loggedIn = false;
        {
            TDM first(database);
            QVERIFY(!first.Connect());
            QCOMPARE(logInAnswering(first, u"SYSDBA"_s, right, &loggedIn), 1);
            QVERIFY(loggedIn);
            // Written in the background while the program runs on.
            QTRY_VERIFY_WITH_TIMEOUT(secret_store::readLogin(database).has_value(), 30000);
        }
        const std::optional<server_login::Login> remembered = secret_store::readLogin(database);
        QVERIFY(remembered.has_value());
        QCOMPARE(remembered->user, u"SYSDBA"_s);
        QCOMPARE(remembered->password, right);
        {
            TDM next(database);
            QVERIFY(!next.Connect());
            QCOMPARE(logInAnswering(next, u"-"_s, u"-"_s, &loggedIn), 0);
            QVERIFY(loggedIn);
            QCOMPARE(currentUser(next), u"SYSDBA"_s);
        }

        {
            QObject owner;
            std::optional<bool> stored;
            secret_store::writeLogin(database, {u"SYSDBA"_s, u"changed-since"_s}, &owner,
                                     [&](bool ok) { stored = ok; });
            QTRY_VERIFY_WITH_TIMEOUT(stored.has_value(), 30000);
            QVERIFY(*stored);
        }
        TDM later(database);
        QVERIFY(!later.Connect());
        QCOMPARE(logInAnswering(later, u"SYSDBA"_s, right, &loggedIn), 1);
        QVERIFY(loggedIn);
        QTRY_COMPARE_WITH_TIMEOUT(
            secret_store::readLogin(database).value_or(server_login::Login{}).password, right,
            30000);
    }

    // A local file, or a server with the password in the environment: nobody is asked.
    void noWindowWhereTheUserMayNotBeAsked_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QByteArray>("password");
        QTest::newRow("local file") << u"/nonexistent/dbn.ib"_s << QByteArray();
        QTest::newRow("server, password given")
            << u"127.0.0.1/1:/nonexistent/dbn.ib"_s << QByteArrayLiteral("given");
    }
    void noWindowWhereTheUserMayNotBeAsked()
    {
        QFETCH(QString, database);
        QFETCH(QByteArray, password);
        const EnvironmentLogin environment("NOBODY", password);
        int asked = 0;
        ModalWatcher watcher([&](QWidget* modal) {
            ++asked;
            qobject_cast<QDialog*>(modal)->reject();
        });
        TDM dm(database);
        fb::ErrorKind failure = fb::ErrorKind::LoginRefused;
        QVERIFY(!logInToServer(dm, &failure));
        QCOMPARE(asked, 0);
        QVERIFY(!dm.isConnected());
    }
};

QTEST_MAIN(TestServerLoginWindow)
#include "TestServerLoginWindow.moc"
