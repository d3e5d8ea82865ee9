#pragma once

// The rules of the access password, without any window: what the password window accepts,
// when the program counts as protected, and how an entry is compared with the stored text.

#include <QString>
#include <optional>

namespace access_password {

// The settings key that holds the password in plain text; the empty text means none.
inline const QString kPasswordKey = QStringLiteral("HasloDostepu");

constexpr int kMinPasswordLength = 3;
constexpr int kMaxPasswordLength = 20;

// The field of the password window that takes the focus after a refusal.
enum class PasswordField
{
    None,
    Haslo,
    Powtorka,
};

struct PasswordVerdict
{
    bool valid = false;
    // The message to show; empty when valid.
    QString message;
    PasswordField focus = PasswordField::None;
};

// The check of the password window's two fields, rule by rule; the first rule that applies
// decides. Both fields empty is valid: storing the empty text removes the password. Lengths
// count characters as typed: nothing is trimmed, and a character outside the Basic
// Multilingual Plane counts once.
PasswordVerdict ValidatePassword(const QString& haslo, const QString& powtorka);

// Whether a stored value guards the program: a row exists and its value is not empty.
bool isProtectedBy(const std::optional<QString>& storedValue);

// Exact comparison: letter case and every space count.
bool passwordMatches(const QString& stored, const QString& entry);

// What failure texts put in place of a password or an entry, so that neither reaches the log.
inline const QString kPasswordMask = QStringLiteral("***");

} // namespace access_password
