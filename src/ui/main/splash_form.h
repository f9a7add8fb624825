#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "commands/prompter.h"

namespace pelmar {

class Session;

// The start-up splash window: borderless and on top, a picture with one
// caption line under it. A click closes it, and so does its timer.
class TSplashForm : public QWidget {
  Q_OBJECT

 public:
  explicit TSplashForm(const Session& session, QWidget* parent = nullptr);

  // Shows it centred on the main window's stored rectangle.
  void showCentred();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const Session& session_;
  QTimer timer_;
};

// The prompter of the start while the splash window shows: it closes the
// splash before any question or message, which the splash (on top of every
// window) would otherwise hide, then asks the program's prompter.
class SplashClosingPrompter : public Prompter {
 public:
  SplashClosingPrompter(Prompter& inner, TSplashForm* splash) : inner_(inner), splash_(splash) {}

  Answer question(const Question& q) override;
  InputResult input(const QString& caption, const QString& prompt, const QString& text) override;
  std::optional<QDateTime> pickDate(const QString& caption, const QDateTime& proposal) override;
  void message(const QString& text) override;
  void timedMessage(const QString& line1, const QString& line2, int milliseconds) override;
  void showNotice(const QString& line1, const QString& line2) override;
  void closeNotice() override { inner_.closeNotice(); }
  std::optional<QString> openFileName(const QString& caption, const QString& folder,
                                      const QString& filter) override;
  std::optional<QString> saveFileName(const QString& caption, const QString& proposal,
                                      const QString& filter) override;
  SaveChoice savePrompt(const QString& message, SaveChoice defaultChoice) override;
  std::optional<QString> chooseFolder(const QString& caption, const QString& folder,
                                      const QString& mask) override;
  TradeEntry buySell(const TradeProposal& proposal) override;
  AccountChoice chooseAccount(const AccountChoice& proposal) override;
  FundCurrencyChoice chooseFundCurrency(const FundCurrencyProposal& proposal) override;
  CheckedAnswer questionWithCheck(const Question& q, const QString& checkText) override;
  std::optional<StockLine> pickStock(Market market) override;
  NewFundEntry newFund(const NewFundForm& form) override;
  NewFundEntry newManualFund() override;

 private:
  // Closes the splash; every dialog asks this first.
  Prompter& inner();

  Prompter& inner_;
  QPointer<TSplashForm> splash_;
};

}  // namespace pelmar
