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

Prompter& SplashClosingPrompter::inner() {
  if (splash_) splash_->close();
  return inner_;
}

Answer SplashClosingPrompter::question(const Question& q) {
  return inner().question(q);
}
InputResult SplashClosingPrompter::input(const QString& caption, const QString& prompt,
                                         const QString& text) {
  return inner().input(caption, prompt, text);
}
std::optional<QDateTime> SplashClosingPrompter::pickDate(const QString& caption,
                                                         const QDateTime& proposal) {
  return inner().pickDate(caption, proposal);
}
void SplashClosingPrompter::message(const QString& text) {
  inner().message(text);
}
void SplashClosingPrompter::timedMessage(const QString& line1, const QString& line2,
                                         int milliseconds) {
  inner().timedMessage(line1, line2, milliseconds);
}
void SplashClosingPrompter::showNotice(const QString& line1, const QString& line2) {
  inner().showNotice(line1, line2);
}
std::optional<QString> SplashClosingPrompter::openFileName(const QString& caption,
                                                           const QString& folder,
                                                           const QString& filter) {
  return inner().openFileName(caption, folder, filter);
}
std::optional<QString> SplashClosingPrompter::saveFileName(const QString& caption,
                                                           const QString& proposal,
                                                           const QString& filter) {
  return inner().saveFileName(caption, proposal, filter);
}
SaveChoice SplashClosingPrompter::savePrompt(const QString& message, SaveChoice defaultChoice) {
  return inner().savePrompt(message, defaultChoice);
}
std::optional<QString> SplashClosingPrompter::chooseFolder(const QString& caption,
                                                           const QString& folder,
                                                           const QString& mask) {
  return inner().chooseFolder(caption, folder, mask);
}
TradeEntry SplashClosingPrompter::buySell(const TradeProposal& proposal) {
  return inner().buySell(proposal);
}
AccountChoice SplashClosingPrompter::chooseAccount(const AccountChoice& proposal) {
  return inner().chooseAccount(proposal);
}
FundCurrencyChoice SplashClosingPrompter::chooseFundCurrency(const FundCurrencyProposal& proposal) {
  return inner().chooseFundCurrency(proposal);
}
CheckedAnswer SplashClosingPrompter::questionWithCheck(const Question& q,
                                                       const QString& checkText) {
  return inner().questionWithCheck(q, checkText);
}
std::optional<StockLine> SplashClosingPrompter::pickStock(Market market) {
  return inner().pickStock(market);
}
NewFundEntry SplashClosingPrompter::newFund(const NewFundForm& form) {
  return inner().newFund(form);
}
NewFundEntry SplashClosingPrompter::newManualFund() {
  return inner().newManualFund();
}

}  // namespace pelmar
