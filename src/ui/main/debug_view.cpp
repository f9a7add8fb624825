#include "ui/main/debug_view.h"

#include <QEventLoop>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "commands/maintenance.h"
#include "commands/session.h"

namespace pelmar {

TDebugView::TDebugView(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("RWPelmar"));
  auto* column = new QVBoxLayout(this);
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("Memo"));
  memo_->setReadOnly(true);
  column->addWidget(memo_);
  auto* buttons = new QHBoxLayout;
  next_ = new QPushButton(this);
  next_->setObjectName(QStringLiteral("NextBtn"));
  stop_ = new QPushButton(this);
  stop_->setObjectName(QStringLiteral("StopBtn"));
  buttons->addWidget(next_);
  buttons->addWidget(stop_);
  column->addLayout(buttons);
  resize(420, 360);
}

bool TDebugView::showRecord(const QStringList& lines) {
  setWindowTitle(session_.text(TextId::DebugViewTitle));
  next_->setText(session_.text(TextId::DebugNextRecord));
  stop_->setText(session_.text(TextId::DebugEnd));
  for (const QString& line : lines) memo_->appendPlainText(line);
  show();
  raise();
  // The reader waits in a local loop until a button (or closing) answers.
  QEventLoop loop;
  bool goOn = false;
  const auto a = connect(next_, &QPushButton::clicked, &loop, [&] {
    goOn = true;
    loop.quit();
  });
  const auto b = connect(stop_, &QPushButton::clicked, &loop, [&] { loop.quit(); });
  const auto c = connect(this, &QDialog::finished, &loop, [&] { loop.quit(); });
  loop.exec();
  disconnect(a);
  disconnect(b);
  disconnect(c);
  if (!goOn) {
    SetMaintenanceSwitch(session_, MaintenanceSwitch::Debug, false);
    memo_->clear();
    hide();
  }
  return goOn;
}

}  // namespace pelmar
