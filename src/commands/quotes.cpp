#include "commands/quotes.h"

#include <algorithm>
#include <array>

#include "model/dates.h"

namespace pelmar {

namespace {

constexpr double kDollarThreshold = 0.1;

}  // namespace

bool QuoteTickAllowed(const Session& session, QuoteKind kind) {
  const Settings& s = session.settings();
  const bool on = kind == QuoteKind::Dollar ? s.downloadDollarQuote : s.downloadAexQuote;
  // The dollar rate would change the portfolio under a running download.
  if (kind == QuoteKind::Dollar && session.busy()) return false;
  return on && session.portfolio().bPortOpened() && !session.portfolio().isEmpty();
}

QString QuotePage(const Session& session, QuoteKind kind) {
  return kind == QuoteKind::Dollar ? session.settings().dollarQuotePage
                                   : session.settings().aexQuotePage;
}

DollarTickResult ApplyDollarRate(Session& session, const DollarRate& fetched) {
  DollarTickResult result;
  Portfolio& p = session.portfolio();
  // A rate that comes while a download runs is dropped: the next tick brings it.
  if (!fetched.ok() || fetched.rate <= kDollarThreshold || p.isEmpty() || session.busy())
    return result;
  result.arrived = true;
  const QDate today = session.clock().today();
  if (serialToDate(p.alg().Datum) == today) p.alg().Dollar = fetched.unrounded;
  if (Real48(fetched.rate) == Real48(p.DollarKoers())) return result;

  const double rate = fetched.rate;
  result.changed = true;
  p.setDollarKoers(rate);
  session.prices().refresh();
  result.written = WriteDollarToPriceFile(session.prices(), rate, today);
  if (p.atLastSet()) p.alg().Dollar = rate;
  if (p.idAt(p.pKoersRec()) != KoersRec::Id) return result;
  KoersRec& fund = p.koers();
  const QString ticker = fund.Ticker.str();
  static const std::array<QString, 2> inverse = {QStringLiteral("eur.dol"),
                                                 QStringLiteral("eurusd=x")};
  static const std::array<QString, 2> direct = {QStringLiteral("usdeur=x"),
                                                QStringLiteral("dol.eur")};
  const bool holds = fund.Flag1 & (KoersFlag::Cumulatief | KoersFlag::BuySell);
  if (holds) return result;
  if (std::find(inverse.begin(), inverse.end(), ticker) != inverse.end()) {
    fund.Koers = 1.0 / rate;
    result.fundChanged = true;
  } else if (std::find(direct.begin(), direct.end(), ticker) != direct.end()) {
    fund.Koers = rate;
    result.fundChanged = true;
  }
  return result;
}

QString DollarTimeStamp(const Session& session) {
  // The zone is the clock's own, named as the system names it.
  const QDateTime now = session.clock().now();
  return now.toString(QStringLiteral("yyyy-MM-dd hh:mm")) + QStringLiteral(" (") +
         now.timeZoneAbbreviation() + QChar(')');
}

QuoteButtons ShowQuoteButtons(const Settings& settings) {
  QuoteButtons buttons;
  if (settings.downloadDollarQuote) buttons = {true, false};
  if (settings.downloadAexQuote) buttons = {false, true};
  return buttons;
}

}  // namespace pelmar
