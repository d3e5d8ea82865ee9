#include "core/web/WebAddresses.h"

namespace web {

namespace {

QUrl onServer(const QUrl& server, const QString& path)
{
    QUrl url = server;
    url.setPath(path);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

} // namespace

QUrl defaultServer()
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral(QUILLBOX_WEB_HOST));
    url.setPath(QStringLiteral("/"));
    return url;
}

QUrl versionFileUrl(const QUrl& server)
{
    return onServer(server, QStringLiteral("/app/Quillbox/update/bv.ver"));
}

QUrl publicitySwitchUrl(const QUrl& server)
{
    return onServer(server, QStringLiteral("/app/Quillbox/publicity2/isPublicity2.info"));
}

QUrl publicityPageUrl(const QUrl& server)
{
    // The trailing slash makes the server deliver the folder's default page.
    return onServer(server, QStringLiteral("/app/Quillbox/publicity2/"));
}

QUrl productSiteUrl(const QUrl& server)
{
    return onServer(server, QStringLiteral("/"));
}

} // namespace web
