#pragma once

#include <QGroupBox>
#include <optional>

#include "commands/dataset_view.h"
#include "commands/quote_history.h"
#include "commands/quotes.h"

class QLabel;

namespace pelmar {

class DeltaImage;
class Session;

// The real-time box "BoxRealTime": the automatic dollar or AEX quote with
// the picture of its recent changes and the time of the last quote.
class RealTimeBox : public QGroupBox {
  Q_OBJECT

 public:
  RealTimeBox(const Session& session, QWidget* parent);

  void HandleLanguage();
  // A dollar quote; only a tick of the dollar timer adds to the history.
  void ShowDollarQuote(double rate, bool fromDollarTimer, const QString& timeStamp);
  void ShowAEXQuote(double value, const QString& change, const QString& percent,
                    const QString& time);
  // A failed AEX tick: the value text "*******" and why, in red.
  void ShowAEXFailure(const QString& valueText, const QString& why);
  // The quote the box shows, if any, and emptying it (its quote was
  // switched off).
  std::optional<QuoteKind> shownQuote() const { return shown_; }
  void clearQuote();

  QLabel* realTimeLabel = nullptr;
  DeltaImage* deltaImage = nullptr;
  QLabel* tijdLabel = nullptr;

 private:
  const Session& session_;
  QuoteHistory quotes_;
  std::optional<QuoteKind> shown_;
};

}  // namespace pelmar
