#pragma once

#include <QString>

// What Firebird's full validation (gfix -v -full) reports on a database file; empty when the
// file is sound. A failed or unfinished run reports why. Run it only while no program has the
// file open: validation needs the file to itself.
QString validationReport(const QString& path);
