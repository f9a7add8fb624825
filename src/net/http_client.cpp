#include "net/http_client.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>

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

HttpReply abortedReply() {
  return {HttpReply::Status::Failed, 0, {}, QStringLiteral("aborted")};
}

}  // namespace

// One get() waiting for its answer; answered once, by the network thread or
// by abort(), whichever comes first.
struct NetworkHttpGet::Call {
  QUrl url;
  std::mutex mutex;
  std::condition_variable answered;
  std::optional<HttpReply> reply;

  void answer(HttpReply given) {
    const std::lock_guard lock(mutex);
    if (reply) return;
    reply = std::move(given);
    answered.notify_all();
  }
  bool isAnswered() {
    const std::lock_guard lock(mutex);
    return reply.has_value();
  }
};

NetworkHttpGet::NetworkHttpGet(HttpLimits limits, QList<QSslCertificate> extraAuthorities)
    : limits_(limits), extraAuthorities_(std::move(extraAuthorities)), agent_(new QObject) {
  QNetworkProxyFactory::setUseSystemConfiguration(true);
  network_.setObjectName(QStringLiteral("pelmar-network"));
  agent_->moveToThread(&network_);
  network_.start();
}

NetworkHttpGet::~NetworkHttpGet() {
  abort();
  // The manager and its replies end on the thread they live on.
  QMetaObject::invokeMethod(
      agent_, [agent = agent_] { delete agent; }, Qt::BlockingQueuedConnection);
  network_.quit();
  network_.wait();
}

QByteArray NetworkHttpGet::userAgent() {
  return QByteArrayLiteral("Pelmar/") + QCoreApplication::applicationVersion().toLatin1();
}

HttpReply NetworkHttpGet::get(const QString& url) {
  const QUrl address(url, QUrl::StrictMode);
  const QString scheme = address.scheme().toLower();
  if (!address.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
    return {HttpReply::Status::Failed, 0, {}, QStringLiteral("not a web address: ") + url};
  auto call = std::make_shared<Call>();
  call->url = address;
  {
    // Under the lock that abort() takes, so a call is either refused here
    // or seen there.
    const std::lock_guard lock(callsMutex_);
    if (aborted_) return abortedReply();
    calls_.push_back(call);
  }
  QMetaObject::invokeMethod(
      agent_, [this, call] { attempt(call, 1); }, Qt::QueuedConnection);
  HttpReply reply;
  {
    std::unique_lock lock(call->mutex);
    call->answered.wait(lock, [&] { return call->reply.has_value(); });
    reply = *call->reply;
  }
  const std::lock_guard lock(callsMutex_);
  calls_.erase(std::find(calls_.begin(), calls_.end(), call));
  return reply;
}

void NetworkHttpGet::abort() {
  std::vector<std::shared_ptr<Call>> waiting;
  {
    const std::lock_guard lock(callsMutex_);
    aborted_ = true;
    waiting = calls_;
  }
  for (const std::shared_ptr<Call>& call : waiting) call->answer(abortedReply());
  // The requests themselves end on their thread; their answers are dropped.
  QMetaObject::invokeMethod(
      agent_,
      [agent = agent_] {
        for (QNetworkReply* reply : agent->findChildren<QNetworkReply*>()) reply->abort();
      },
      Qt::QueuedConnection);
}

void NetworkHttpGet::resume() {
  const std::lock_guard lock(callsMutex_);
  aborted_ = false;
}

void NetworkHttpGet::attempt(const std::shared_ptr<Call>& call, int number) {
  if (call->isAnswered()) return;  // aborted meanwhile
  auto* manager = agent_->findChild<QNetworkAccessManager*>();
  if (!manager) manager = new QNetworkAccessManager(agent_);
  QNetworkRequest request(call->url);
  request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  request.setMaximumRedirectsAllowed(limits_.maxRedirects);
  QSslConfiguration ssl = QSslConfiguration::defaultConfiguration();
  if (!extraAuthorities_.isEmpty()) ssl.addCaCertificates(extraAuthorities_);
  request.setSslConfiguration(ssl);

  QNetworkReply* network = manager->get(request);
  struct State {
    QByteArray body;
    bool timedOut = false;
    bool tooLarge = false;
    // Once the request went out, the connection stood: a failure after
    // that (silence, a redirect loop, a broken reply) is this page's, not
    // the connection's.
    bool sent = false;
  };
  auto state = std::make_shared<State>();
  auto* timer = new QTimer(network);
  timer->setSingleShot(true);
  QObject::connect(timer, &QTimer::timeout, network, [network, state] {
    state->timedOut = true;
    network->abort();
  });
  const auto overBound = [this, network, state](qint64 bytes) {
    if (bytes <= limits_.maxBytes || state->tooLarge) return;
    state->tooLarge = true;
    network->abort();
  };
  QObject::connect(network, &QNetworkReply::metaDataChanged, network, [network, overBound] {
    const QVariant length = network->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid()) overBound(length.toLongLong());
  });
  QObject::connect(network, &QNetworkReply::readyRead, network, [this, network, state, overBound] {
    if (state->tooLarge) return;
    state->body += network->read(limits_.maxBytes + 1 - state->body.size());
    overBound(state->body.size() + network->bytesAvailable());
  });
  QObject::connect(network, &QNetworkReply::requestSent, network, [state] { state->sent = true; });
  QObject::connect(network, &QNetworkReply::finished, agent_, [this, call, number, network, state] {
    network->deleteLater();
    bool retry = false;
    HttpReply reply =
        result(*network, state->body, state->timedOut, state->tooLarge, state->sent, retry);
    if (retry && number < std::max(1, limits_.attempts) && !call->isAnswered()) {
      QTimer::singleShot(limits_.retryPauseMs, agent_,
                         [this, call, number] { attempt(call, number + 1); });
    } else {
      call->answer(std::move(reply));
    }
  });
  timer->start(limits_.timeoutMs);
}

HttpReply NetworkHttpGet::result(QNetworkReply& network, QByteArray body, bool timedOut,
                                 bool tooLarge, bool sent, bool& retry) const {
  if (tooLarge) {
    return {HttpReply::Status::TooLarge,
            0,
            {},
            QStringLiteral("reply larger than %1 bytes").arg(limits_.maxBytes)};
  }
  const QVariant status = network.attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (!timedOut && status.isValid() && network.error() != QNetworkReply::TooManyRedirectsError) {
    // The server answered: its page counts, whatever the status says.
    body += network.read(limits_.maxBytes + 1 - body.size());
    if (body.size() > limits_.maxBytes) return {HttpReply::Status::TooLarge, 0, {}, {}};
    return {HttpReply::Status::Ok, status.toInt(), body, {}};
  }
  HttpReply result;
  const bool redirectLoop = network.error() == QNetworkReply::TooManyRedirectsError;
  result.status = sent || redirectLoop ? HttpReply::Status::NoAnswer : HttpReply::Status::Failed;
  result.error = network.errorString();
  if (timedOut) result.timedOutAfter = limits_.timeoutMs / 1000.0;
  // A server that took the request and stayed silent is not asked again.
  retry = !sent && !redirectLoop && worthRetrying(network.error(), timedOut);
  return result;
}

}  // namespace pelmar
