#include "prices/quote_pages.h"

#include <QFileInfo>
#include <QUrl>
#include <array>
#include <cmath>

#include "model/conversions.h"

namespace pelmar {

namespace {

constexpr int kDollarAttempts = 2;
constexpr int kAexAttempts = 3;

// The text between `from` (found at or after pos) and the next "<"; pos then
// stands after the text. Nothing when either mark is missing.
std::optional<QByteArray> textAfter(const QByteArray& page, qsizetype& pos, const char* from) {
  const qsizetype mark = page.indexOf(from, pos);
  if (mark < 0) return std::nullopt;
  const qsizetype start = mark + qsizetype(qstrlen(from));
  const qsizetype end = page.indexOf('<', start);
  if (end < 0) return std::nullopt;
  pos = end;
  return page.mid(start, end - start);
}

AexQuote failedAex(Reason reason) {
  AexQuote quote;
  quote.lastText = QStringLiteral("*******");
  quote.failure = std::move(reason);
  return quote;
}

}  // namespace

std::optional<double> QuoteNumber(const QString& text) {
  QString s = text.trimmed();
  s.remove(u' ').remove(QChar(0x00A0));
  s.replace(QChar(0x2212), u'-');
  const qsizetype lastPoint = s.lastIndexOf(u'.');
  const qsizetype lastComma = s.lastIndexOf(u',');
  QChar decimal = lastPoint > lastComma ? u'.' : u',';
  if (lastPoint >= 0 && lastComma >= 0) {
    s.remove(decimal == u'.' ? u',' : u'.');
  } else if (s.count(decimal) > 1) {
    s.remove(decimal);  // one separator, several times: thousands
  }
  s.replace(u',', u'.');
  bool ok = false;
  const double value = s.toDouble(&ok);
  return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

DollarRate ParseDollarRatePage(const QByteArray& whole) {
  DollarRate result;
  if (whole.isEmpty()) return result;
  const QByteArray page = whole.left(kDollarPageBytes);
  if (page == "Default.htm" || page.size() < 50) {
    result.failure = DollarPageFailure::TooShort;
    return result;
  }
  const qsizetype mark = page.indexOf("ratesC1Value");
  const qsizetype start = mark < 0 ? -1 : page.indexOf('>', mark);
  if (start < 0) {
    result.failure = DollarPageFailure::NoMark;
    return result;
  }
  const qsizetype end = page.indexOf('<', start + 1);
  const QByteArray text = page.mid(start + 1, end < 0 ? -1 : end - start - 1);
  const std::optional<double> rate = QuoteNumber(QString::fromLatin1(text));
  if (!rate) {
    result.failure = DollarPageFailure::NoNumber;
    return result;
  }
  result.unrounded = *rate;
  result.rate = std::round(*rate * 10000) * 0.0001;
  result.failure = DollarPageFailure::None;
  return result;
}

AexQuote ParseAexPage(const QByteArray& page, const Language& language) {
  const Reason failed{TextId::AexDownloadFailed};
  if (page.size() < kAexPageMinimum) return failedAex(failed);
  qsizetype pos = page.indexOf("\"last_last\"");
  if (pos < 0) return failedAex(failed);
  const std::optional<QByteArray> last = textAfter(page, pos, ">");
  const std::optional<QByteArray> change =
      last ? textAfter(page, pos, "dir=\"ltr\">") : std::nullopt;
  const std::optional<QByteArray> percent =
      change ? textAfter(page, pos, "dir=\"ltr\">") : std::nullopt;
  const std::optional<QByteArray> time = percent ? textAfter(page, pos, "time\">") : std::nullopt;
  if (!time) return failedAex(failed);
  const std::optional<double> value = QuoteNumber(QString::fromLatin1(*last));
  if (!value) return failedAex(failed);

  AexQuote quote;
  quote.value = *value;
  quote.lastText = QString::fromLatin1(*last).trimmed();
  const double changeValue =
      std::round(QuoteNumber(QString::fromLatin1(*change)).value_or(0) * 100) * 0.01;
  quote.change = RealToStr(changeValue, 0, 2, language).trimmed();
  quote.percent = QString::fromLatin1(*percent).trimmed();
  quote.time = QString::fromLatin1(*time).trimmed();
  return quote;
}

QString AexPageUrl(const QString& base) {
  return base + (base.endsWith(u'/') ? QString() : QStringLiteral("/")) +
         QStringLiteral("indices/netherlands-25-historical-data");
}

bool ConnectionTest(HttpGet& http, const QString& pageUrl) {
  const QUrl page(pageUrl);
  if (!page.isValid() || page.host().isEmpty()) return false;
  QUrl host;
  host.setScheme(page.scheme());
  host.setHost(page.host());
  host.setPort(page.port());
  host.setPath(QStringLiteral("/"));
  return http.get(host.toString()).ok();
}

DollarRate FetchDollarRate(HttpGet& http, const QString& pageUrl) {
  HttpReply reply;
  for (int attempt = 0; attempt < kDollarAttempts && reply.body.isEmpty(); ++attempt)
    reply = http.get(pageUrl);
  return ParseDollarRatePage(reply.page() ? reply.body : QByteArray());
}

AexQuote FetchAEX(HttpGet& http, const QString& base, const Language& language) {
  HttpReply reply;
  for (int attempt = 0; attempt < kAexAttempts && reply.body.isEmpty(); ++attempt)
    reply = http.get(AexPageUrl(base));
  if (!reply.ok()) return failedAex(Reason{TextId::AexServerSilent, {QUrl(base).host()}});
  return ParseAexPage(reply.page() ? reply.body : QByteArray(), language);
}

bool StoreDollarLines(PriceStore& store, double rate, QDate day) {
  const QString date = day.toString(QStringLiteral("yyMMdd"));
  const QString ratePrice = QString::asprintf("%6.4f", rate);
  const QString inversePrice = QString::asprintf("%6.4f", 1.0 / rate);
  struct Line {
    const char* name;
    const char* ticker;
    const QString& price;
  };
  const std::array<Line, 4> lines{{{"Dollar/Euro", "dol.eur", ratePrice},
                                   {"USD/EUR", "USDEUR=X", ratePrice},
                                   {"Euro/Dollar", "eur.dol", inversePrice},
                                   {"EUR/USD", "EURUSD=X", inversePrice}}};
  bool written = true;
  for (const Line& line : lines) {
    const QString downloadLine = date + u',' + line.price.trimmed();
    written = store.StorePrices(QLatin1String(line.name), QLatin1String(line.ticker),
                                {downloadLine}, 0) &&
              written;
  }
  return written;
}

bool WriteDollarToPriceFile(PriceStore& store, double rate, QDate today) {
  if (!(rate > 0) || !std::isfinite(rate)) return false;
  // The four lines go into one batch: the open one of a download running
  // meanwhile (its flush writes today's file once, with these lines in),
  // or one of their own under the price folder's lock.
  const bool ownBatch = !store.batchOpen();
  if (ownBatch && !store.openBatch(PriceStore::kQuoteLockWait).ok()) return false;
  bool written = StoreDollarLines(store, rate, today);
  if (ownBatch) written = store.flushBatch().ok() && written;
  return written;
}

}  // namespace pelmar
