#pragma once

#include <QObject>
#include <QSet>
#include <array>
#include <memory>
#include <utility>

#include "commands/quotes.h"
#include "commands/settings_edit.h"

class QAction;
class QThread;
class QTimer;

namespace pelmar {

class RealTimeBox;
class Session;

// The live dollar and AEX quotes of the main window: the timers, the
// ticks, the quote buttons and the real-time box they feed.
//
// A tick fetches on a worker thread of its own (the connection test first,
// then the page) over the controller's one client, and hands the result
// back by a queued call; the window's event loop runs on meanwhile. A limit
// timer (10 s) ends a tick whose answer does not come; a late answer is then
// dropped. Everything that touches the session runs on the thread of this
// object.
class QuoteController : public QObject {
  Q_OBJECT

 public:
  static constexpr int kDollarIntervalMs = 60000;
  static constexpr int kAexIntervalMs = 10000;
  static constexpr int kConnectDelayMs = 5000;
  static constexpr int kLimitMs = 10000;

  QuoteController(Session& session, RealTimeBox& box, QAction& buttonDollar, QAction& buttonAex,
                  QObject* parent = nullptr);
  // Aborts the fetches still running and waits for their workers.
  ~QuoteController() override;

  // Applies what QuoteEffect decided: shows the quote buttons, starts or
  // stops TimerDollar and TimerAEX, starts the one-shot TimerConnect, and
  // empties the real-time box when the quote it shows was switched off.
  // The main window calls it at its first paint; the settings window after
  // OK.
  void ApplyQuoteSwitches(const QuoteSwitches& quotes);

  // One tick each; `fromTimer`: started by TimerDollar itself (only those
  // add to the box's history).
  void TimerDollarTimer(bool fromTimer = true);
  void TimerAEXTimer();
  // The one-shot connection timer: one tick of each.
  void TimerConnectTimer();
  // A click on either quote button: the tick of the button that shows.
  void ButtonAEXDollarClick();

  // Tests: the client (used from the workers, so it must be safe for
  // that), and the limit of a tick.
  void setClient(std::unique_ptr<HttpGet> http);
  void setLimitMs(int ms);
  bool tickRunning(QuoteKind kind) const { return running_[index(kind)]; }

  QTimer* timerDollar() const { return timerDollar_; }
  QTimer* timerAex() const { return timerAex_; }
  QTimer* timerConnect() const { return timerConnect_; }

 signals:
  // A tick ended: with a value shown, or without (no connection, a failed
  // page, the limit passed).
  void tickEnded(pelmar::QuoteKind kind, bool shown);
  // The dollar rate went into the portfolio: the window shows it again.
  void portfolioChanged();

 private:
  static int index(QuoteKind kind) { return kind == QuoteKind::Dollar ? 0 : 1; }
  QAction& button(QuoteKind kind) const;
  // Starts the worker of a tick; false when one is running.
  bool startTick(QuoteKind kind);
  // The worker's results, on this object's thread.
  void connectionFailed(QuoteKind kind, int serial);
  void dollarArrived(int serial, const DollarRate& rate);
  void aexArrived(int serial, const AexQuote& quote);
  // Whether the answer is the one the running tick waits for; ends it.
  bool takeAnswer(QuoteKind kind, int serial);
  void limitPassed(QuoteKind kind);
  void ShowQuoteButtons();

  Session& session_;
  RealTimeBox& box_;
  QAction& buttonDollar_;
  QAction& buttonAex_;
  QTimer* timerDollar_;
  QTimer* timerAex_;
  QTimer* timerConnect_;
  std::array<QTimer*, 2> limit_{};
  std::array<bool, 2> running_{};
  std::array<int, 2> serial_{};
  bool dollarFromTimer_ = true;
  std::unique_ptr<HttpGet> http_;
  QSet<QThread*> workers_;
};

}  // namespace pelmar
