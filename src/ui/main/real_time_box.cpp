#include "ui/main/real_time_box.h"

#include <QLabel>
#include <QVBoxLayout>

#include "commands/session.h"
#include "ui/main/delta_image.h"

namespace pelmar {

RealTimeBox::RealTimeBox(const Session& session, QWidget* parent)
    : QGroupBox(parent), session_(session) {
  setObjectName(QStringLiteral("BoxRealTime"));
  // As wide as designed; taller when a failure's reason takes two lines.
  setFixedWidth(218);
  setMinimumHeight(88);
  auto* lines = new QVBoxLayout(this);
  lines->setContentsMargins(4, 4, 4, 4);
  lines->setSpacing(1);
  realTimeLabel = new QLabel(this);
  realTimeLabel->setObjectName(QStringLiteral("RealTimeLabel"));
  lines->addWidget(realTimeLabel);
  deltaImage = new DeltaImage(this);
  deltaImage->setObjectName(QStringLiteral("DeltaImage"));
  lines->addWidget(deltaImage);
  tijdLabel = new QLabel(this);
  tijdLabel->setObjectName(QStringLiteral("TijdLabel"));
  tijdLabel->setAlignment(Qt::AlignCenter);
  tijdLabel->setFixedWidth(210);
  tijdLabel->setWordWrap(true);
  lines->addWidget(tijdLabel);
  hide();
}

void RealTimeBox::HandleLanguage() {
  setTitle(QStringLiteral(" * "));
  realTimeLabel->setText(session_.text(TextId::RealTimeLabel));
}

void RealTimeBox::ShowDollarQuote(double rate, bool fromDollarTimer, const QString& timeStamp) {
  quotes_.dollarQuote(session_.portfolio().koers().Ticker, rate, fromDollarTimer);
  deltaImage->setMarks(quotes_.marks());
  tijdLabel->setStyleSheet(QStringLiteral("color: black"));
  tijdLabel->setText(DollarTimeText(session_.language(), timeStamp));
  shown_ = QuoteKind::Dollar;
}

void RealTimeBox::ShowAEXQuote(double value, const QString& change, const QString& percent,
                               const QString& time) {
  quotes_.aexQuote(value);
  deltaImage->setMarks(quotes_.marks());
  setTitle(QStringLiteral(" AEX "));
  const AexTimeText text = AexQuoteText(session_.language(), value, change, percent, time);
  tijdLabel->setStyleSheet(text.falling ? QStringLiteral("color: red")
                                        : QStringLiteral("color: green"));
  tijdLabel->setText(text.text);
  shown_ = QuoteKind::Aex;
}

void RealTimeBox::ShowAEXFailure(const QString& valueText, const QString& why) {
  setTitle(QStringLiteral(" AEX "));
  tijdLabel->setStyleSheet(QStringLiteral("color: red"));
  tijdLabel->setText(valueText + QChar(' ') + why);
  shown_ = QuoteKind::Aex;
}

void RealTimeBox::clearQuote() {
  quotes_ = QuoteHistory();
  deltaImage->setMarks(quotes_.marks());
  tijdLabel->clear();
  setTitle(QStringLiteral(" * "));
  shown_.reset();
}

}  // namespace pelmar
