#include "cli/headless_prompter.h"

#include <utility>

namespace pelmar {

namespace {

const QString kYes = QStringLiteral("yes");
const QString kNo = QStringLiteral("no");
const QString kCancel = QStringLiteral("cancel");

}  // namespace

std::optional<QString> HeadlessPrompter::nextAnswer() {
  if (answers_.isEmpty()) return std::nullopt;
  const QString answer = answers_.takeFirst();
  const QString word = answer.toLower();
  return word == kYes || word == kNo || word == kCancel ? word : answer;
}

Answer HeadlessPrompter::question(const Question& question) {
  // The question is shown so that the log says what was asked.
  write(question.message);
  const std::optional<QString> answer = nextAnswer();
  if (answer == kYes) return Answer::Yes;
  if (answer == kNo || !question.showCancel) return Answer::No;
  return Answer::Cancel;
}

Answer HeadlessPrompter::portfolioInUse(const Question& question) {
  write(question.message);
  return openInUseReadOnly_ ? Answer::Yes : Answer::No;
}

InputResult HeadlessPrompter::input(const QString&, const QString& prompt, const QString& text) {
  write(prompt);
  const std::optional<QString> answer = nextAnswer();
  if (!answer || *answer == kNo || *answer == kCancel) return {false, text};
  return {true, *answer == kYes ? text : *answer};
}

std::optional<QDateTime> HeadlessPrompter::pickDate(const QString& caption,
                                                    const QDateTime& proposal) {
  write(caption);
  const std::optional<QString> answer = nextAnswer();
  if (answer == kYes) return proposal;
  const QDate date = answer ? QDate::fromString(*answer, Qt::ISODate) : QDate();
  if (!date.isValid()) return std::nullopt;
  return QDateTime(date, QTime(0, 0));
}

TradeEntry HeadlessPrompter::buySell(const TradeProposal& proposal) {
  if (!trade_) return {};
  const TradeEntry entry{true, trade_->quantity, trade_->price.value_or(proposal.price),
                         trade_->costs};
  trade_.reset();
  return entry;
}

AccountChoice HeadlessPrompter::chooseAccount(const AccountChoice& proposal) {
  AccountChoice choice = proposal;
  const std::optional<QString> answer =
      account_ ? std::optional<QString>(QString::number(*std::exchange(account_, std::nullopt)))
               : nextAnswer();
  bool number = false;
  const int selected = answer ? answer->toInt(&number) : 0;
  choice.accepted = answer == kYes || (number && selected >= 1 && selected <= 5);
  if (number) choice.selected = selected;
  return choice;
}

void HeadlessPrompter::message(const QString& text) {
  write(text);
}

void HeadlessPrompter::timedMessage(const QString& line1, const QString& line2, int) {
  write(line1, line2);
}

void HeadlessPrompter::showNotice(const QString& line1, const QString& line2) {
  write(line1, line2);
}

std::optional<QString> HeadlessPrompter::openFileName(const QString&, const QString&,
                                                      const QString&) {
  return std::nullopt;
}

std::optional<QString> HeadlessPrompter::saveFileName(const QString& caption, const QString&,
                                                      const QString&) {
  if (!saveName_) return std::nullopt;
  write(caption + QStringLiteral(": ") + *saveName_);
  // Answered once: a dialog asked again (a name refused) counts as cancelled.
  return std::exchange(saveName_, std::nullopt);
}

CheckedAnswer HeadlessPrompter::questionWithCheck(const Question& q, const QString&) {
  // The year question at opening comes before any step could answer it:
  // unanswered it is passed over silently (the closing is a step of its
  // own, `yearclose`).
  if (answers_.isEmpty()) return {q.showCancel ? Answer::Cancel : Answer::No, false};
  return {question(q), false};
}

SaveChoice HeadlessPrompter::savePrompt(const QString& message, SaveChoice) {
  write(message);
  return SaveChoice::Cancel;
}

void HeadlessPrompter::write(const QString& line1, const QString& line2) {
  // Texts of the dialogs may hold CR LF line breaks; the stream gets plain
  // line feeds.
  QString text = line1;
  if (!line2.isEmpty()) text += u'\n' + line2;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (text.isEmpty()) return;
  err_ << text << '\n';
  err_.flush();
}

}  // namespace pelmar
