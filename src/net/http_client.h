#pragma once

#include <QList>
#include <QSslCertificate>
#include <QThread>
#include <memory>
#include <mutex>
#include <vector>

#include "prices/http_get.h"

class QNetworkReply;

namespace pelmar {

// The bounds of one fetch. Every failure ends within about
// (attempts × timeout + pauses), so a dead connection never holds the
// program for long; abort() ends it at once.
struct HttpLimits {
  int timeoutMs = 15000;  // whole attempt, connection included
  int attempts = 3;       // tries when no answer came at all
  int retryPauseMs = 1000;
  qint64 maxBytes = 16 * 1024 * 1024;
  int maxRedirects = 5;
};

// HttpGet over Qt Network. The requests run on a network thread of the
// client's own, whose event loop is the only one they use; get() waits for
// its answer on the calling thread, so the program calls it from a worker
// thread (the download, the quotes) and the user-interface thread keeps
// its own loop. HTTPS certificates are verified against the system's
// authorities (plus any given explicitly, for a private server) and never
// ignored; the system's proxy settings are used.
class NetworkHttpGet : public HttpGet {
 public:
  explicit NetworkHttpGet(HttpLimits limits = {}, QList<QSslCertificate> extraAuthorities = {});
  // Ends what still runs and stops the network thread.
  ~NetworkHttpGet() override;

  HttpReply get(const QString& url) override;
  void abort() override;
  void resume() override;

  // The agent name sent with every request.
  static QByteArray userAgent();

  struct Call;

 private:
  // One request on the network thread; calls again after the pause when
  // the failure may pass, else answers the call.
  void attempt(const std::shared_ptr<Call>& call, int number);
  // What a finished request gave; `retry` tells whether a failure may pass
  // when tried again.
  HttpReply result(QNetworkReply& network, QByteArray body, bool timedOut, bool tooLarge, bool sent,
                   bool& retry) const;

  HttpLimits limits_;
  QList<QSslCertificate> extraAuthorities_;
  QThread network_;
  // Lives on the network thread: the requests' context and their manager's parent.
  QObject* agent_;
  std::mutex callsMutex_;
  std::vector<std::shared_ptr<Call>> calls_;  // waiting in get()
  bool aborted_ = false;
};

}  // namespace pelmar
