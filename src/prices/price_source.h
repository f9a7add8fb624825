#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "lang/outcome.h"
#include "prices/http_get.h"

namespace pelmar {

struct Settings;

// One day's close as a source gave it: the price as text with a point as
// decimal separator, as the daily price files keep it.
struct DailyClose {
  QDate day;
  QString price;
  bool operator==(const DailyClose&) const = default;
};

// What asking a source for a stock's closes gave. The kinds are those the
// download log tells apart; a failure carries its reason.
enum class FetchStatus {
  Ok,
  NoConnection,  // no answer at all: the pass ends
  TooSmall,      // an empty reply, or one past the size bound
  NotFound,      // the source does not know the symbol
  Nothing,       // the source knows it but has no close from the start date
  Failed,        // an error status or a reply that cannot be read
};

struct SourceCloses {
  FetchStatus status = FetchStatus::NotFound;
  std::vector<DailyClose> closes;  // oldest first, one per day
  QString currency;                // as the source names it ("EUR"); empty when unknown
  std::optional<Reason> reason;

  bool ok() const { return status == FetchStatus::Ok; }
  QDate newest() const { return closes.empty() ? QDate() : closes.back().day; }
  // The closes as the download lines the price store takes ("yymmdd,price").
  QStringList downloadLines() const;

  static SourceCloses failure(FetchStatus status, Reason reason);
  // Closes from download lines ("yymmdd,price"), in any order; a line whose
  // date is no day is left out, and of a day given twice the later counts.
  static std::vector<DailyClose> fromDownloadLines(const QStringList& lines);
};

// The latest price a source quotes, during trading too.
struct SourceQuote {
  double price = 0;
  QDateTime time;
  QString currency;
};

// Where the prices of a stock come from. The source builds its address and
// reads its own reply format; the transport is the HttpGet it is given.
class PriceSource {
 public:
  virtual ~PriceSource() = default;
  // The name the settings store ("chart", "csv", ...).
  virtual QString id() const = 0;
  // The daily closes of `symbol` from the day `from` up to `now`; a day whose
  // trading has not ended at `now` has no close yet.
  virtual SourceCloses closes(HttpGet& http, const QString& symbol, QDate from,
                              const QDateTime& now) const = 0;
  // The latest price, where the source quotes one.
  virtual std::optional<SourceQuote> latest(HttpGet&, const QString& /*symbol*/,
                                            const QDateTime& /*now*/) const {
    return std::nullopt;
  }
};

// The sources a stock list can use, by the name the settings store.
namespace SourceId {
inline const QString None = QStringLiteral("none");
inline const QString DutchService = QStringLiteral("nl-service");
inline const QString UsService = QStringLiteral("us-service");
inline const QString ChartJson = QStringLiteral("chart");
inline const QString CsvUrl = QStringLiteral("csv");
// The euro/dollar reference rates of the European Central Bank.
inline const QString Ecb = QStringLiteral("ecb");
}  // namespace SourceId

struct SourceInfo {
  QString id;
  TextId name;
};
// Every source a stock or a list may name, "none" first.
const std::vector<SourceInfo>& PriceSources();
// The known spelling of a source name (any case); nothing for an unknown one.
std::optional<QString> PriceSourceId(const QString& name);

// The source a name stands for, with its address from the settings; none for
// "none" or an unknown name.
std::unique_ptr<PriceSource> MakePriceSource(const QString& id, const Settings& settings);

// What a reply that is no page to read means: no connection, no answer to
// this request, a reply past the bound, or an HTTP error status (404 and
// 410: the symbol is not there).
// Nothing when the reply is a page.
std::optional<SourceCloses> ReplyFailure(const HttpReply& reply, const QString& url,
                                         const QString& symbol);

// The host of an address, which reasons name as the source.
QString SourceHost(const QString& url);

// A close as text: up to seven significant digits (what a float carries) and
// at least the whole number, trailing zeros dropped.
QString CloseText(double close);

}  // namespace pelmar
