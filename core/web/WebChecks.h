#pragma once

// The two checks the program makes once per run with the maker's web server: whether a newer
// version is out, and whether a publicity page is on offer. Each downloads a small file into
// the private download folder and reports its outcome by a signal; neither ever reports an
// error. The requests run on the event loop, so a slow or silent server holds nothing but its
// own check, and each gives up at its time limit.

#include "core/web/BoundedGet.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <chrono>

class QNetworkAccessManager;

class WebChecks : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        // Scheme, host and port of the maker's web server.
        QUrl server;
        std::chrono::milliseconds timeLimit = std::chrono::seconds(30);
        // The folder of the downloaded files; empty for the per-user default.
        QString downloadDirectory;
    };

    explicit WebChecks(Options options, QObject* parent = nullptr);
    // Drops the running requests first, so that none reports while the owner goes away.
    ~WebChecks() override;

    // Downloads the version file to bv.ver and reads its first line; updateChecked follows,
    // telling whether it names a version other than this program's. A failed download or an
    // unreadable file counts as no other version.
    void checkUpdate();
    // Downloads the switch file to isPublicity2.info; publicityChecked follows, telling whether
    // the download succeeded, which is what offers the publicity page. Its content is not read.
    void checkPublicity();
    // Drops the requests still running and deletes both downloaded files where present.
    void deleteDownloadedFiles();

    QString versionFilePath() const;
    QString publicitySwitchFilePath() const;
    const Options& options() const { return options_; }

Q_SIGNALS:
    void updateChecked(bool otherVersionAnnounced);
    void publicityChecked(bool publicityOffered);

private:
    // Downloads url into the file at path; done gets whether the whole answer was 2xx and it
    // was saved.
    void download(const QUrl& url, const QString& path, std::function<void(bool)> done);

    Options options_;
    QNetworkAccessManager* network_ = nullptr;
    // Parent of the running requests' handlers: deleting it drops them all.
    QObject* requests_ = nullptr;
};
