#include "ui/main/splash_form.h"

#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include "commands/session.h"

namespace pelmar {

namespace {

constexpr int kCloseAfterMs = 100000;
constexpr QSize kPicture(400, 250);

// The picture: the program's name on a green field.
QPixmap splashPicture(const QString& name) {
  QPixmap picture(kPicture);
  QPainter painter(&picture);
  QLinearGradient field(0, 0, 0, kPicture.height());
  field.setColorAt(0, QColor(0xE0, 0xFF, 0xE0));
  field.setColorAt(1, QColor(0x40, 0x90, 0x40));
  painter.fillRect(picture.rect(), field);
  QFont font(QStringLiteral("Verdana"), 40, QFont::Bold);
  painter.setFont(font);
  painter.setPen(QColor(0x10, 0x40, 0x10));
  painter.drawText(picture.rect(), Qt::AlignCenter, name);
  return picture;
}

}  // namespace

TSplashForm::TSplashForm(const Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      session_(session) {
  setObjectName(QStringLiteral("SplashForm"));
  setFixedSize(416, 293);
  auto* bevel = new QFrame(this);
  bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  bevel->setGeometry(rect());
  auto* inner = new QFrame(bevel);
  inner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* layout = new QVBoxLayout(inner);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* picture = new QLabel(inner);
  picture->setPixmap(splashPicture(session.text(TextId::ProductName)));
  picture->setFixedSize(kPicture);
  picture->setScaledContents(true);
  auto* caption = new QLabel(session.caption(), inner);
  caption->setObjectName(QStringLiteral("SplashCaption"));
  caption->setAlignment(Qt::AlignCenter);
  caption->setStyleSheet(QStringLiteral("color: red"));
  caption->setFont(QFont(QStringLiteral("Arial"), 24, QFont::Bold));
  layout->addWidget(picture);
  layout->addWidget(caption);
  inner->setGeometry(rect().adjusted(2, 2, -2, -2));
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &QWidget::close);
}

void TSplashForm::showCentred() {
  const Settings& s = session_.settings();
  move(s.mainLeft + (s.mainWidth - width()) / 2, s.mainTop + (s.mainHeight - 250) / 2);
  show();
  raise();
  timer_.start(kCloseAfterMs);
}

void TSplashForm::mousePressEvent(QMouseEvent*) {
  close();
}

}  // namespace pelmar
