#include "commands/latest_prices.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include "commands/dataset_view.h"
#include "model/conversions.h"

namespace pelmar {

namespace {

// Latest prices this many days old or more are shown as unknown.
constexpr qint64 kStaleDays = 100;

}  // namespace

LatestPriceDays ReadLastPrices(const QString& priceFolder) {
  LatestPriceDays days;
  QFile file(QDir(priceFolder).filePath(QStringLiteral("Last Prices.txt")));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return days;
  const auto dayOf = [](const QString& line) {
    bool ok = false;
    const qint64 day = AfterChar(QChar(':'), line).trimmed().toLongLong(&ok);
    return ok && day > 0 ? day : 0;
  };
  QTextStream in(&file);
  days.dutch = dayOf(in.readLine());
  days.us = dayOf(in.readLine());
  return days;
}

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
