#pragma once

#include "commands/prompter.h"

class QWidget;

namespace pelmar {

// Answers the commands' questions with dialogs over the given window.
class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent) : parent_(parent) {}

  Answer question(const Question& question) override;
  InputResult input(const QString& caption, const QString& prompt, const QString& text) override;
  std::optional<QDateTime> pickDate(const QString& caption, const QDateTime& proposal) override;
  void message(const QString& text) override;
  void timedMessage(const QString& line1, const QString& line2, int milliseconds) override;
  std::optional<QString> openFileName(const QString& caption, const QString& folder,
                                      const QString& filter) override;
  std::optional<QString> saveFileName(const QString& caption, const QString& proposal,
                                      const QString& filter) override;

 private:
  QWidget* parent_;
};

}  // namespace pelmar
