#include "ui/main/check_form.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "commands/session.h"
#include "reports/check_listing.h"
#include "ui/platform/window_position.h"

namespace pelmar {

TCheckForm::TCheckForm(Session& session, QWidget* parent) : QDialog(parent), session_(session) {
  setObjectName(QStringLiteral("CheckForm"));
  auto* column = new QVBoxLayout(this);
  memo_ = new QPlainTextEdit(this);
  memo_->setObjectName(QStringLiteral("Memo"));
  memo_->setReadOnly(true);
  memo_->setTabStopDistance(memo_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 8);
  column->addWidget(memo_);
  ok_ = new QPushButton(this);
  ok_->setObjectName(QStringLiteral("OKBtn"));
  column->addWidget(ok_, 0, Qt::AlignHCenter);
  connect(ok_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  resize(420, 480);
  move(session_.settings().checkLeft, session_.settings().checkTop);
  FitOnScreen(this);
}

void TCheckForm::showListing() {
  setWindowTitle(session_.text(TextId::CheckFormTitle));
  ok_->setText(session_.text(TextId::ButtonOk));
  // The listing is made anew at every showing, so it is never stale.
  memo_->setPlainText(CheckListing(session_.portfolio(), session_.language(),
                                   dateFormatFromSetting(session_.settings().dateFormat)));
  show();
  raise();
}

void TCheckForm::OKBtnClick() {
  session_.settings().checkLeft = x();
  session_.settings().checkTop = y();
  (void)session_.storeSettings();
  close();
}

}  // namespace pelmar
