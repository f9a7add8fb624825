#include "net/local_server.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSemaphore>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

namespace pelmar::test {

bool makeTestCertificate(TestCertificate& out) {
  out.certPath = out.dir.filePath("cert.pem");
  out.keyPath = out.dir.filePath("key.pem");
  QProcess openssl;
  openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                            "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-keyout",
                            out.keyPath, "-out", out.certPath});
  out.ok = openssl.waitForFinished(60000) && openssl.exitCode() == 0;
  return out.ok;
}

LocalServer::LocalServer(QMap<QString, Route> routes, const TestCertificate* tls)
    : routes_(std::move(routes)), tls_(tls) {
  QSemaphore ready;
  ready_ = &ready;
  start();
  ready.acquire();
  ready_ = nullptr;
}

LocalServer::~LocalServer() {
  quit();
  wait();
}

QString LocalServer::url(const QString& target) const {
  return QStringLiteral("%1://127.0.0.1:%2%3").arg(tls_ ? "https" : "http").arg(port_).arg(target);
}

QStringList LocalServer::requests() const {
  QMutexLocker lock(&mutex_);
  return requests_;
}

namespace {

// Sends `left` more bytes of filler whenever the last piece has gone out.
void streamHuge(QTcpSocket* socket, std::shared_ptr<qint64> left) {
  const QByteArray piece(256 * 1024, 'x');
  const auto more = [socket, left, piece] {
    if (*left <= 0 || socket->bytesToWrite() > 1024 * 1024) return;
    const qint64 n = std::min<qint64>(*left, piece.size());
    *left -= n;
    socket->write(piece.constData(), n);
  };
  QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
  more();
}

}  // namespace

void LocalServer::run() {
  std::unique_ptr<QTcpServer> server;
  if (tls_) {
    auto ssl = std::make_unique<QSslServer>();
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    QFile cert(tls_->certPath);
    QFile key(tls_->keyPath);
    if (cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly)) {
      config.setLocalCertificate(QSslCertificate(cert.readAll()));
      config.setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
    }
    ssl->setSslConfiguration(config);
    server = std::move(ssl);
  } else {
    server = std::make_unique<QTcpServer>();
  }
  server->listen(QHostAddress::LocalHost);
  port_ = server->serverPort();

  QObject::connect(server.get(), &QTcpServer::pendingConnectionAvailable, server.get(), [&] {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
      QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
        if (!socket->property("request").isNull()) return;
        const QByteArray head = socket->peek(64 * 1024);
        if (!head.contains("\r\n\r\n")) return;
        const QString target =
            QString::fromLatin1(head.left(head.indexOf("\r\n")).split(' ').value(1));
        socket->setProperty("request", target);
        {
          QMutexLocker lock(&mutex_);
          requests_ << target;
        }
        // A route for the whole target (with its query) first, else for the path.
        const Route route = routes_.value(
            target, routes_.value(target.section(u'?', 0, 0), Route::page("no such page", 404)));
        switch (route.kind) {
          case Route::Kind::Silent:
            return;
          case Route::Kind::Huge:
            socket->write(QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n"));
            streamHuge(socket, std::make_shared<qint64>(route.hugeBytes));
            return;
          case Route::Kind::Redirect:
            // One request per connection: the client opens another to follow.
            socket->write("HTTP/1.1 302 Found\r\nLocation: " + route.location.toLatin1() +
                          "\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
            socket->disconnectFromHost();
            return;
          case Route::Kind::Reply:
            socket->write(
                "HTTP/1.1 " + QByteArray::number(route.status) +
                " X\r\nContent-Type: text/plain\r\nConnection: close\r\nContent-Length: " +
                QByteArray::number(route.body.size()) + "\r\n\r\n" + route.body);
            socket->disconnectFromHost();
            return;
        }
      });
    }
  });
  ready_->release();
  exec();
}

}  // namespace pelmar::test
