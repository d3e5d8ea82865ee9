#include "core/storage/SettingsStatements.h"

#include "core/storage/SqlText.h"

namespace sql::settings {

QString selectValue(const QString& key)
{
    return QStringLiteral("SELECT Wartosc FROM USTAWIENIA WHERE Ustawienie = ") + quoted(key);
}

QString selectRow(const QString& key)
{
    return QStringLiteral("SELECT * FROM USTAWIENIA WHERE Ustawienie = ") + quoted(key);
}

QString update(const QString& key, const QString& value, qint64 id)
{
    return QStringLiteral("UPDATE USTAWIENIA SET Ustawienie = ") + quoted(key) +
           QStringLiteral(", ") + QStringLiteral("Wartosc = ") + quoted(value) +
           QStringLiteral(" ") + QStringLiteral("WHERE ") + QStringLiteral("ID = ") + number(id);
}

QString insert(const QString& key, const QString& value)
{
    return QStringLiteral("INSERT INTO USTAWIENIA (Ustawienie, Wartosc) VALUES (") + quoted(key) +
           QStringLiteral(", ") + quoted(value) + QStringLiteral(")");
}

} // namespace sql::settings
