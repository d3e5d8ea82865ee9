#pragma once

// The login window for a database on a Firebird server: asked once when the server refused the
// login the program chose and the environment gives no password (ISC_USER, ISC_PASSWORD). It
// takes a user name and a password; OK (or Enter) gives them back, Cancel (or Esc, or the
// close box) gives up. The password shows as "*" and is kept nowhere but in the window.

#include "core/storage/Firebird.h"
#include "core/storage/ServerLogin.h"

#include <QDialog>

class QAction;
class QLineEdit;
class QPushButton;
class TDM;

class ServerLoginWindow : public QDialog
{
    Q_OBJECT
public:
    // database names the server and the database on it (shown to the user); userName is put
    // in the user field to start with.
    explicit ServerLoginWindow(const QString& database, const QString& userName,
                               QWidget* parent = nullptr);

    // What was typed: the user name (trimmed) and the password.
    server_login::Login login() const;

    QLineEdit* userField() const { return user_; }
    QLineEdit* passwordField() const { return password_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void confirm();

    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Connects the data module once the server refused the login chosen from the environment
// (the first Connect failed with fb::ErrorKind::LoginRefused): with the login remembered in the
// desktop's secret store, else (or when the server refuses that one too) with the one the user
// gives in the login window, asked once; a login the server accepts from the window is
// remembered in the store. False when no login got in: *failure then tells why (still
// LoginRefused, or the failure of the last try; the user giving up leaves it as it was).
// Does nothing and returns false when the user may not be asked (a local file, or the
// environment gives a password).
bool logInToServer(TDM& dm, fb::ErrorKind* failure);
