#include "ui/dialogs/ask_dlg.h"

#include <QLabel>
#include <QLineEdit>

#include "commands/desktop_rules.h"
#include "commands/dialog_logic.h"
#include "commands/session.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

TAskDlg::TAskDlg(const Session& session, QWidget* parent)
    : QDialog(parent, kButtonsOnlyDialog),
      session_(session),
      AskLabel(new QLabel(this)),
      AskEdit(new QLineEdit(this)),
      BtnOK(new TColorButton(QStringLiteral("BtnOK"), this)),
      BtnCancel(new TColorButton(QStringLiteral("BtnCancel"), this)) {
  applyDialogLook(this);
  AskLabel->setObjectName(QStringLiteral("AskLabel"));
  AskLabel->setWordWrap(true);
  AskLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  AskEdit->setObjectName(QStringLiteral("AskEdit"));
  BtnOK->setDefault(true);

  connect(BtnOK, &QPushButton::clicked, this, [this] {
    accepted_ = true;
    accept();
  });
  connect(BtnCancel, &QPushButton::clicked, this, [this] {
    accepted_ = false;
    QDialog::reject();
  });
}

void TAskDlg::prepare(const DialogArea& area, const QString& text, const QString& prompt,
                      const QString& caption) {
  setWindowTitle(session_.text(TextId::ProductName) + QStringLiteral(" - ") + caption);
  BtnOK->setText(session_.text(TextId::ButtonOk));
  BtnCancel->setText(session_.text(TextId::ButtonCancel));
  AskLabel->setText(prompt);
  AskEdit->setText(text);
  accepted_ = false;

  const QFontMetrics metrics(font());
  const int wrappedHeight =
      metrics.boundingRect(QRect(0, 0, kAskLabelWidth, 1 << 20), Qt::TextWordWrap, prompt).height();
  const AskLayout l = layoutAsk(metrics.horizontalAdvance(prompt), wrappedHeight,
                                AskEdit->sizeHint().height(), buttonSize({BtnOK, BtnCancel}),
                                WidthForTitle(metrics.horizontalAdvance(windowTitle())));
  AskLabel->setGeometry(l.label);
  AskEdit->setGeometry(l.edit);
  BtnOK->setGeometry(l.ok);
  BtnCancel->setGeometry(l.cancel);
  setFixedSize(l.client);
  PlaceDialog(this, area);
}

bool TAskDlg::Ask(const DialogArea& area, QString& text, const QString& prompt,
                  const QString& caption) {
  prepare(area, text, prompt, caption);
  exec();
  text = AskEdit->text();
  return accepted_;
}

QString TAskDlg::text() const {
  return AskEdit->text();
}

void TAskDlg::reject() {
  BtnCancel->click();
}

void TAskDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  AskEdit->setFocus();
}

}  // namespace pelmar
