#include "commands/latest_prices.h"

#include "commands/dataset_view.h"
#include "model/conversions.h"

namespace pelmar {

namespace {

// Latest prices this many days old or more are shown as unknown.
constexpr qint64 kStaleDays = 100;

}  // namespace

LatestPricesLines ShowLatestPrices(const Session& session, const LatestPriceDays& days,
                                   const QString& lastReadFile, QDate newestFile) {
  const qint64 today = static_cast<qint64>(dateToSerial(session.clock().today()));
  const auto dateText = [&](qint64 day) {
    if (today - day >= kStaleDays) return session.text(TextId::UnknownDate);
    return ShortDate(session, static_cast<DateTime>(day));
  };
  QString dates = session.text(TextId::LatestPricesNl) + dateText(days.dutch) +
                  session.text(TextId::LatestPricesUs) + dateText(days.us);
  if (newestFile.isValid() && IsOldPriceDay(newestFile, session.clock().today())) {
    dates += session.text(TextId::NewestPriceFileAge)
                 .arg(ShortDate(session, dateToSerial(newestFile)))
                 .arg(newestFile.daysTo(session.clock().today()));
  }
  // "Read:" only names a file that was read; without one the line goes.
  const QString read = lastReadFile.isEmpty() ? QString()
                                              : session.text(TextId::ReadPrefix) + lastReadFile +
                                                    QStringLiteral("\r\n");
  return {read + dates, QChar(' ') + dates};
}

QString PricesReplacedText(const Session& session, const std::vector<PriceReplacement>& replaced) {
  const Language& language = session.language();
  QStringList lines;
  for (const PriceReplacement& r : replaced) {
    lines << session.text(TextId::PriceReplaced)
                 .arg(r.ticker, FormatAmount(r.before, 0, 4, language), ShortDate(session, r.setOn),
                      FormatAmount(r.after, 0, 4, language),
                      ShortDate(session, dateToSerial(r.fileDay)));
  }
  return lines.join(u' ');
}

}  // namespace pelmar
