#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

namespace pelmar::test {

ScriptedPrompter::~ScriptedPrompter() {
  verify();
}

ScriptedPrompter& ScriptedPrompter::expectQuestion(const QString& containing, Answer answer) {
  steps_.push_back({Kind::Question, containing, answer});
  return *this;
}
ScriptedPrompter& ScriptedPrompter::expectCheckedQuestion(const QString& containing,
                                                          CheckedAnswer answer) {
  steps_.push_back({Kind::CheckedQuestion, containing, answer});
  return *this;
}
ScriptedPrompter& ScriptedPrompter::expectInput(const QString& containing, InputResult result) {
  steps_.push_back({Kind::Input, containing, result});
  return *this;
}
ScriptedPrompter& ScriptedPrompter::expectDate(std::optional<QDateTime> result,
                                               const QString& containing) {
  steps_.push_back({Kind::Date, containing, result});
  return *this;
}
ScriptedPrompter& ScriptedPrompter::expectMessage(const QString& containing) {
  steps_.push_back({Kind::Message, containing, std::monostate{}});
  return *this;
}
ScriptedPrompter& ScriptedPrompter::expectTimedMessage(const QString& containing) {
  steps_.push_back({Kind::TimedMessage, containing, std::monostate{}});
  return *this;
}
ScriptedPrompter& ScriptedPrompter::expectNotice(const QString& containing) {
  steps_.push_back({Kind::Notice, containing, std::monostate{}});
  return *this;
}
ScriptedPrompter& ScriptedPrompter::expectOpenFile(std::optional<QString> result) {
  steps_.push_back({Kind::OpenFile, QString(), result});
  return *this;
}
ScriptedPrompter& ScriptedPrompter::expectSaveFile(std::optional<QString> result) {
  steps_.push_back({Kind::SaveFile, QString(), result});
  return *this;
}

ScriptedPrompter& ScriptedPrompter::expectSavePrompt(const QString& containing, SaveChoice choice) {
  steps_.push_back({Kind::SavePrompt, containing, choice});
  return *this;
}

ScriptedPrompter& ScriptedPrompter::expectBuySell(TradeEntry entry) {
  steps_.push_back({Kind::BuySell, QString(), entry});
  return *this;
}

ScriptedPrompter& ScriptedPrompter::expectAccountChoice(ChoiceAnswer answer) {
  steps_.push_back({Kind::ChooseAccount, QString(), std::move(answer)});
  return *this;
}

ScriptedPrompter& ScriptedPrompter::expectAccountChoice(int selected) {
  return expectAccountChoice([selected](pelmar::AccountChoice choice) {
    choice.accepted = true;
    choice.selected = selected;
    return choice;
  });
}

const char* ScriptedPrompter::name(Kind kind) {
  switch (kind) {
    case Kind::Question:
      return "question";
    case Kind::Input:
      return "input";
    case Kind::Date:
      return "date picker";
    case Kind::Message:
      return "message";
    case Kind::TimedMessage:
      return "timed message";
    case Kind::Notice:
      return "notice";
    case Kind::OpenFile:
      return "open-file dialog";
    case Kind::SaveFile:
      return "save-file dialog";
    case Kind::SavePrompt:
      return "save prompt";
    case Kind::BuySell:
      return "buy/sell dialog";
    case Kind::ChooseAccount:
      return "account chooser";
    case Kind::CheckedQuestion:
      return "question with a check box";
    case Kind::PickStock:
      return "stock list selection";
    case Kind::NewFund:
      return "new-fund dialog";
    case Kind::ManualFund:
      return "manual new-fund dialog";
  }
  return "?";
}

void ScriptedPrompter::verify() {
  for (const Step& s : steps_)
    ADD_FAILURE() << "Expected " << name(s.kind) << " containing \"" << s.containing.toStdString()
                  << "\" was never asked";
  steps_.clear();
}

std::optional<ScriptedPrompter::Step> ScriptedPrompter::next(Kind kind, const QString& shown) {
  if (whenAsked) whenAsked();
  if (steps_.empty()) {
    ADD_FAILURE() << "Unexpected " << name(kind) << ": \"" << shown.toStdString() << "\"";
    return std::nullopt;
  }
  Step step = steps_.front();
  if (step.kind != kind || !shown.contains(step.containing)) {
    ADD_FAILURE() << "Expected " << name(step.kind) << " containing \""
                  << step.containing.toStdString() << "\" but got " << name(kind) << ": \""
                  << shown.toStdString() << "\"";
    return std::nullopt;
  }
  steps_.pop_front();
  return step;
}

// An unexpected question is answered in the most cautious way: Cancel, or
// nothing chosen.
Answer ScriptedPrompter::question(const Question& q) {
  lastQuestion_ = q;
  const auto step = next(Kind::Question, q.caption + QChar('\n') + q.message);
  return step ? std::get<Answer>(step->result) : Answer::Cancel;
}

InputResult ScriptedPrompter::input(const QString& caption, const QString& prompt,
                                    const QString& text) {
  lastInputProposal = text;
  const auto step = next(Kind::Input, caption + QChar('\n') + prompt);
  return step ? std::get<InputResult>(step->result) : InputResult{false, text};
}

std::optional<QDateTime> ScriptedPrompter::pickDate(const QString& caption,
                                                    const QDateTime& proposal) {
  const auto step = next(Kind::Date, caption + QChar('\n') + proposal.toString(Qt::ISODate));
  return step ? std::get<std::optional<QDateTime>>(step->result) : std::nullopt;
}

void ScriptedPrompter::message(const QString& text) {
  next(Kind::Message, text);
}

void ScriptedPrompter::timedMessage(const QString& line1, const QString& line2, int) {
  next(Kind::TimedMessage, line1 + QChar('\n') + line2);
}

void ScriptedPrompter::showNotice(const QString& line1, const QString& line2) {
  next(Kind::Notice, line1 + QChar('\n') + line2);
  noticeShown_ = true;
}

std::optional<QString> ScriptedPrompter::openFileName(const QString& caption, const QString&,
                                                      const QString&) {
  const auto step = next(Kind::OpenFile, caption);
  return step ? std::get<std::optional<QString>>(step->result) : std::nullopt;
}

std::optional<QString> ScriptedPrompter::saveFileName(const QString& caption,
                                                      const QString& proposal, const QString&) {
  lastSaveProposal = proposal;
  const auto step = next(Kind::SaveFile, caption);
  return step ? std::get<std::optional<QString>>(step->result) : std::nullopt;
}

SaveChoice ScriptedPrompter::savePrompt(const QString& message, SaveChoice defaultChoice) {
  lastSaveDefault = defaultChoice;
  const auto step = next(Kind::SavePrompt, message);
  return step ? std::get<SaveChoice>(step->result) : SaveChoice::Cancel;
}

}  // namespace pelmar::test

namespace pelmar::test {

TradeEntry ScriptedPrompter::buySell(const TradeProposal& proposal) {
  lastTrade = proposal;
  const auto step = next(Kind::BuySell, proposal.ticker);
  return step ? std::get<TradeEntry>(step->result) : TradeEntry{};
}

AccountChoice ScriptedPrompter::chooseAccount(const AccountChoice& proposal) {
  lastChoice = proposal;
  const auto step = next(Kind::ChooseAccount, QString());
  if (!step) return AccountChoice{};
  return std::get<ChoiceAnswer>(step->result)(proposal);
}

FundCurrencyChoice ScriptedPrompter::chooseFundCurrency(const FundCurrencyProposal& proposal) {
  lastFundCurrency = proposal;
  if (!fundCurrencyAnswer) {
    ADD_FAILURE() << "unexpected fund-currency dialog";
    return {};
  }
  return fundCurrencyAnswer(proposal);
}

CheckedAnswer ScriptedPrompter::questionWithCheck(const Question& q, const QString& checkText) {
  lastQuestion_ = q;
  const auto step =
      next(Kind::CheckedQuestion, q.caption + QChar('\n') + q.message + QChar('\n') + checkText);
  return step ? std::get<CheckedAnswer>(step->result) : CheckedAnswer{};
}

}  // namespace pelmar::test

namespace pelmar::test {

namespace {

QString marketName(Market market) {
  return market == Market::Dutch ? QStringLiteral("nl") : QStringLiteral("us");
}

}  // namespace

ScriptedPrompter& ScriptedPrompter::expectPickStock(Market market, std::optional<StockLine> row) {
  steps_.push_back({Kind::PickStock, marketName(market), std::move(row)});
  return *this;
}

ScriptedPrompter& ScriptedPrompter::expectNewFund(FundAnswer answer) {
  steps_.push_back({Kind::NewFund, QString(), std::move(answer)});
  return *this;
}

ScriptedPrompter& ScriptedPrompter::expectManualFund(NewFundEntry entry) {
  steps_.push_back(
      {Kind::ManualFund, QString(), FundAnswer([entry](const NewFundForm&) { return entry; })});
  return *this;
}

std::optional<StockLine> ScriptedPrompter::pickStock(Market market) {
  const auto step = next(Kind::PickStock, marketName(market));
  return step ? std::get<std::optional<StockLine>>(step->result) : std::nullopt;
}

NewFundEntry ScriptedPrompter::newFund(const NewFundForm& form) {
  const auto step = next(Kind::NewFund, QString());
  return step ? std::get<FundAnswer>(step->result)(form) : NewFundEntry{};
}

NewFundEntry ScriptedPrompter::newManualFund() {
  const auto step = next(Kind::ManualFund, QString());
  return step ? std::get<FundAnswer>(step->result)(NewFundForm{}) : NewFundEntry{};
}

}  // namespace pelmar::test
