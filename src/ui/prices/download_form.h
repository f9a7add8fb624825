#pragma once

#include <QWidget>

#include "commands/download.h"

class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace pelmar {

class HttpGet;
class Session;

// The download window: the log of a download line by line, a bar of the
// stocks done out of the stocks to do, Cancel while the download runs and
// Close after it. Not modal; made once and shown again for each download,
// so its Dutch pass counter lives as long as the main window.
class TDownloadForm : public QWidget, public DownloadMonitor {
  Q_OBJECT

 public:
  explicit TDownloadForm(Session& session, QWidget* parent = nullptr);

  // Shows the window in front and runs the whole download over `http`.
  // The window keeps working meanwhile: the client waits in an event loop
  // and every log line lets pending events run.
  Outcome run(HttpGet& http);
  bool running() const { return running_; }

  // DownloadMonitor
  void log(const QString& line) override;
  void progress(int done, int total) override;
  bool cancelled() override;

  // Cancel: the download stops after the stock in hand, keeping what was stored.
  void BtnCancelClick();
  void BtnCloseClick();

  QPlainTextEdit* memo() const { return Memo; }
  QProgressBar* progressBar() const { return ProgressBar; }
  QPushButton* cancelButton() const { return BtnCancel; }
  QPushButton* closeButton() const { return BtnClose; }

  // Every caption in the session's language.
  void HandleLanguage();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void placeWindow();
  void setRunning(bool running);

  Session& session_;
  bool running_ = false;
  bool cancel_ = false;
  bool placed_ = false;

  QPlainTextEdit* Memo;
  QProgressBar* ProgressBar;
  QPushButton* BtnCancel;
  QPushButton* BtnClose;
};

}  // namespace pelmar
