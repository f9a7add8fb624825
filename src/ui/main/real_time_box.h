#pragma once

#include <QGroupBox>

#include "commands/dataset_view.h"
#include "commands/quote_history.h"

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

  QLabel* realTimeLabel = nullptr;
  DeltaImage* deltaImage = nullptr;
  QLabel* tijdLabel = nullptr;

 private:
  const Session& session_;
  QuoteHistory quotes_;
};

}  // namespace pelmar
