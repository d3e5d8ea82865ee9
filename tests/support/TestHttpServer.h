#pragma once

// A small HTTP/1.1 server on 127.0.0.1 for the web tests, run on the test's event loop. Each
// path answers as routed; paths without a route answer 404. Every connection is closed after
// its answer. Besides plain answers it can redirect, stay silent after accepting, or trickle an
// endless body a byte at a time.

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>
#include <chrono>

class QTcpSocket;

class TestHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Answer
    {
        enum Kind
        {
            Plain,   // status, headers and body at once
            Silent,  // reads the request and never answers
            Trickle, // a 200 header announcing a large body, then one byte per tick forever
        };
        Kind kind = Plain;
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/html; charset=utf-8";
        // Extra header lines, each without its line end.
        QList<QByteArray> headers;
    };

    TestHttpServer();

    // http://127.0.0.1:<port>
    QUrl server() const;
    QUrl url(const QString& path) const;

    void route(const QString& path, Answer answer);
    void answer(const QString& path, int status, const QByteArray& body = {});
    void redirect(const QString& path, const QString& target, int status = 302);
    void silent(const QString& path);
    void trickle(const QString& path, std::chrono::milliseconds tick);

    // The paths asked for, in the order the requests came.
    QStringList requests;

    // A port on 127.0.0.1 where nothing listens: connections are refused.
    static quint16 refusedPort();

Q_SIGNALS:
    void requested(const QString& path);

private:
    void serve(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const QString& path);

    QTcpServer server_;
    QHash<QString, Answer> routes_;
    QHash<QString, std::chrono::milliseconds> trickleTicks_;
};
