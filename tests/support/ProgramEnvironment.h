#pragma once

#include <QProcessEnvironment>

// The environment for the built program and Firebird's tools run as processes of their own: no
// display needed, and the engine settings of each program its own, as on a user's desktop
// (not the ones a test process may have set for itself).
inline QProcessEnvironment programEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("FIREBIRD"));
    env.remove(QStringLiteral("FIREBIRD_LOCK"));
    return env;
}
