#pragma once

#include <QPointer>

#include "commands/prompter.h"

class QWidget;

namespace pelmar {

class Session;
class TAskDlg;
class TCalendarDlg;
class TMessageForm;
class TSaveForm;
class TShowMessForm;
class TYesNoDlg;

// Answers the commands' questions with the program's dialogs over the given
// window. The dialogs are made once and reused; they take their texts from
// the session's language and "today" from its clock.
class QtPrompter : public Prompter {
 public:
  QtPrompter(const Session& session, QWidget* parent);
  ~QtPrompter() override;
  QtPrompter(const QtPrompter&) = delete;
  QtPrompter& operator=(const QtPrompter&) = delete;

  Answer question(const Question& question) override;
  InputResult input(const QString& caption, const QString& prompt, const QString& text) override;
  std::optional<QDateTime> pickDate(const QString& caption, const QDateTime& proposal) override;
  void message(const QString& text) override;
  void timedMessage(const QString& line1, const QString& line2, int milliseconds) override;
  void showNotice(const QString& line1, const QString& line2) override;
  void closeNotice() override;
  std::optional<QString> openFileName(const QString& caption, const QString& folder,
                                      const QString& filter) override;
  std::optional<QString> saveFileName(const QString& caption, const QString& proposal,
                                      const QString& filter) override;
  SaveChoice savePrompt(const QString& message) override;

  TCalendarDlg* calendar() const { return calendar_; }
  TYesNoDlg* yesNo() const { return yesNo_; }
  TAskDlg* ask() const { return ask_; }
  TMessageForm* messageForm() const { return messageForm_; }
  TShowMessForm* notice() const { return notice_; }

 private:
  const Session& session_;
  QWidget* parent_;
  // Owned by the parent window when there is one; a window that outlives
  // its parent is deleted here.
  QPointer<TCalendarDlg> calendar_;
  QPointer<TYesNoDlg> yesNo_;
  QPointer<TAskDlg> ask_;
  QPointer<TMessageForm> messageForm_;
  QPointer<TShowMessForm> notice_;
  QPointer<TSaveForm> saveForm_;
};

}  // namespace pelmar
