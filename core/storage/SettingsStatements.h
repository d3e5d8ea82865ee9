#pragma once

// Statement texts of the key/value settings table USTAWIENIA.

#include <QString>

namespace sql::settings {

QString selectValue(const QString& key);
QString selectRow(const QString& key);
QString update(const QString& key, const QString& value, qint64 id);
QString insert(const QString& key, const QString& value);

} // namespace sql::settings
