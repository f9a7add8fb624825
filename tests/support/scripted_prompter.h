#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <variant>

#include "commands/prompter.h"

namespace pelmar::test {

// A Prompter that answers from a script. Each expected step names the kind
// of dialog and a piece of text it must contain; a question that is not the
// next step of the script, or a step left unasked at the end, fails the
// running test with a description of both.
class ScriptedPrompter : public Prompter {
 public:
  ~ScriptedPrompter() override;

  ScriptedPrompter& expectQuestion(const QString& containing, Answer answer);
  ScriptedPrompter& expectInput(const QString& containing, InputResult result);
  ScriptedPrompter& expectDate(std::optional<QDateTime> result, const QString& containing = {});
  ScriptedPrompter& expectMessage(const QString& containing);
  ScriptedPrompter& expectTimedMessage(const QString& containing);
  ScriptedPrompter& expectNotice(const QString& containing);
  ScriptedPrompter& expectOpenFile(std::optional<QString> result);
  ScriptedPrompter& expectSaveFile(std::optional<QString> result);
  ScriptedPrompter& expectSavePrompt(const QString& containing, SaveChoice choice);
  // The buy/sell dialog ends with the entry.
  ScriptedPrompter& expectBuySell(TradeEntry entry);
  // The account chooser ends with what `answer` makes of the proposal.
  ScriptedPrompter& expectAccountChoice(std::function<AccountChoice(AccountChoice)> answer);
  // The account chooser ends with OK on the account.
  ScriptedPrompter& expectAccountChoice(int selected);
  // The year-closing question ends with the button and the check box.
  ScriptedPrompter& expectCheckedQuestion(const QString& containing, CheckedAnswer answer);
  // New funds: the stock list in selection mode ends with the row (nothing:
  // cancelled); the new-fund dialogs end with what `answer` makes of them
  // (it may press the list buttons through form.pick).
  ScriptedPrompter& expectPickStock(Market market, std::optional<StockLine> row);
  ScriptedPrompter& expectNewFund(std::function<NewFundEntry(const NewFundForm&)> answer);
  ScriptedPrompter& expectManualFund(NewFundEntry entry);

  // Fails the test when expected steps were not asked; clears them.
  void verify();
  bool done() const { return steps_.empty(); }

  Answer question(const Question& question) override;
  InputResult input(const QString& caption, const QString& prompt, const QString& text) override;
  std::optional<QDateTime> pickDate(const QString& caption, const QDateTime& proposal) override;
  void message(const QString& text) override;
  void timedMessage(const QString& line1, const QString& line2, int milliseconds) override;
  void showNotice(const QString& line1, const QString& line2) override;
  void closeNotice() override { noticeShown_ = false; }
  // Whether a notice is on screen: shown and not closed yet.
  bool noticeShown() const { return noticeShown_; }
  // The last question asked, as the command put it (its default button).
  const Question& lastQuestion() const { return lastQuestion_; }
  std::optional<QString> openFileName(const QString& caption, const QString& folder,
                                      const QString& filter) override;
  std::optional<QString> saveFileName(const QString& caption, const QString& proposal,
                                      const QString& filter) override;
  SaveChoice savePrompt(const QString& message, SaveChoice defaultChoice) override;
  // The default button of the last save prompt.
  SaveChoice lastSaveDefault = SaveChoice::SaveChanges;
  TradeEntry buySell(const TradeProposal& proposal) override;
  AccountChoice chooseAccount(const AccountChoice& proposal) override;
  CheckedAnswer questionWithCheck(const Question& question, const QString& checkText) override;
  std::optional<StockLine> pickStock(Market market) override;
  NewFundEntry newFund(const NewFundForm& form) override;
  NewFundEntry newManualFund() override;

  // Runs whenever a dialog is asked for, before it answers (what the screen
  // shows at that moment can be checked there).
  std::function<void()> whenAsked;

  // What the last buy/sell dialog and account chooser were handed.
  TradeProposal lastTrade;
  AccountChoice lastChoice;
  // The name the last save-file dialog proposed, the text the last input
  // proposed.
  QString lastSaveProposal;
  QString lastInputProposal;

  // The fund-currency dialog answers with this; a dialog opened without
  // it fails the test.
  FundCurrencyChoice chooseFundCurrency(const FundCurrencyProposal& proposal) override;
  std::function<FundCurrencyChoice(const FundCurrencyProposal&)> fundCurrencyAnswer;
  FundCurrencyProposal lastFundCurrency;

 private:
  enum class Kind {
    Question,
    Input,
    Date,
    Message,
    TimedMessage,
    Notice,
    OpenFile,
    SaveFile,
    SavePrompt,
    BuySell,
    ChooseAccount,
    CheckedQuestion,
    PickStock,
    NewFund,
    ManualFund
  };
  using ChoiceAnswer = std::function<pelmar::AccountChoice(pelmar::AccountChoice)>;
  using FundAnswer = std::function<NewFundEntry(const NewFundForm&)>;
  using Result = std::variant<std::monostate, Answer, InputResult, std::optional<QDateTime>,
                              std::optional<QString>, SaveChoice, TradeEntry, ChoiceAnswer,
                              CheckedAnswer, std::optional<StockLine>, FundAnswer>;
  struct Step {
    Kind kind;
    QString containing;
    Result result;
  };

  // The next step when it is of the given kind and its text matches;
  // otherwise records the failure and returns nothing.
  std::optional<Step> next(Kind kind, const QString& shown);
  static const char* name(Kind kind);

  std::deque<Step> steps_;
  bool noticeShown_ = false;
  Question lastQuestion_;
};

}  // namespace pelmar::test
