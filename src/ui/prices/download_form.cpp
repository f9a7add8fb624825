#include "ui/prices/download_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "commands/desktop_rules.h"
#include "commands/session.h"
#include "ui/dialogs/dialog_look.h"
#include "ui/platform/window_position.h"

namespace pelmar {

namespace {

// The characters of the longest usual log line (a stock's name, ticker and
// answer).
constexpr int kLogColumns = 64;

}  // namespace

TDownloadForm::TDownloadForm(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      Memo(new QPlainTextEdit(this)),
      LabelFetching(new QLabel(this)),
      ProgressBar(new QProgressBar(this)),
      BtnCancel(new TColorButton(QStringLiteral("BtnCancel"), this)),
      BtnClose(new TColorButton(QStringLiteral("BtnClose"), this)) {
  setObjectName(QStringLiteral("DownloadForm"));
  applyDialogLook(this);
  Memo->setObjectName(QStringLiteral("Memo"));
  Memo->setReadOnly(true);
  QFont fixed(QStringLiteral("Courier New"), 9);
  fixed.setStyleHint(QFont::Monospace);
  Memo->setFont(fixed);
  LabelFetching->setObjectName(QStringLiteral("LabelFetching"));
  ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
  ProgressBar->setRange(0, 1);
  ProgressBar->setValue(0);

  // The memo fills the window; under it the stock in flight, the bar and
  // then the buttons, so that all fit the narrow default width.
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtnCancel);
  buttons->addWidget(BtnClose);
  auto* stack = new QVBoxLayout(this);
  stack->setContentsMargins(4, 4, 4, 4);
  stack->addWidget(Memo, 1);
  stack->addWidget(LabelFetching);
  stack->addWidget(ProgressBar);
  stack->addLayout(buttons);

  connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
  connect(BtnClose, &QPushButton::clicked, this, [this] { BtnCloseClick(); });
  setRunning(false);
  HandleLanguage();
}

void TDownloadForm::HandleLanguage() {
  setWindowTitle(session_.caption().trimmed() + session_.text(TextId::DownloadCaption));
  BtnCancel->setText(session_.text(TextId::DownloadCancel));
  BtnClose->setText(session_.text(TextId::DownloadClose));
  ProgressBar->setFormat(session_.text(TextId::DownloadProgressFormat));
  const QSize size = buttonSize({BtnCancel, BtnClose});
  BtnCancel->setFixedSize(size);
  BtnClose->setFixedSize(size);
}

void TDownloadForm::placeWindow() {
  // Stored as the client area's corner and size; a corner above or left of
  // 1 comes back at 1, so the window never opens off the screen's edge.
  const Settings& s = session_.settings();
  // Wide enough for the whole caption and a log line of the passes.
  const int least = std::max(
      {minimumSizeHint().width(), WidthForTitle(fontMetrics().horizontalAdvance(windowTitle())),
       Memo->fontMetrics().horizontalAdvance(QString(kLogColumns, u'M')) +
           Memo->verticalScrollBar()->sizeHint().width() + 2 * Memo->frameWidth() + 8});
  resize(std::max(s.downloadWidth, least), std::max(s.downloadHeight, minimumSizeHint().height()));
  move(std::max(s.downloadLeft, 1), std::max(s.downloadTop, 1));
  FitOnScreen(this);
  placed_ = true;
}

void TDownloadForm::setRunning(bool running) {
  BtnCancel->setEnabled(running);
  BtnClose->setEnabled(!running);
  if (running) {
    BtnCancel->setFocus();
  } else {
    BtnClose->setFocus();
  }
}

void TDownloadForm::start(std::unique_ptr<HttpGet> http) {
  if (running()) return;
  HandleLanguage();
  if (!placed_) placeWindow();
  Memo->clear();
  LabelFetching->clear();
  ProgressBar->setRange(0, 1);
  ProgressBar->setValue(0);
  task_.reset();
  http_ = std::move(http);
  task_ = std::make_unique<DownloadTask>(session_, *http_, *this);
  setRunning(true);
  show();
  raise();
  activateWindow();
  QApplication::setOverrideCursor(Qt::BusyCursor);
  task_->start();
}

void TDownloadForm::finished(const Outcome& outcome) {
  outcome_ = outcome;
  QApplication::restoreOverrideCursor();
  setRunning(false);
  raise();
  emit downloadFinished();
}

void TDownloadForm::log(const QString& line) {
  Memo->appendPlainText(line);
  Memo->verticalScrollBar()->setValue(Memo->verticalScrollBar()->maximum());
}

void TDownloadForm::progress(int done, int total) {
  // An empty list shows a full bar rather than a busy one.
  ProgressBar->setRange(0, std::max(total, 1));
  ProgressBar->setValue(total > 0 ? done : 1);
}

void TDownloadForm::fetching(const QString& name) {
  LabelFetching->setText(name.isEmpty() ? QString()
                                        : session_.text(TextId::DownloadFetching).arg(name));
}

void TDownloadForm::BtnCancelClick() {
  if (!running()) return;
  BtnCancel->setEnabled(false);
  task_->cancel();
}

void TDownloadForm::BtnCloseClick() {
  close();
}

void TDownloadForm::closeEvent(QCloseEvent* event) {
  // Closing a running download asks it to stop; the window stays until the
  // download has ended, so that its log can be read.
  if (running()) {
    BtnCancelClick();
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void TDownloadForm::keyPressEvent(QKeyEvent* event) {
  // Escape is Cancel while the download runs, Close after it.
  if (event->key() != Qt::Key_Escape) {
    QWidget::keyPressEvent(event);
  } else if (running()) {
    BtnCancelClick();
  } else {
    close();
  }
}

void TDownloadForm::hideEvent(QHideEvent* event) {
  Settings& s = session_.settings();
  s.downloadLeft = x();
  s.downloadTop = y();
  s.downloadWidth = width();
  s.downloadHeight = height();
  QWidget::hideEvent(event);
}

}  // namespace pelmar
