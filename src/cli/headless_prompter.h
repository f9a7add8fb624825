#pragma once

#include <QTextStream>

#include "commands/prompter.h"

namespace pelmar {

// The prompter of the headless tool: it never waits for a person. Every
// question gets the cautious answer (Cancel when offered, else No), inputs,
// dates and file dialogs count as cancelled, the save prompt as Cancel, and
// messages and notices are written to the error stream.
class HeadlessPrompter : public Prompter {
 public:
  explicit HeadlessPrompter(QTextStream& err) : err_(err) {}

  Answer question(const Question& question) override;
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
  SaveChoice savePrompt(const QString& message) override;

 private:
  void write(const QString& line1, const QString& line2 = {});

  QTextStream& err_;
};

}  // namespace pelmar
