#pragma once

#include <QWidget>
#include <memory>

#include "commands/download.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace pelmar {

class HttpGet;
class Session;

// The download window: the log of a download line by line, the stock being
// fetched, a bar of the stocks done out of the stocks to do, Cancel (and
// Escape) while the download runs and Close after it. Not modal; made once
// and shown again for each download, so its Dutch pass counter lives as
// long as the main window. The fetches run on a worker thread (DownloadTask):
// the window's event loop runs on, and Cancel answers at once.
class TDownloadForm : public QWidget, public DownloadMonitor {
  Q_OBJECT

 public:
  explicit TDownloadForm(Session& session, QWidget* parent = nullptr);

  // Shows the window in front and starts the whole download over `http`,
  // which the window keeps; downloadFinished() tells its end.
  void start(std::unique_ptr<HttpGet> http);
  bool running() const { return task_ && task_->running(); }
  // How the last download ended.
  const Outcome& outcome() const { return outcome_; }

  // DownloadMonitor
  void log(const QString& line) override;
  void progress(int done, int total) override;
  void fetching(const QString& name) override;
  void finished(const Outcome& outcome) override;

  // Cancel: the download stops after the stock in hand, keeping what was stored.
  void BtnCancelClick();
  void BtnCloseClick();

  QPlainTextEdit* memo() const { return Memo; }
  QProgressBar* progressBar() const { return ProgressBar; }
  QLabel* fetchingLabel() const { return LabelFetching; }
  QPushButton* cancelButton() const { return BtnCancel; }
  QPushButton* closeButton() const { return BtnClose; }

  // Every caption in the session's language.
  void HandleLanguage();

 signals:
  void downloadFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void placeWindow();
  void setRunning(bool running);

  Session& session_;
  bool placed_ = false;
  std::unique_ptr<HttpGet> http_;
  std::unique_ptr<DownloadTask> task_;
  Outcome outcome_ = Outcome::done();

  QPlainTextEdit* Memo;
  QLabel* LabelFetching;
  QProgressBar* ProgressBar;
  QPushButton* BtnCancel;
  QPushButton* BtnClose;
};

}  // namespace pelmar
