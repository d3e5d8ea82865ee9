#pragma once

// The configuration of a private session bus that knows no installed services: nothing on it
// starts on demand (the desktop's notification daemon among them), so a test sees only what it
// starts or registers itself.

#include <QByteArray>

QByteArray bareSessionBusConfig();
