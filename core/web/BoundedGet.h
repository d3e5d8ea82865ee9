#pragma once

// One HTTP GET that can neither hold the program nor flood it: it runs on the event loop of the
// calling thread, gives up when the whole exchange (connection, redirects, answer) takes longer
// than its time limit, and stops reading once the answer exceeds its size cap. Redirects are
// followed, up to a small number.

#include <QByteArray>
#include <QUrl>
#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QObject;

namespace web {

struct GetLimits
{
    std::chrono::milliseconds timeLimit = std::chrono::seconds(30);
    // The version and switch files need a few bytes.
    qint64 maxBytes = 64 * 1024;
    int maxRedirects = 10;
};

struct GetResult
{
    // The HTTP status of the last answer (after redirects); 0 when there was none (no
    // connection, not an HTTP URL, no answer within the time limit).
    int status = 0;
    QByteArray body;
    // The whole body arrived without a network error, within the time limit and the cap.
    bool complete = false;

    // A download that counts: a whole 2xx answer.
    bool succeeded() const { return complete && status >= 200 && status < 300; }
};

enum class GetMode
{
    // Read the whole body (up to the cap).
    Body,
    // Only the status matters: the exchange ends as soon as the final answer's status is known.
    StatusOnly,
};

// Starts the request; done runs once, later, on context's thread, unless context is destroyed
// first (the request is then abandoned). URLs other than http and https get status 0.
void boundedGet(QNetworkAccessManager& network, const QUrl& url, const GetLimits& limits,
                GetMode mode, QObject* context, std::function<void(const GetResult&)> done);

} // namespace web
