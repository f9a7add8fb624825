#include "commands/latest_prices.h"

#include "commands/dataset_view.h"
#include "model/conversions.h"

namespace pelmar {

namespace {

// Latest prices this many days old or more are shown as unknown.
constexpr qint64 kStaleDays = 100;

}  // namespace

LatestPricesLines ShowLatestPrices(const Session& session, const LatestPriceDays& days,
                                   const QString& lastReadFile) {
  const qint64 today = static_cast<qint64>(dateToSerial(session.clock().today()));
  const auto dateText = [&](qint64 day) {
    if (today - day >= kStaleDays) return session.text(TextId::UnknownDate);
    return ShortDate(session, static_cast<DateTime>(day));
  };
  const QString dates = session.text(TextId::LatestPricesNl) + dateText(days.dutch) +
                        session.text(TextId::LatestPricesUs) + dateText(days.us);
  return {session.text(TextId::ReadPrefix) + lastReadFile + QStringLiteral("\r\n") + dates,
          QChar(' ') + dates};
}

}  // namespace pelmar
