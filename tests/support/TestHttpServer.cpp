#include "TestHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

TestHttpServer::TestHttpServer()
{
    if (!server_.listen(QHostAddress::LocalHost, 0))
        qFatal("TestHttpServer: cannot listen on 127.0.0.1");
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QUrl TestHttpServer::server() const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(server_.serverPort());
    return url;
}

QUrl TestHttpServer::url(const QString& path) const
{
    QUrl url = server();
    url.setPath(path);
    return url;
}

void TestHttpServer::route(const QString& path, Answer answer)
{
    routes_.insert(path, std::move(answer));
}

void TestHttpServer::answer(const QString& path, int status, const QByteArray& body)
{
    Answer a;
    a.status = status;
    a.body = body;
    route(path, a);
}

void TestHttpServer::redirect(const QString& path, const QString& target, int status)
{
    Answer a;
    a.status = status;
    a.headers << "Location: " + url(target).toEncoded();
    route(path, a);
}

void TestHttpServer::silent(const QString& path)
{
    Answer a;
    a.kind = Answer::Silent;
    route(path, a);
}

void TestHttpServer::trickle(const QString& path, std::chrono::milliseconds tick)
{
    Answer a;
    a.kind = Answer::Trickle;
    route(path, a);
    trickleTicks_.insert(path, tick);
}

quint16 TestHttpServer::refusedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void TestHttpServer::serve(QTcpSocket* socket)
{
    QByteArray buffer = socket->property("request").toByteArray() + socket->readAll();
    if (socket->property("answered").toBool())
        return;
    if (!buffer.contains("\r\n\r\n")) {
        socket->setProperty("request", buffer);
        return;
    }
    socket->setProperty("answered", true);
    const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
    const QString path =
        requestLine.size() >= 2 ? QUrl(QString::fromLatin1(requestLine.at(1))).path() : QString();
    requests << path;
    respond(socket, path);
    Q_EMIT requested(path);
}

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

void TestHttpServer::respond(QTcpSocket* socket, const QString& path)
{
    const auto found = routes_.constFind(path);
    Answer a;
    if (found != routes_.constEnd()) {
        a = *found;
    } else {
        a.status = 404;
        a.body = "<html><body>Not found</body></html>";
    }
    if (a.kind == Answer::Silent)
        return;

    QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + ' ' + reason(a.status) + "\r\n";
    head += "Content-Type: " + a.contentType + "\r\n";
    head += "Cache-Control: no-store\r\n";
    for (const QByteArray& line : a.headers)
        head += line + "\r\n";
    if (a.kind == Answer::Trickle) {
        head += "Content-Length: 1000000\r\nConnection: close\r\n\r\n";
        socket->write(head);
        auto* tick = new QTimer(socket);
        connect(tick, &QTimer::timeout, socket, [socket] { socket->write("x"); });
        tick->start(trickleTicks_.value(path));
        return;
    }
    head += "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head + a.body);
    socket->disconnectFromHost();
}
