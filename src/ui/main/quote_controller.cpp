#include "ui/main/quote_controller.h"

#include <QAction>
#include <QThread>
#include <QTimer>

#include "commands/session.h"
#include "net/http_client.h"
#include "ui/main/real_time_box.h"

namespace pelmar {

namespace {

// The client of a tick: short attempts, so that a dead connection ends a
// tick soon after its limit and a closing window waits little.
HttpLimits quoteLimits() {
  HttpLimits limits;
  limits.timeoutMs = 4000;
  limits.attempts = 1;
  limits.maxBytes = 4 * 1024 * 1024;
  return limits;
}

}  // namespace

QuoteController::QuoteController(Session& session, RealTimeBox& box, QAction& buttonDollar,
                                 QAction& buttonAex, QObject* parent)
    : QObject(parent),
      session_(session),
      box_(box),
      buttonDollar_(buttonDollar),
      buttonAex_(buttonAex),
      timerDollar_(new QTimer(this)),
      timerAex_(new QTimer(this)),
      timerConnect_(new QTimer(this)),
      http_(std::make_unique<NetworkHttpGet>(quoteLimits())) {
  timerDollar_->setObjectName(QStringLiteral("TimerDollar"));
  timerDollar_->setInterval(kDollarIntervalMs);
  connect(timerDollar_, &QTimer::timeout, this, [this] { TimerDollarTimer(true); });
  timerAex_->setObjectName(QStringLiteral("TimerAEX"));
  timerAex_->setInterval(kAexIntervalMs);
  connect(timerAex_, &QTimer::timeout, this, [this] { TimerAEXTimer(); });
  timerConnect_->setObjectName(QStringLiteral("TimerConnect"));
  timerConnect_->setSingleShot(true);
  timerConnect_->setInterval(kConnectDelayMs);
  connect(timerConnect_, &QTimer::timeout, this, [this] { TimerConnectTimer(); });
  for (const QuoteKind kind : {QuoteKind::Dollar, QuoteKind::Aex}) {
    QTimer*& limit = limit_[index(kind)];
    limit = new QTimer(this);
    limit->setSingleShot(true);
    limit->setInterval(kLimitMs);
    connect(limit, &QTimer::timeout, this, [this, kind] { limitPassed(kind); });
  }
}

QuoteController::~QuoteController() {
  // The fetches in flight fail at once, so a closing window waits little.
  http_->abort();
  for (QThread* worker : std::as_const(workers_)) {
    worker->wait();
    delete worker;
  }
}

void QuoteController::setClient(std::unique_ptr<HttpGet> http) {
  // A client in use by a worker stays until that worker is done.
  for (QThread* worker : std::as_const(workers_)) worker->wait();
  http_ = std::move(http);
}

void QuoteController::setLimitMs(int ms) {
  for (QTimer* limit : limit_) limit->setInterval(ms);
}

QAction& QuoteController::button(QuoteKind kind) const {
  return kind == QuoteKind::Dollar ? buttonDollar_ : buttonAex_;
}

void QuoteController::ApplyQuoteSwitches(const QuoteSwitches& quotes) {
  buttonDollar_.setVisible(quotes.buttons.dollar);
  buttonAex_.setVisible(quotes.buttons.aex);
  const auto run = [](QTimer* timer, bool on) {
    if (on && !timer->isActive()) timer->start();
    if (!on) timer->stop();
  };
  run(timerDollar_, quotes.dollar);
  run(timerAex_, quotes.aex);
  if (quotes.connect) {
    timerConnect_->start();
  } else {
    timerConnect_->stop();
  }
  if ((quotes.clearDollar && box_.shownQuote() == QuoteKind::Dollar) ||
      (quotes.clearAex && box_.shownQuote() == QuoteKind::Aex))
    box_.clearQuote();
}

void QuoteController::ShowQuoteButtons() {
  const QuoteButtons shown = pelmar::ShowQuoteButtons(session_.settings());
  buttonDollar_.setVisible(shown.dollar);
  buttonAex_.setVisible(shown.aex);
}

void QuoteController::TimerConnectTimer() {
  timerConnect_->stop();
  TimerDollarTimer(false);
  TimerAEXTimer();
}

void QuoteController::ButtonAEXDollarClick() {
  if (buttonAex_.isVisible()) TimerAEXTimer();
  if (buttonDollar_.isVisible()) TimerDollarTimer(false);
}

void QuoteController::TimerDollarTimer(bool fromTimer) {
  if (running_[0]) return;
  dollarFromTimer_ = fromTimer;
  (void)startTick(QuoteKind::Dollar);
}

void QuoteController::TimerAEXTimer() {
  (void)startTick(QuoteKind::Aex);
}

bool QuoteController::startTick(QuoteKind kind) {
  const int i = index(kind);
  if (running_[i] || !QuoteTickAllowed(session_, kind)) return false;
  running_[i] = true;
  button(kind).setEnabled(false);
  const int serial = ++serial_[i];
  const QString page = QuotePage(session_, kind);
  const Language language = session_.language();
  // The worker only fetches and parses; the answer comes back as a queued
  // call, and this object outlives the worker (the destructor waits).
  QThread* worker = QThread::create([this, kind, serial, page, language, &http = *http_] {
    if (!ConnectionTest(http, page)) {
      QMetaObject::invokeMethod(
          this, [this, kind, serial] { connectionFailed(kind, serial); }, Qt::QueuedConnection);
    } else if (kind == QuoteKind::Dollar) {
      const DollarRate rate = FetchDollarRate(http, page);
      QMetaObject::invokeMethod(
          this, [this, serial, rate] { dollarArrived(serial, rate); }, Qt::QueuedConnection);
    } else {
      const AexQuote quote = FetchAEX(http, page, language);
      QMetaObject::invokeMethod(
          this, [this, serial, quote] { aexArrived(serial, quote); }, Qt::QueuedConnection);
    }
  });
  workers_.insert(worker);
  connect(worker, &QThread::finished, this, [this, worker] {
    if (workers_.remove(worker)) worker->deleteLater();
    ShowQuoteButtons();
  });
  limit_[i]->start();
  worker->start();
  return true;
}

bool QuoteController::takeAnswer(QuoteKind kind, int serial) {
  const int i = index(kind);
  if (!running_[i] || serial != serial_[i]) return false;  // a late answer
  running_[i] = false;
  limit_[i]->stop();
  return true;
}

void QuoteController::connectionFailed(QuoteKind kind, int serial) {
  // No connection: the tick ends quietly and its button stays disabled
  // until a tick gets through.
  if (takeAnswer(kind, serial)) emit tickEnded(kind, false);
}

void QuoteController::dollarArrived(int serial, const DollarRate& rate) {
  if (!takeAnswer(QuoteKind::Dollar, serial)) return;
  const DollarTickResult result = ApplyDollarRate(session_, rate);
  if (result.arrived) {
    box_.ShowDollarQuote(rate.rate, dollarFromTimer_, DollarTimeStamp(session_));
    emit portfolioChanged();
  }
  buttonDollar_.setEnabled(true);
  emit tickEnded(QuoteKind::Dollar, result.arrived);
}

void QuoteController::aexArrived(int serial, const AexQuote& quote) {
  if (!takeAnswer(QuoteKind::Aex, serial)) return;
  if (quote.ok()) {
    box_.ShowAEXQuote(quote.value, quote.change, quote.percent, quote.time);
  } else {
    box_.ShowAEXFailure(quote.lastText, quote.failure->text(session_.language()));
  }
  buttonAex_.setEnabled(true);
  emit tickEnded(QuoteKind::Aex, quote.ok());
}

void QuoteController::limitPassed(QuoteKind kind) {
  const int i = index(kind);
  if (!running_[i]) return;
  // Nothing came in time: nothing is shown or changed; the answer, should
  // it still come, is dropped.
  running_[i] = false;
  button(kind).setEnabled(true);
  emit tickEnded(kind, false);
}

}  // namespace pelmar
