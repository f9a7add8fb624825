#include "cli/headless_prompter.h"

namespace pelmar {

Answer HeadlessPrompter::question(const Question& question) {
  // The question is shown so that the log says what was declined.
  write(question.message);
  return question.showCancel ? Answer::Cancel : Answer::No;
}

InputResult HeadlessPrompter::input(const QString&, const QString& prompt, const QString& text) {
  write(prompt);
  return {false, text};
}

std::optional<QDateTime> HeadlessPrompter::pickDate(const QString& caption, const QDateTime&) {
  write(caption);
  return std::nullopt;
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

std::optional<QString> HeadlessPrompter::saveFileName(const QString&, const QString&,
                                                      const QString&) {
  return std::nullopt;
}

SaveChoice HeadlessPrompter::savePrompt(const QString& message) {
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
