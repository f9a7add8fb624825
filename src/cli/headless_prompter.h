#pragma once

#include <QStringList>
#include <QTextStream>
#include <optional>

#include "commands/prompter.h"

namespace pelmar {

// The buy/sell dialog filled in by a script and ended with OK: the shares
// (negative sells), the price (the proposed one when not given) and the
// fixed costs.
struct ScriptedTrade {
  double quantity = 0;
  std::optional<double> price;
  double costs = 0;
};

// The prompter of the headless tool: it never waits for a person. A
// question, input, date or account choice takes the next queued answer
// when there is one; without one every question gets the cautious answer
// (Cancel when offered, else No), inputs, dates, account choices and file
// dialogs count as cancelled, the save prompt as Cancel. The buy/sell
// dialog takes the entry set for it, else it is cancelled. Messages and
// notices are written to the error stream.
class HeadlessPrompter : public Prompter {
 public:
  explicit HeadlessPrompter(QTextStream& err) : err_(err) {}

  Answer question(const Question& question) override;
  // A portfolio in use by another program: the message is written, and the
  // answer is Yes (read-only) when allowed, else No (not opened).
  Answer portfolioInUse(const Question& question) override;
  InputResult input(const QString& caption, const QString& prompt, const QString& text) override;
  std::optional<QDateTime> pickDate(const QString& caption, const QDateTime& proposal) override;
  void message(const QString& text) override;
  void timedMessage(const QString& line1, const QString& line2, int milliseconds) override;
  void showNotice(const QString& line1, const QString& line2) override;
  void closeNotice() override {}
  std::optional<QString> openFileName(const QString& caption, const QString& folder,
                                      const QString& filter) override;
  std::optional<QString> saveFileName(const QString& caption, const QString& proposal,
                                      const QString& filter) override;
  SaveChoice savePrompt(const QString& message, SaveChoice defaultChoice) override;
  TradeEntry buySell(const TradeProposal& proposal) override;
  AccountChoice chooseAccount(const AccountChoice& proposal) override;
  // The year-closing question takes the next queued answer, and without
  // one is passed over silently; its check box stays clear (the tool never
  // writes the settings).
  CheckedAnswer questionWithCheck(const Question& question, const QString& checkText) override;
  // The stock lists and the new-fund dialogs are not shown headless: the
  // tool's verbs add funds through the commands directly.
  std::optional<StockLine> pickStock(Market) override { return std::nullopt; }
  NewFundEntry newFund(const NewFundForm&) override { return {}; }
  NewFundEntry newManualFund() override { return {}; }

  // The answer to the next question asked: "yes", "no", "cancel" or a text
  // (an input's text, a date as YYYY-MM-DD, an account number 1 to 5).
  void queueAnswer(const QString& answer) { answers_ << answer; }
  // The entry of the next buy/sell dialog; nothing cancels it.
  void setTrade(std::optional<ScriptedTrade> trade) { trade_ = trade; }
  // The account (1 to 5) the next account chooser takes, before any queued
  // answer; nothing clears it. A step sets it for itself and clears it
  // after, so that an account a refused step never asked for reaches no
  // later step.
  void setAccount(std::optional<int> account) { account_ = account; }
  // Whether a portfolio in use by another program is opened read-only.
  void setOpenInUseReadOnly(bool readOnly) { openInUseReadOnly_ = readOnly; }
  // The name the next save-file dialogs answer with; nothing cancels them.
  void setSaveName(std::optional<QString> name) { saveName_ = std::move(name); }

 private:
  void write(const QString& line1, const QString& line2 = {});
  // The next queued answer, lower case for the three words; empty when
  // none is queued.
  std::optional<QString> nextAnswer();

  QStringList answers_;
  std::optional<ScriptedTrade> trade_;
  std::optional<int> account_;
  std::optional<QString> saveName_;
  bool openInUseReadOnly_ = false;

  QTextStream& err_;
};

}  // namespace pelmar
