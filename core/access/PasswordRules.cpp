#include "core/access/PasswordRules.h"

#include <algorithm>

namespace access_password {

namespace {

qsizetype characterCount(const QString& text)
{
    // A character outside the Basic Multilingual Plane is a pair of UTF-16 units.
    const auto trailing =
        std::count_if(text.cbegin(), text.cend(), [](QChar c) { return c.isLowSurrogate(); });
    return text.size() - trailing;
}

PasswordVerdict refuse(const char* message, PasswordField focus)
{
    return {false, QString::fromLatin1(message), focus};
}

} // namespace

PasswordVerdict ValidatePassword(const QString& haslo, const QString& powtorka)
{
    if (haslo.isEmpty() && powtorka.isEmpty())
        return {true, QString(), PasswordField::None};
    if (haslo.isEmpty())
        return refuse("Enter password!", PasswordField::Haslo);
    const qsizetype length = characterCount(haslo);
    if (length < kMinPasswordLength || length > kMaxPasswordLength)
        return refuse("Password must be from 3 to 20 characters length!", PasswordField::Haslo);
    if (powtorka.isEmpty())
        return refuse("Repeat password!", PasswordField::Powtorka);
    if (haslo != powtorka)
        return refuse("Repeated password is wrong!", PasswordField::Powtorka);
    return {true, QString(), PasswordField::None};
}

bool isProtectedBy(const std::optional<QString>& storedValue)
{
    return storedValue && !storedValue->isEmpty();
}

bool passwordMatches(const QString& stored, const QString& entry)
{
    return stored == entry;
}

} // namespace access_password
