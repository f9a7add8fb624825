#include "ui/dialogs/yes_no_dlg.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QPlainTextEdit>

#include "commands/desktop_rules.h"
#include "commands/dialog_logic.h"
#include "commands/session.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

TYesNoDlg::TYesNoDlg(const Session& session, QWidget* parent)
    : QDialog(parent, kButtonsOnlyDialog),
      session_(session),
      MessagePanel(new QFrame(this)),
      MessageMemo(new QPlainTextEdit(MessagePanel)),
      BtnYes(new TColorButton(QStringLiteral("BtnYes"), this)),
      BtnNo(new TColorButton(QStringLiteral("BtnNo"), this)),
      BtnCancel(new TColorButton(QStringLiteral("BtnCancel"), this)),
      Buttons(new QDialogButtonBox(this)) {
  applyDialogLook(this);
  Buttons->addButton(BtnYes, QDialogButtonBox::YesRole);
  Buttons->addButton(BtnNo, QDialogButtonBox::NoRole);
  Buttons->addButton(BtnCancel, QDialogButtonBox::RejectRole);
  MessagePanel->setObjectName(QStringLiteral("MessagePanel"));
  // A frame seen whole on the light dialog colour.
  MessagePanel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  MessageMemo->setObjectName(QStringLiteral("MessageMemo"));
  MessageMemo->setReadOnly(true);
  MessageMemo->setFrameStyle(QFrame::NoFrame);
  MessageMemo->document()->setDocumentMargin(0);
  // Should the wrapped lines still not fit, the memo scrolls instead of
  // hiding them.
  MessageMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  MessageMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  MessageMemo->viewport()->setAutoFillBackground(false);
  MessageMemo->setStyleSheet(QStringLiteral("background: transparent;"));

  connect(BtnYes, &QPushButton::clicked, this, [this] { finish(true, false); });
  connect(BtnNo, &QPushButton::clicked, this, [this] { finish(false, false); });
  connect(BtnCancel, &QPushButton::clicked, this, [this] { finish(false, true); });
}

void TYesNoDlg::prepare(const DialogArea& area, const pelmar::Question& q) {
  const auto orDefault = [this](const QString& text, TextId id) {
    return text.isEmpty() ? session_.text(id) : text;
  };
  setWindowTitle(q.caption);
  // Alt and a button's underlined letter answer too.
  const QStringList captions = AssignMnemonics({orDefault(q.yesText, TextId::ButtonYes),
                                                orDefault(q.noText, TextId::ButtonNo),
                                                orDefault(q.cancelText, TextId::ButtonCancel)});
  BtnYes->setText(captions[0]);
  BtnNo->setText(captions[1]);
  BtnCancel->setText(captions[2]);
  BtnCancel->setVisible(q.showCancel);
  yesIsDefault_ = q.yesIsDefault;
  escape_ = EscapeAnswer(q);
  answer_ = false;
  cancelled_ = false;

  const QStringList lines = memoLines(q.message);
  MessageMemo->setPlainText(lines.join(QChar('\n')));
  const QFontMetrics metrics(font());
  const QuestionLayout l = layoutQuestion(
      metrics.horizontalAdvance(q.message),
      [&](int width) { return wrappedLineCount(MessageMemo->font(), lines, width); },
      font().pointSize(), memoLineHeight(MessageMemo->font()),
      buttonSize({BtnYes, BtnNo, BtnCancel}), area.screen.size(),
      WidthForTitle(metrics.horizontalAdvance(q.caption)));
  MessagePanel->setGeometry(l.panel);
  MessageMemo->setGeometry(l.memo);
  // The buttons in the platform's order, at the right of their row.
  Buttons->setGeometry(l.buttons);
  setFixedSize(l.client);
  PlaceDialog(this, area);
}

bool TYesNoDlg::Question(const DialogArea& area, const pelmar::Question& question,
                         bool& cancelled) {
  prepare(area, question);
  exec();
  cancelled = cancelled_;
  return answer_;
}

void TYesNoDlg::finish(bool answer, bool cancelled) {
  answer_ = answer;
  cancelled_ = cancelled;
  accept();
}

void TYesNoDlg::reject() {
  (escape_ == Answer::Cancel ? BtnCancel : BtnNo)->click();
}

void TYesNoDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  BtnYes->setDefault(yesIsDefault_);
  BtnNo->setDefault(!yesIsDefault_);
  (yesIsDefault_ ? BtnYes : BtnNo)->setFocus();
}

}  // namespace pelmar
