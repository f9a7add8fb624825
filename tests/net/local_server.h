#pragma once

#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include "net/http_client.h"
#include "prices/price_replies.h"

namespace pelmar::test {

// Short client bounds, so every failure ends within a few seconds.
inline HttpLimits quickLimits() {
  HttpLimits limits;
  limits.timeoutMs = 700;
  limits.attempts = 2;
  limits.retryPauseMs = 50;
  return limits;
}

// The path a Dutch stock is asked for, as it reaches the server: Qt's path
// clean-up (seen on 6.4) drops the "/.a" segment of the service's address.
inline QString dutchPricePath(const QString& ticker) {
  return QUrl("http://h" + DutchPriceUrl("/nl/", ticker))
      .adjusted(QUrl::NormalizePathSegments)
      .path();
}

// How the local server answers one path.
struct Route {
  enum class Kind { Reply, Silent, Huge, Redirect };
  Kind kind = Kind::Reply;
  int status = 200;
  QByteArray body;       // Reply: the page
  QString location;      // Redirect: where to
  qint64 hugeBytes = 0;  // Huge: how much to send

  static Route page(QByteArray body, int status = 200) {
    return {Kind::Reply, status, std::move(body), {}, 0};
  }
  static Route silent() { return {Kind::Silent, 0, {}, {}, 0}; }
  static Route huge(qint64 bytes) { return {Kind::Huge, 200, {}, {}, bytes}; }
  static Route redirect(QString to) { return {Kind::Redirect, 302, {}, std::move(to), 0}; }
};

// A certificate and key for 127.0.0.1, made with openssl for one test run.
struct TestCertificate {
  QTemporaryDir dir;
  QString certPath;
  QString keyPath;
  bool ok = false;
};
bool makeTestCertificate(TestCertificate& out);

// A small HTTP(S) server on 127.0.0.1 in a thread of its own, answering
// each path from its routes (a path without one gets 404). Stops when
// destroyed.
class LocalServer : public QThread {
 public:
  explicit LocalServer(QMap<QString, Route> routes, const TestCertificate* tls = nullptr);
  ~LocalServer() override;

  // The address of a path (with its query) on this server.
  QString url(const QString& target) const;
  // The request targets received so far, in order.
  QStringList requests() const;

 protected:
  void run() override;

 private:
  QMap<QString, Route> routes_;
  const TestCertificate* tls_;
  quint16 port_ = 0;
  mutable QMutex mutex_;
  QStringList requests_;
  QSemaphore* ready_ = nullptr;
};

}  // namespace pelmar::test
