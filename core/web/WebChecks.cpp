#include "core/web/WebChecks.h"

#include "core/web/DownloadDirectory.h"
#include "core/web/VersionLine.h"
#include "core/web/WebAddresses.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QSaveFile>

WebChecks::WebChecks(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)), network_(new QNetworkAccessManager(this)),
      requests_(new QObject(this))
{
    if (options_.downloadDirectory.isEmpty())
        options_.downloadDirectory = web::defaultDownloadDirectory();
    // The checks talk to the maker's server directly; the answers are never kept.
    network_->setCache(nullptr);
}

WebChecks::~WebChecks()
{
    delete requests_;
}

QString WebChecks::versionFilePath() const
{
    return QDir(options_.downloadDirectory).filePath(web::kVersionFileName);
}

QString WebChecks::publicitySwitchFilePath() const
{
    return QDir(options_.downloadDirectory).filePath(web::kPublicitySwitchFileName);
}

void WebChecks::checkUpdate()
{
    const QString path = versionFilePath();
    download(web::versionFileUrl(options_.server), path, [this, path](bool ok) {
        if (!ok) {
            Q_EMIT updateChecked(false);
            return;
        }
        // The saved copy is what is read, as the check is defined on the downloaded file.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            Q_EMIT updateChecked(false);
            return;
        }
        const QByteArray content = file.read(web::GetLimits{}.maxBytes);
        Q_EMIT updateChecked(version_line::announcesOtherVersion(content));
    });
}

void WebChecks::checkPublicity()
{
    download(web::publicitySwitchUrl(options_.server), publicitySwitchFilePath(),
             [this](bool ok) { Q_EMIT publicityChecked(ok); });
}

void WebChecks::download(const QUrl& url, const QString& path, std::function<void(bool)> done)
{
    web::GetLimits limits;
    limits.timeLimit = options_.timeLimit;
    web::boundedGet(*network_, url, limits, web::GetMode::Body, requests_,
                    [this, path, done = std::move(done)](const web::GetResult& result) {
                        bool saved = false;
                        if (result.succeeded() &&
                            web::ensurePrivateDirectory(options_.downloadDirectory)) {
                            // Written to a fresh file and renamed over the name, so nothing
                            // found under the name is ever written through.
                            QSaveFile file(path);
                            saved = file.open(QIODevice::WriteOnly) &&
                                    file.write(result.body) == result.body.size() && file.commit();
                        }
                        done(saved);
                    });
}

void WebChecks::deleteDownloadedFiles()
{
    delete requests_;
    requests_ = new QObject(this);
    // A missing file is simply not there to remove.
    for (const QString& path : {versionFilePath(), publicitySwitchFilePath()})
        QFile::remove(path);
}
