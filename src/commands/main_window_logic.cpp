#include "commands/main_window_logic.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <cmath>

#include "model/conversions.h"
#include "model/dates.h"

namespace pelmar {

namespace {

// A dollar rate that cannot be right once normalised.
constexpr double kMinDollar = 0.01;
constexpr double kFallbackDollar = 0.93;
// Latest prices this many days old or more are shown as unknown.
constexpr qint64 kStaleDays = 100;

QString shortDate(const Session& session, DateTime serial) {
  return formatDate(serialToDate(serial), dateFormatFromSetting(session.settings().dateFormat));
}

QString trueFalse(bool value) {
  return value ? QStringLiteral("True") : QStringLiteral("False");
}

// The reciprocal rounded to 4 decimals; a rate of 0 or less has none and
// stays 0 instead of becoming infinite.
double roundedReciprocal(double value) {
  return value > 0 ? static_cast<double>(Round4(1.0L / value)) : 0.0;
}

double reciprocal(double value) {
  return value > 0 ? 1.0 / value : 0.0;
}

}  // namespace

// --- Fund list -------------------------------------------------------------

bool FundListLess(const QString& a, const QString& b) {
  return a.toLower() < b.toLower();
}

QStringList FillFondsenBox(const Portfolio& portfolio) {
  QStringList tickers;
  const int count = portfolio.fundCount(portfolio.FirstKoersIndex);
  for (int offset = 0; offset < count; ++offset)
    tickers << TrimRightBlanks(portfolio.koersAt(portfolio.FirstKoersIndex + offset).Ticker);
  std::stable_sort(tickers.begin(), tickers.end(), FundListLess);
  return tickers;
}

int FundOffsetOf(const Portfolio& portfolio, const QString& listText) {
  const int count = portfolio.fundCount(portfolio.FirstKoersIndex);
  for (int offset = 0; offset < count; ++offset) {
    if (TrimRightBlanks(portfolio.koersAt(portfolio.FirstKoersIndex + offset).Ticker) == listText)
      return offset;
  }
  return -1;
}

// --- ShowDataSet -------------------------------------------------------------

double NormalisedDollar(double dollar) {
  double normalised = dollar > 1.0 ? roundedReciprocal(dollar) : dollar;
  if (normalised < kMinDollar) normalised = kFallbackDollar;
  return normalised;
}

CurrencyTexts CurrencyBoxTexts(const Session& session, double dollar) {
  const Language& language = session.language();
  const Portfolio& portfolio = session.portfolio();
  const auto currency = [&](bool inDollar) {
    return session.text(inDollar ? TextId::CurrencyDollar : TextId::CurrencyEuro);
  };
  // The dataset's rate is the dollar in euros unless the currency index
  // gives the euro in dollars.
  const QString plain = RealToStr(dollar, 2, 4, language);
  const QString inverse = FormatAmount(roundedReciprocal(dollar), 2, 4, language);
  const bool euroInDollars = session.settings().currencyMulDiv;
  CurrencyTexts texts;
  texts.portfolio = session.text(TextId::PortfolioInPrefix) + currency(portfolio.bPortInDollar);
  texts.report = session.text(TextId::ReportInPrefix) + currency(portfolio.bRapInDollar);
  texts.euro = session.text(TextId::OneEuroPrefix) + (euroInDollars ? plain : inverse) +
               QStringLiteral(" US$");
  texts.dollar = session.text(TextId::OneDollarPrefix) + (euroInDollars ? inverse : plain) +
                 QStringLiteral(" €");
  texts.realTime = session.text(TextId::RealTimeLabel);
  return texts;
}

QString PortfolioCaption(const Session& session, const QString& portfolioPath) {
  return session.text(TextId::ProductName) + QChar(' ') + session.text(TextId::VersionText) +
         QChar(' ') + QChar('[') + QDir::toNativeSeparators(portfolioPath) + QChar(']');
}

DataSetView ShowDataSet(Session& session, int index, const QString& portfolioPath) {
  Portfolio& p = session.portfolio();
  const int fundCount = p.fundCount(p.FirstKoersIndex);
  if (fundCount <= 1) p.SelFonds = 0;
  if (index < p.FirstKoersIndex || index >= p.FirstKoersIndex + fundCount)
    index = p.FirstKoersIndex;
  session.engine().CalcDataSet();

  DataSetView view;
  view.atLastSet = p.bAtLastSet;
  view.caption = PortfolioCaption(session, portfolioPath);

  p.pAlgRec = p.FirstRekIndex - 1;
  AlgemeenRec& alg = p.alg();
  view.datum = shortDate(session, alg.Datum);
  view.nodePanel = session.text(TextId::DataSetPrefix) + QString::number(alg.NrOfSet);
  p.pKoersRec = index;
  p.SelFonds = index - p.FirstKoersIndex;
  KoersRec& fund = p.koers();

  alg.Dollar = NormalisedDollar(alg.Dollar);
  view.currency = CurrencyBoxTexts(session, alg.Dollar);

  // A fund whose price the program sets itself keeps it. When the price
  // files have no price the stored one stays: a missing price is no price.
  constexpr quint8 ownPrice = KoersFlag::Cumulatief | KoersFlag::BuySell | KoersFlag::FakeFund;
  if (!(fund.Flag1 & ownPrice)) {
    const double price =
        session.prices().GetFilePrice(RemoveBlanks(fund.Ticker), serialToDate(alg.Datum));
    if (price > 0.0001 && price != static_cast<double>(fund.Koers)) {
      fund.Koers = price;
      // Recalculated again so that the totals agree with the price shown.
      session.engine().CalcDataSet();
    }
  }

  view.ticker = RemoveBlanks(fund.Ticker);
  if (fund.Flag1 & KoersFlag::Splits)
    view.splitLabel = TrimRightBlanks(fund.Ticker) + session.text(TextId::HasBeenSplit);
  if (!fund.isPlaceholder()) view.fundCumDatum = shortDate(session, fund.CumDatum);
  view.cumDatum = shortDate(session, alg.CumDatum);

  view.servicePanel = QStringLiteral(
                          " Node = %1 | Som = %2 | BuySell = %3 | Ref = %4 | "
                          "Fake = %5 | Dollar = %6")
                          .arg(index)
                          .arg(trueFalse(fund.Flag1 & KoersFlag::Cumulatief),
                               trueFalse(fund.Flag1 & KoersFlag::BuySell),
                               trueFalse(fund.Flag1 & KoersFlag::RefWaarde),
                               trueFalse(fund.Flag1 & KoersFlag::FakeFund))
                          .arg(static_cast<double>(alg.Dollar));
  view.advice = session.engine().advice().ShowAdvice(index);
  return view;
}

// --- EnableControls ------------------------------------------------------------

ControlStates EnableControls(const Session& session, bool isNew, bool opened, bool changed) {
  const Portfolio& p = session.portfolio();
  ControlStates states;
  states.save = changed;
  states.any = isNew || opened;
  const bool automatic = !p.isEmpty() && p.idAt(p.pKoersRec) == KoersRec::Id &&
                         (p.koers().Flag1 & KoersFlag::RefWaarde);
  states.refWaarde =
      session.text(automatic ? TextId::RefWaardeAutomatic : TextId::RefWaardeCalculate);
  return states;
}

// --- Portfolio properties ----------------------------------------------------

QString ShortByteCount(qint64 bytes, QChar decimalSeparator) {
  const QString digits = QString::number(std::max<qint64>(bytes, 0));
  const int length = static_cast<int>(digits.size());
  if (length <= 3) return digits + QChar(' ');
  static const QString kUnits = QStringLiteral("kMGT");
  // Beyond tera (16 digits and more) the count stays in tera rather than
  // running out of units.
  const int k = std::min((length - 1) / 3, static_cast<int>(kUnits.size()));
  const int head = length - 3 * k;
  return digits.left(head) + decimalSeparator + digits.mid(head, 3) + QChar(' ') + kUnits[k - 1];
}

QString PropertiesText(const Session& session, const QString& fileName, qint64 fileSize) {
  const Portfolio& p = session.portfolio();
  if (p.isEmpty()) return {};
  const IdentRec& ident = p.identAt(0);
  const QString crlf = QStringLiteral("\r\n");
  const QString indent = QStringLiteral("   ");
  const auto text = [&](TextId id) { return session.text(id); };
  const auto currency = [&](bool inDollar) {
    return text(inDollar ? TextId::CurrencyDollar : TextId::CurrencyEuro) + QChar('.');
  };
  int dataSets = 0;
  for (int i = p.size() - 1; i > 0 && dataSets == 0; --i) {
    if (p.idAt(i) == AlgemeenRec::Id) dataSets = p.algAt(i).NrOfSet;
  }
  QStringList lines;
  lines << text(TextId::PropertiesFileName) + QFileInfo(fileName).fileName() + QChar('.');
  lines << indent + text(TextId::PropertiesFileSize) +
               ShortByteCount(fileSize, session.language().decimalSeparator()) +
               text(TextId::PropertiesBytes);
  lines << indent + text(TextId::PropertiesDataSets) + QString::number(dataSets) + QChar('.');
  lines << indent + text(TextId::PropertiesEditedWith) + TrimRightBlanks(ident.Name) + QChar(' ') +
               TrimRightBlanks(ident.VersionI) + QChar('.');
  lines << indent +
               text(ident.Flag1 & IdentFlag::JaarAfsl ? TextId::PropertiesYearClosed
                                                      : TextId::PropertiesYearNotClosed) +
               QChar('.') + crlf;
  lines << indent + TrimRightBlanks(ident.Name) + QChar(' ') + TrimRightBlanks(ident.CopyrightI) +
               QChar('.');
  lines << indent + text(TextId::PropertiesAuthors) + TrimRightBlanks(ident.Author) + QChar('.') +
               crlf;
  lines << indent + text(TextId::PropertiesPortCurrency) + currency(p.bPortInDollar);
  lines << indent + text(TextId::PropertiesReportCurrency) + currency(p.bRapInDollar);
  return lines.join(crlf);
}

// --- Latest prices ---------------------------------------------------------------

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
    return shortDate(session, static_cast<DateTime>(day));
  };
  const QString dates = session.text(TextId::LatestPricesNl) + dateText(days.dutch) +
                        session.text(TextId::LatestPricesUs) + dateText(days.us);
  return {session.text(TextId::ReadPrefix) + lastReadFile + QStringLiteral("\r\n") + dates,
          QChar(' ') + dates};
}

// --- Start-up --------------------------------------------------------------------

QPoint ClampWindowPosition(QPoint stored, QSize frame, const QRect& screen) {
  QPoint at(std::max(stored.x(), 1), std::max(stored.y(), 1));
  if (at.x() + frame.width() > screen.right() + 1) at.rx() = screen.right() + 1 - frame.width();
  if (at.y() + frame.height() > screen.bottom() + 1) at.ry() = screen.bottom() + 1 - frame.height();
  // A window larger than the screen keeps its title bar reachable.
  at.rx() = std::max(at.x(), screen.left());
  at.ry() = std::max(at.y(), screen.top());
  return at;
}

bool FolderHolds(const QString& folder, const QString& pattern) {
  return !QDir(folder).entryList({pattern}, QDir::Files).isEmpty();
}

namespace {

int copyFiles(const QString& from, const QString& to, const QStringList& patterns) {
  const QDir source(from);
  if (!source.exists() || !QDir().mkpath(to)) return 0;
  int copied = 0;
  for (const QString& name : source.entryList(patterns, QDir::Files)) {
    if (QFile::copy(source.filePath(name), QDir(to).filePath(name))) ++copied;
  }
  return copied;
}

}  // namespace

int CopyExamplePrices(const QString& programFolder, const QString& priceFolder,
                      const QStringList& patterns) {
  return copyFiles(QDir(programFolder).filePath(QStringLiteral("Prices")), priceFolder, patterns);
}

QString HelpAnchor(int helpContext) {
  struct Group {
    int from;
    int to;
    const char* anchor;
  };
  static constexpr Group kGroups[] = {
      {31100, 31199, "file"},     {31200, 31299, "actions"}, {31400, 31499, "graphs"},
      {31500, 31599, "options"},  {31900, 31999, "help"},    {32000, 32999, "toolbar"},
      {33000, 33999, "fundlist"}, {34300, 34399, "grid"},    {34000, 34999, "fundpanel"},
      {50000, 50000, "about"},
  };
  for (const Group& group : kGroups) {
    if (helpContext >= group.from && helpContext <= group.to)
      return QString::fromLatin1(group.anchor);
  }
  return QStringLiteral("main");
}

// --- Real-time box -----------------------------------------------------------------

void QuoteHistory::fillOnReset(double value) {
  if (!reset_) return;
  ring_.fill(value);
  position_ = 0;
  reset_ = false;
}

void QuoteHistory::add(double value) {
  ring_[position_] = value;
  position_ = (position_ + 1) % kSize;
}

double QuoteHistory::dollarQuote(const QString& ticker, double rate, bool fromDollarTimer) {
  const QString name = RemoveBlanks(ticker);
  const auto is = [&](const char* a, const char* b) {
    return name.compare(QLatin1String(a), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
  };
  if (is("eur.dol", "EURUSD=X")) {
    shownDirection_ = 0;
    rate = reciprocal(rate);
  } else if (is("dol.eur", "USDEUR=X")) {
    shownDirection_ = 1;
  }
  if (reset_) ringDirection_ = shownDirection_;
  fillOnReset(rate);
  if (ringDirection_ != shownDirection_) {
    for (double& value : ring_) value = reciprocal(value);
    ringDirection_ = shownDirection_;
  }
  if (fromDollarTimer) add(rate);
  return rate;
}

void QuoteHistory::aexQuote(double value) {
  fillOnReset(value);
  add(value);
}

std::array<QuoteHistory::Mark, QuoteHistory::kSize - 1> QuoteHistory::marks() const {
  std::array<Mark, kSize - 1> marks{};
  for (int i = 1; i < kSize; ++i) {
    const long double newer = Round4(ring_[(position_ + i) % kSize]);
    const long double older = Round4(ring_[(position_ + i - 1) % kSize]);
    marks[i - 1] = newer == older ? Mark::Level : newer > older ? Mark::Up : Mark::Down;
  }
  return marks;
}

QString DollarTimeText(const Language& language, const QString& timeStamp) {
  return timeStamp.size() >= 14 ? timeStamp : language.text(TextId::NoDate);
}

AexTimeText AexQuoteText(const Language& language, double value, const QString& change,
                         const QString& percent, const QString& time) {
  return {RealToStr(value, 4, 2, language) + QChar(' ') + change + QChar(' ') + percent +
              QChar(' ') + time,
          change.startsWith(QChar('-'))};
}

}  // namespace pelmar
