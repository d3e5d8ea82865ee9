#pragma once

// Whether the embedded web engine can start in this process. The engine ends the whole process
// when it cannot start its helper process (as root it refuses to run sandboxed, and its helper
// program may be missing), so the program asks first and goes without the browser window when
// the answer is no.

#include <QString>

namespace browser_engine {

struct Conditions
{
    bool runningAsRoot = false;
    // QTWEBENGINE_DISABLE_SANDBOX and QTWEBENGINE_CHROMIUM_FLAGS.
    QString disableSandbox;
    QString chromiumFlags;
    bool helperProgramFound = false;
};

bool canStart(const Conditions& conditions);

// The conditions of this process.
Conditions currentConditions();

} // namespace browser_engine
