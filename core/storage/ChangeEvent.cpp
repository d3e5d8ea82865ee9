#include "core/storage/ChangeEvent.h"

#include "core/storage/DataModule.h"

namespace change_event {

QString postStatement()
{
    return QStringLiteral("EXECUTE BLOCK AS BEGIN POST_EVENT '") + QLatin1String(kName) +
           QStringLiteral("'; END");
}

void post(DbSession& db)
{
    db.execute(postStatement());
}

} // namespace change_event
