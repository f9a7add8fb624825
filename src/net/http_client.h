#pragma once

#include <QList>
#include <QSslCertificate>
#include <memory>

#include "prices/http_get.h"

class QNetworkAccessManager;

namespace pelmar {

// The bounds of one fetch. Every failure ends within about
// (attempts × timeout + pauses), so a dead connection never holds the
// program for long.
struct HttpLimits {
  int timeoutMs = 15000;  // whole attempt, connection included
  int attempts = 3;       // tries when no answer came at all
  int retryPauseMs = 1000;
  qint64 maxBytes = 16 * 1024 * 1024;
  int maxRedirects = 5;
};

// HttpGet over Qt Network on the calling thread: the fetch runs in a local
// event loop, so windows keep painting and a Cancel button keeps working.
// HTTPS certificates are verified against the system's authorities (plus
// any given explicitly, for a private server) and never ignored; the
// system's proxy settings are used.
class NetworkHttpGet : public HttpGet {
 public:
  explicit NetworkHttpGet(HttpLimits limits = {}, QList<QSslCertificate> extraAuthorities = {});
  ~NetworkHttpGet() override;

  HttpReply get(const QString& url) override;

  // The agent name sent with every request.
  static QByteArray userAgent();

 private:
  // One request; `retry` tells whether a failure may pass when tried again.
  HttpReply attempt(const QUrl& url, bool& retry);

  HttpLimits limits_;
  QList<QSslCertificate> extraAuthorities_;
  std::unique_ptr<QNetworkAccessManager> manager_;
};

}  // namespace pelmar
