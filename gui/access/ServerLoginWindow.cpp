#include "gui/access/ServerLoginWindow.h"

#include "core/storage/DataModule.h"
#include "gui/platform/AnchorLayout.h"
#include "gui/platform/FixedDialog.h"
#include "gui/platform/PasswordField.h"
#include "gui/platform/SecretStore.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProcessEnvironment>
#include <QPushButton>

namespace {

constexpr QSize kClientSize{300, 138};
// Room for any user name (at most 63 characters on a Firebird server) and password.
constexpr int kMaxUserName = 63;
constexpr int kMaxPassword = 255;

} // namespace

ServerLoginWindow::ServerLoginWindow(const QString& database, const QString& userName,
                                     QWidget* parent)
    : QDialog(parent)
{
    AnchorLayout* layout =
        fixed_dialog::setUp(this, QStringLiteral("ServerLoginWindow"),
                            QStringLiteral("Quillbox - Server login"), kClientSize);
    auto* where = new QLabel(this);
    where->setObjectName(QStringLiteral("Database"));
    where->setText(fontMetrics().elidedText(database, Qt::ElideMiddle, 284));
    where->setToolTip(database);
    layout->addWidget(where, QRect(8, 8, 284, 17));

    auto* userCaption = new QLabel(QStringLiteral("&User name"), this);
    QFont bold = userCaption->font();
    bold.setBold(true);
    userCaption->setFont(bold);
    layout->addWidget(userCaption, QRect(8, 32, 84, 21));
    user_ = new QLineEdit(userName, this);
    user_->setObjectName(QStringLiteral("UserName"));
    user_->setMaxLength(kMaxUserName);
    userCaption->setBuddy(user_);
    layout->addWidget(user_, QRect(96, 32, 196, 21));

    password_ = addPasswordField(layout, QStringLiteral("Password"), QStringLiteral("&Password"),
                                 QRect(8, 60, 84, 21), QRect(96, 60, 196, 21));
    password_->setMaxLength(kMaxPassword);

    fixed_dialog::addBevel(layout, QRect(4, 96, kClientSize.width() - 8, 2));
    ok_ = fixed_dialog::addOkButton(layout, QRect(143, 106, 72, 24));
    cancel_ = fixed_dialog::addCancelButton(layout, QRect(220, 106, 72, 24));
    QAction* confirmAction = fixed_dialog::addConfirmAction(this);
    QAction* closeAction = fixed_dialog::addCloseAction(this);

    setTabOrder(user_, password_);
    setTabOrder(password_, ok_);
    setTabOrder(ok_, cancel_);

    connect(confirmAction, &QAction::triggered, this, &ServerLoginWindow::confirm);
    connect(closeAction, &QAction::triggered, this, &QDialog::reject);
    connect(ok_, &QPushButton::clicked, this, &ServerLoginWindow::confirm);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void ServerLoginWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A user name given already: the password is what is left to type.
    if (user_->text().isEmpty())
        user_->setFocus();
    else
        password_->setFocus();
}

server_login::Login ServerLoginWindow::login() const
{
    return {user_->text().trimmed(), password_->text()};
}

void ServerLoginWindow::confirm()
{
    // Without a user name there is nothing to log in with: the field waits for one.
    if (user_->text().trimmed().isEmpty()) {
        user_->setFocus();
        return;
    }
    accept();
}

bool logInToServer(TDM& dm, fb::ErrorKind* failure)
{
    const QString database = dm.databasePath();
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!server_login::mayAskTheUser(database, environment))
        return false;
    if (const std::optional<server_login::Login> remembered = secret_store::readLogin(database)) {
        dm.setLogin(*remembered);
        if (dm.Connect(failure))
            return true;
        if (failure && *failure != fb::ErrorKind::LoginRefused)
            return false;
    }
    ServerLoginWindow window(database, environment.value(QStringLiteral("ISC_USER")));
    if (window.exec() != QDialog::Accepted)
        return false;
    const server_login::Login login = window.login();
    dm.setLogin(login);
    if (!dm.Connect(failure))
        return false;
    // In the background, owned by the data module: the program does not wait for a keyring
    // that asks the user first.
    secret_store::writeLogin(database, login, &dm);
    return true;
}
