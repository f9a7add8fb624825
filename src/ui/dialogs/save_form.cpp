#include "ui/dialogs/save_form.h"

#include <QFrame>
#include <QLabel>

#include "commands/dialog_logic.h"
#include "commands/session.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

namespace {

constexpr int kMargin = 8;
constexpr int kMessageWidth = 300;
constexpr int kButtonGap = 6;

}  // namespace

TSaveForm::TSaveForm(const Session& session, QWidget* parent)
    : QDialog(parent, kButtonsOnlyDialog),
      session_(session),
      MessagePanel(new QFrame(this)),
      MessageLabel(new QLabel(MessagePanel)),
      BtnSave(new TColorButton(QStringLiteral("BtnSave"), this)),
      BtnSaveNew(new TColorButton(QStringLiteral("BtnSaveNew"), this)),
      BtnClose(new TColorButton(QStringLiteral("BtnClose"), this)),
      BtnCancel(new TColorButton(QStringLiteral("BtnCancel"), this)) {
  applyDialogLook(this);
  MessagePanel->setObjectName(QStringLiteral("MessagePanel"));
  // A frame seen whole on the light dialog colour.
  MessagePanel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
  MessageLabel->setWordWrap(true);
  MessageLabel->setAlignment(Qt::AlignCenter);

  connect(BtnSave, &QPushButton::clicked, this, [this] { finish(SaveChoice::SaveChanges); });
  connect(BtnSaveNew, &QPushButton::clicked, this, [this] { finish(SaveChoice::SaveWithNew); });
  connect(BtnClose, &QPushButton::clicked, this,
          [this] { finish(SaveChoice::CloseWithoutSaving); });
  connect(BtnCancel, &QPushButton::clicked, this, [this] { finish(SaveChoice::Cancel); });
}

void TSaveForm::prepare(const DialogArea& area, const QString& message, SaveChoice defaultChoice) {
  setWindowTitle(session_.text(TextId::SaveFormCaption));
  MessageLabel->setText(message.isEmpty() ? session_.text(TextId::SaveFormMessage) : message);
  BtnSave->setText(session_.text(TextId::SaveFormSaveChanges));
  BtnSaveNew->setText(session_.text(TextId::SaveFormSaveWithNew));
  BtnClose->setText(session_.text(TextId::SaveFormCloseWithoutSaving));
  BtnCancel->setText(session_.text(TextId::ButtonCancel));
  choice_ = SaveChoice::Cancel;
  default_ = defaultChoice;

  const int labelHeight = MessageLabel->heightForWidth(kMessageWidth);
  MessagePanel->setGeometry(kMargin, kMargin, kMessageWidth + 2 * kMargin,
                            labelHeight + 2 * kMargin);
  MessageLabel->setGeometry(kMargin, kMargin, kMessageWidth, labelHeight);

  const QSize button = buttonSize({BtnSave, BtnSaveNew, BtnClose, BtnCancel});
  const int width = std::max(button.width() * 2, MessagePanel->width());
  const int left = kMargin + (width - 2 * button.width()) / 2;
  int top = MessagePanel->geometry().bottom() + 1 + kMargin;
  for (TColorButton* b : {BtnSave, BtnSaveNew, BtnClose, BtnCancel}) {
    b->setGeometry(left, top, 2 * button.width(), button.height());
    top += button.height() + kButtonGap;
  }
  const QSize client(width + 2 * kMargin, top - kButtonGap + kMargin);
  setFixedSize(client);
  PlaceDialog(this, area);
}

SaveChoice TSaveForm::Execute(const DialogArea& area, const QString& message,
                              SaveChoice defaultChoice) {
  prepare(area, message, defaultChoice);
  exec();
  return choice_;
}

void TSaveForm::finish(SaveChoice choice) {
  choice_ = choice;
  accept();
}

void TSaveForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  TColorButton* const buttons[] = {BtnSave, BtnSaveNew, BtnClose, BtnCancel};
  TColorButton* chosen = buttons[static_cast<int>(default_)];
  for (TColorButton* b : buttons) b->setDefault(b == chosen);
  chosen->setFocus();
}

}  // namespace pelmar
