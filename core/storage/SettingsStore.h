#pragma once

// Reads of the settings table for callers that must tell a missing key from a failed read and
// from a stored "-1", which GetSetting answers alike. One database operation per call; errors
// are thrown as fb::Error for the caller to report.

#include <QString>
#include <optional>

class TDM;

namespace settings_store {

// The value of the key's first row (a NULL value reads as the empty text); no value when the
// key has no row.
std::optional<QString> readValue(TDM& dm, const QString& key);

} // namespace settings_store
