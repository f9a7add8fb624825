#include "ui/dialogs/show_mess_form.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "commands/dialog_logic.h"
#include "ui/dialogs/dialog_look.h"

namespace pelmar {

namespace {
constexpr int kFrameWidth = 3;
}  // namespace

TShowMessForm::TShowMessForm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint),
      Label1(new QLabel(this)),
      Label2(new QLabel(this)) {
  applyDialogLook(this);
  setAttribute(Qt::WA_ShowWithoutActivating);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label2->setObjectName(QStringLiteral("Label2"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 16, 24, 16);
  for (QLabel* l : {Label1, Label2}) {
    l->setAlignment(Qt::AlignCenter);
    layout->addWidget(l);
  }
  setMinimumWidth(300);
}

void TShowMessForm::showNotice(const DialogArea& area, const QString& line1, const QString& line2) {
  Label1->setText(line1);
  Label2->setText(line2);
  Label2->setVisible(!line2.isEmpty());
  adjustSize();
  PlaceDialog(this, area);
  show();
  raise();
}

void TShowMessForm::paintEvent(QPaintEvent*) {
  // The frame lies one pixel inside the window's edge.
  QPainter painter(this);
  const QRect inner = rect().adjusted(1, 1, -1, -1);
  const QColor blue = windowsColor(kFrameBlue);
  painter.fillRect(QRect(inner.left(), inner.top(), inner.width(), kFrameWidth), blue);
  painter.fillRect(
      QRect(inner.left(), inner.bottom() - kFrameWidth + 1, inner.width(), kFrameWidth), blue);
  painter.fillRect(QRect(inner.left(), inner.top(), kFrameWidth, inner.height()), blue);
  painter.fillRect(QRect(inner.right() - kFrameWidth + 1, inner.top(), kFrameWidth, inner.height()),
                   blue);
}

}  // namespace pelmar
