#include "core/web/BoundedGet.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace web {

namespace {

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The state of one request, shared by the handlers of its reply.
struct Exchange
{
    QPointer<QNetworkReply> reply;
    QPointer<QTimer> limit;
    GetMode mode = GetMode::Body;
    qint64 maxBytes = 0;
    GetResult result;
    bool settled = false;
    std::function<void(const GetResult&)> done;

    int currentStatus() const
    {
        return reply ? reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
    }

    // The status of the final answer is known once it is not a redirect still to be followed.
    bool statusKnown() const
    {
        const int status = currentStatus();
        return status != 0 && !isRedirect(status);
    }

    // Appends what has arrived; false when that went over the cap.
    bool readAvailable()
    {
        const qint64 room = maxBytes - result.body.size();
        result.body += reply->read(room + 1);
        if (result.body.size() <= maxBytes)
            return true;
        result.body.truncate(maxBytes);
        return false;
    }

    // Ends the exchange once with its result; a reply still running is aborted.
    void settle(int status, bool complete)
    {
        if (settled)
            return;
        settled = true;
        result.status = status;
        result.complete = complete;
        delete limit;
        if (reply) {
            reply->disconnect();
            if (reply->isRunning())
                reply->abort();
            reply->deleteLater();
        }
        auto deliver = std::move(done);
        if (deliver)
            deliver(result);
    }
};

} // namespace

void boundedGet(QNetworkAccessManager& network, const QUrl& url, const GetLimits& limits,
                GetMode mode, QObject* context, std::function<void(const GetResult&)> done)
{
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        // No HTTP status for such a URL; answered later all the same, like every request.
        QTimer::singleShot(0, context, [done = std::move(done)] { done(GetResult{}); });
        return;
    }

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(limits.maxRedirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QFileInfo(QCoreApplication::applicationFilePath()).fileName());

    auto exchange = std::make_shared<Exchange>();
    exchange->mode = mode;
    exchange->maxBytes = limits.maxBytes;
    exchange->done = std::move(done);
    QNetworkReply* reply = network.get(request);
    exchange->reply = reply;

    // The context owns the limit timer, so a context that goes away takes the request with it.
    auto* limit = new QTimer(context);
    limit->setSingleShot(true);
    exchange->limit = limit;
    QObject::connect(limit, &QTimer::timeout, context, [exchange] { exchange->settle(0, false); });
    QObject::connect(context, &QObject::destroyed, reply, [exchange] {
        exchange->done = nullptr;
        exchange->settle(0, false);
    });

    QObject::connect(reply, &QNetworkReply::metaDataChanged, context, [exchange] {
        if (exchange->settled || !exchange->statusKnown())
            return;
        const int status = exchange->currentStatus();
        if (exchange->mode == GetMode::StatusOnly) {
            exchange->settle(status, true);
            return;
        }
        // An answer that announces more than the cap is not worth reading.
        const QVariant length = exchange->reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > exchange->maxBytes)
            exchange->settle(status, false);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, context, [exchange] {
        if (exchange->settled || !exchange->statusKnown())
            return;
        const int status = exchange->currentStatus();
        if (exchange->mode == GetMode::StatusOnly)
            exchange->settle(status, true);
        else if (!exchange->readAvailable())
            exchange->settle(status, false);
    });
    QObject::connect(reply, &QNetworkReply::finished, context, [exchange] {
        if (exchange->settled)
            return;
        int status = exchange->currentStatus();
        // A redirect that was not followed to its end (a loop, too many) is no answer at all.
        if (isRedirect(status))
            status = 0;
        if (exchange->mode == GetMode::Body && !exchange->readAvailable()) {
            exchange->settle(status, false);
            return;
        }
        // An error answer (404, 500) keeps its status but is no complete download.
        exchange->settle(status, exchange->reply->error() == QNetworkReply::NoError);
    });
    limit->start(limits.timeLimit);
}

} // namespace web
