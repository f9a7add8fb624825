#include "net/http_client.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace pelmar {

namespace {

// Failures that may pass when tried again; a refused certificate, a
// redirect loop or an address that is no web address will not.
bool worthRetrying(QNetworkReply::NetworkError error, bool timedOut) {
  if (timedOut) return true;
  switch (error) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::ProxyConnectionRefusedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::UnknownNetworkError:
      return true;
    default:
      return false;
  }
}

// Waits the pause with the event loop running, so windows keep painting.
void pause(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

NetworkHttpGet::NetworkHttpGet(HttpLimits limits, QList<QSslCertificate> extraAuthorities)
    : limits_(limits),
      extraAuthorities_(std::move(extraAuthorities)),
      manager_(std::make_unique<QNetworkAccessManager>()) {
  QNetworkProxyFactory::setUseSystemConfiguration(true);
}

NetworkHttpGet::~NetworkHttpGet() = default;

QByteArray NetworkHttpGet::userAgent() {
  return QByteArrayLiteral("Pelmar/") + QCoreApplication::applicationVersion().toLatin1();
}

HttpReply NetworkHttpGet::get(const QString& url) {
  const QUrl address(url, QUrl::StrictMode);
  const QString scheme = address.scheme().toLower();
  if (!address.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
    return {HttpReply::Status::Failed, 0, {}, QStringLiteral("not a web address: ") + url};
  HttpReply reply;
  for (int attempt = 1; attempt <= std::max(1, limits_.attempts); ++attempt) {
    if (attempt > 1) pause(limits_.retryPauseMs);
    bool retry = false;
    reply = this->attempt(address, retry);
    if (!retry) return reply;
  }
  return reply;
}

HttpReply NetworkHttpGet::attempt(const QUrl& url, bool& retry) {
  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setMaximumRedirectsAllowed(limits_.maxRedirects);
  QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
  if (!extraAuthorities_.isEmpty()) ssl.addCaCertificates(extraAuthorities_);
  request.setSslConfiguration(ssl);

  std::unique_ptr<QNetworkReply> network(manager_->get(request));
  HttpReply result;
  bool timedOut = false;
  bool tooLarge = false;
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
    timedOut = true;
    network->abort();
  });
  const auto overBound = [&](qint64 bytes) {
    if (bytes <= limits_.maxBytes || tooLarge) return;
    tooLarge = true;
    network->abort();
  };
  QObject::connect(network.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
    const QVariant length = network->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid()) overBound(length.toLongLong());
  });
  QObject::connect(network.get(), &QNetworkReply::readyRead, &loop, [&] {
    if (tooLarge) return;
    result.body += network->read(limits_.maxBytes + 1 - result.body.size());
    overBound(result.body.size() + network->bytesAvailable());
  });
  // Once the request went out, the connection stood: a failure after that
  // (silence, a redirect loop, a broken reply) is this page's, not the
  // connection's.
  bool sent = false;
  QObject::connect(network.get(), &QNetworkReply::requestSent, &loop, [&] { sent = true; });
  QObject::connect(network.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
  timer.start(limits_.timeoutMs);
  if (!network->isFinished()) loop.exec();
  timer.stop();

  if (tooLarge) {
    return {HttpReply::Status::TooLarge,
            0,
            {},
            QStringLiteral("reply larger than %1 bytes").arg(limits_.maxBytes)};
  }
  const QVariant status = network->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (!timedOut && status.isValid() && network->error() != QNetworkReply::TooManyRedirectsError) {
    // The server answered: its page counts, whatever the status says.
    result.body += network->read(limits_.maxBytes + 1 - result.body.size());
    if (result.body.size() > limits_.maxBytes) return {HttpReply::Status::TooLarge, 0, {}, {}};
    result.status = HttpReply::Status::Ok;
    result.httpStatus = status.toInt();
    return result;
  }
  result.body.clear();
  const bool redirectLoop = network->error() == QNetworkReply::TooManyRedirectsError;
  result.status = sent || redirectLoop ? HttpReply::Status::NoAnswer : HttpReply::Status::Failed;
  result.error = timedOut ? QStringLiteral("no answer within %1 s").arg(limits_.timeoutMs / 1000.0)
                          : network->errorString();
  // A server that took the request and stayed silent is not asked again.
  retry = !sent && !redirectLoop && worthRetrying(network->error(), timedOut);
  return result;
}

}  // namespace pelmar
