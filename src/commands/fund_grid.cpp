#include "commands/fund_grid.h"

#include <QRegularExpression>
#include <array>
#include <cmath>
#include <optional>

#include "commands/accounts.h"
#include "commands/datasets.h"
#include "commands/navigation.h"
#include "commands/refusal.h"
#include "engine/fund_names.h"
#include "model/conversions.h"
#include "prices/price_update.h"

namespace pelmar {

namespace {

// One grid row: its texts, its help context and, for the number rows, the
// fund field with the number format (width, decimals) it is shown in.
struct RowSpec {
  TextId label;
  std::optional<TextId> prompt;
  int helpContext;
  Real48 KoersRec::*field;
  int width;
  int decimals;
};

const std::array<RowSpec, GridRow::Count> kRows = {{
    {TextId::GridLabelTicker, std::nullopt, 34301, nullptr, 0, 0},
    {TextId::GridLabelCountry, TextId::GridPromptCountry, 34314, nullptr, 0, 0},
    {TextId::GridLabelCurrency, TextId::GridPromptCurrency, 34302, nullptr, 0, 0},
    {TextId::GridLabelPrice, TextId::GridPromptPrice, 34303, &KoersRec::Koers, 12, 4},
    {TextId::GridLabelQuantity, TextId::GridPromptQuantity, 34304, &KoersRec::Aantal, 12, 4},
    {TextId::GridLabelInvestment, TextId::GridPromptInvestment, 34305, &KoersRec::Inleg, 12, 2},
    {TextId::GridLabelCosts, TextId::GridPromptCosts, 34306, &KoersRec::Kosten, 12, 2},
    {TextId::GridLabelCostsPercent, TextId::GridPromptCostsPercent, 34307, &KoersRec::KostenProc,
     12, 2},
    {TextId::GridLabelDividend, TextId::GridPromptDividend, 34308, &KoersRec::Dividend, 12, 2},
    {TextId::GridLabelDividendTax, TextId::GridPromptDividendTax, 34309, &KoersRec::DivBel, 12, 2},
    {TextId::GridLabelVat, TextId::GridPromptVat, 34311, &KoersRec::BTW, 12, 2},
    {TextId::GridLabelBuyThreshold, TextId::GridPromptBuyThreshold, 34310, &KoersRec::DownDr, 8, 2},
    {TextId::GridLabelSellThreshold, TextId::GridPromptSellThreshold, 34313, &KoersRec::UpDr, 8, 2},
    {TextId::GridLabelBuyGrowth, TextId::GridPromptBuyGrowth, 34312, &KoersRec::f, 8, 4},
    // The last row shares the grid's own help context.
    {TextId::GridLabelSellGrowth, TextId::GridPromptSellGrowth, 34300, &KoersRec::v, 8, 4},
}};

constexpr int kGridHelpContext = 34300;
// A price at or below this is not shown.
constexpr double kHiddenPrice = -0.0001;
// The growth factors f and v are capped here.
constexpr double kMaxGrowthFactor = 0.99999;

bool isRow(int row) {
  return row >= 0 && row < GridRow::Count;
}

// Rows that stay editable in an older dataset outside maintenance mode.
bool editableInOlderDataSet(int row) {
  return row >= GridRow::Kosten && row <= GridRow::BTW;
}

// How much a committed value must move to count as a change that later
// datasets need to see.
double changeThreshold(int row) {
  if (row == GridRow::Koers) return 0.0001;
  if (row == GridRow::f || row == GridRow::v) return 0.00001;
  return 0.01;
}

// The dollar quote writes its live rate into the price row of the dollar
// funds while the real-time box is shown (last dataset only).
bool showsRealTimePrice(const Session& session, const KoersRec& fund) {
  if (!session.portfolio().atLastSet() || !session.settings().downloadDollarQuote) return false;
  const QString ticker = RemoveBlanks(fund.Ticker);
  return ticker == QLatin1String("dol.eur") || ticker == QLatin1String("eur.dol");
}

// The text FillGrid shows in a row for the fund.
QString cellText(const Session& session, const KoersRec& fund, int row) {
  switch (row) {
    case GridRow::Ticker:
      // As the fund list shows it ("alpha fund", not "alphafund").
      return FundListText(session.portfolio(), fund);
    case GridRow::Country:
      return fund.Country;
    case GridRow::Valuta:
      return fund.Valuta;
    default:
      break;
  }
  const RowSpec& layout = kRows[row];
  const double value = fund.*layout.field;
  // Compared as stored, so a price entered as -0.0001 is hidden too.
  if (row == GridRow::Koers && value <= Real48(kHiddenPrice)) return {};
  const QString text = FormatAmount(value, layout.width, layout.decimals, session.language());
  if (row == GridRow::Koers && showsRealTimePrice(session, fund))
    return QStringLiteral("*         ") + text;
  return text;
}

// Why a typed value cannot be stored: a negative price or quantity would
// give negative values and cash (a negative investment is a withdrawal and
// stays allowed), and a value beyond the 6-byte real would be stored as
// another number.
std::optional<TextId> refusalOf(int row, double value) {
  if ((row == GridRow::Koers || row == GridRow::Aantal) && value < 0)
    return TextId::GridValueNegative;
  if (std::fabs(value) > Real48::kMax) return TextId::GridValueTooLarge;
  return std::nullopt;
}

// The value of an edited number cell; nothing while the cell still shows
// the stored value, so that value keeps every decimal it has. A hidden
// price shows as an empty cell and so is kept as well. A value that cannot
// be stored is refused with its message, and the stored one is kept.
std::optional<double> editedValue(const Session& session, Prompter& prompter, const KoersRec& fund,
                                  int row, const QString& cell) {
  if (cell.trimmed() == cellText(session, fund, row).trimmed()) return std::nullopt;
  QString text = cell;
  if (row == GridRow::Koers) text.remove(QLatin1Char('*'));
  const double value = GridCellValue(text, session.language());
  if (const std::optional<TextId> refusal = refusalOf(row, value)) {
    (void)Refuse(session, prompter, *refusal, {TrimLeftBlanks(GridLabel(session.language(), row))});
    return std::nullopt;
  }
  return value;
}

// Takes the country and currency cells into the fund; true when either
// field changed.
bool readTextRows(const Session& session, KoersRec& fund, const QStringList& cells) {
  const KoersRec before = fund;
  if (GridRowEditable(session, GridRow::Country)) fund.Country = cells[GridRow::Country].trimmed();
  if (GridRowEditable(session, GridRow::Valuta)) fund.Valuta = cells[GridRow::Valuta].trimmed();
  return fund.Country != before.Country || fund.Valuta != before.Valuta;
}

// A typed price is the user's: no daily file of a day before the one it
// was typed on replaces it.
void markTypedPrice(const Session& session, KoersRec& fund) {
  fund.Flag1 =
      SetBits(fund.Flag1, UserPriceMark(session.portfolio().alg().Datum, session.clock().today()));
}

bool isPlaceholderText(const QString& text) {
  return text == dutchText(TextId::PlaceholderTicker) ||
         text == englishText(TextId::PlaceholderTicker);
}

// The offset of the fund of the current dataset that the engine would take
// for that name (blanks and case ignored), or -1.
int findFund(const Portfolio& portfolio, const QString& name) {
  return FundNameIndex(portfolio, portfolio.FirstKoersIndex()).offsetOf(FundNameIndex::key(name));
}

// Calls visit(first fund index) for every dataset after the current one.
// visit may insert records into the dataset it is given.
template <typename Visit>
void forEachLaterDataSet(Portfolio& portfolio, Visit visit) {
  int rek = portfolio.FirstRekIndex();
  int koers = portfolio.FirstKoersIndex();
  while (!portfolio.IsLastDataSet(rek) && portfolio.NextDataSet(rek, koers)) visit(koers);
}

// Gives the fund at index a new ticker, and every fund of a later dataset
// that the engine takes for the same fund.
void renameFund(Portfolio& portfolio, int index, const QString& ticker) {
  KoersRec& fund = portfolio.koersAt(index);
  const QString oldKey = FundNameIndex::key(fund.Ticker);
  forEachLaterDataSet(portfolio, [&](int koers) {
    for (int i = koers; i < koers + portfolio.fundCount(koers); ++i) {
      KoersRec& later = portfolio.koersAt(i);
      if (FundNameIndex::key(later.Ticker) != oldKey) continue;
      later.Ticker = ticker;
      later.Ticker2 = QString();
    }
  });
  fund.Ticker = ticker;
  fund.Ticker2 = QString();
}

}  // namespace

// Whether the new fund, its new placeholder row and a copy in every later
// dataset fit into the portfolio.
bool RoomForNewFund(Portfolio& portfolio) {
  int records = 1;
  bool fundsFit = portfolio.fundCount(portfolio.FirstKoersIndex()) < Portfolio::kMaxFundsPerDataSet;
  forEachLaterDataSet(portfolio, [&](int koers) {
    ++records;
    fundsFit = fundsFit && portfolio.fundCount(koers) < Portfolio::kMaxFundsPerDataSet;
  });
  return fundsFit && portfolio.size() + records <= Portfolio::kMaxRecords;
}

// Turns the placeholder row at index into a fund named ticker, gives the
// dataset a new placeholder row and copies the fund into every later
// dataset just before its last fund. RoomForNewFund must hold.
void AddFundAt(Portfolio& portfolio, int index, const QString& ticker) {
  KoersRec& fund = portfolio.koersAt(index);
  fund.EndOfSetB = false;
  fund.Ticker = ticker;
  fund.CumDatum = portfolio.alg().Datum;
  fund.Flag1 = SetBits(fund.Flag1, KoersFlag::Cumulatief | KoersFlag::BuySell);

  KoersRec placeholder = portfolio.initialRecords().DefaultKoersRec;
  placeholder.Ticker = portfolio.initialRecords().placeholderTicker;
  placeholder.Flag1 = fund.Flag1;
  placeholder.EndOfSetB = true;

  KoersRec copy = fund;
  copy.Valuta = copy.Valuta.str().toUpper();
  copy.Flag1 =
      ClearBits(copy.Flag1, KoersFlag::Cumulatief | KoersFlag::BuySell | KoersFlag::RefWaarde);

  portfolio.insertRecord(index + 1, placeholder);
  forEachLaterDataSet(portfolio, [&](int koers) {
    portfolio.insertRecord(koers + portfolio.fundCount(koers) - 1, copy);
  });
}

QString GridLabel(const Language& language, int row) {
  return isRow(row) ? language.text(kRows[row].label) : QString();
}

QString GridPrompt(const Language& language, const KoersRec& fund, int row) {
  if (!isRow(row) || !kRows[row].prompt) return {};
  if (row == GridRow::Inleg && std::fabs(fund.CumInleg) < 0.01)
    return language.text(TextId::GridPromptFirstInvestment);
  return language.text(*kRows[row].prompt);
}

int GridHelpContext(int row) {
  return isRow(row) ? kRows[row].helpContext : kGridHelpContext;
}

double GridCellValue(const QString& text, const Language& language) {
  const QString trimmed = text.trimmed();
  const QChar group = language.thousandsSeparator();
  const QRegularExpression grouped(
      QStringLiteral("^[-+]?\\d{1,3}(%1\\d{3})+%2\\d*$")
          .arg(QRegularExpression::escape(group),
               QRegularExpression::escape(language.decimalSeparator())));
  if (grouped.match(trimmed).hasMatch()) return StrToReal(QString(trimmed).remove(group));
  return StrToReal(trimmed);
}

bool OlderDataSetLocked(const Session& session) {
  return !session.portfolio().atLastSet() && !session.settings().editOldDates;
}

bool GridRowEditable(const Session& session, int row) {
  if (!isRow(row) || row == GridRow::Ticker) return false;
  return session.portfolio().koers().isPlaceholder() || !OlderDataSetLocked(session) ||
         editableInOlderDataSet(row);
}

Outcome EditGridRow(Session& session, Prompter& prompter, int row) {
  if (GridRowEditable(session, row)) return Outcome::done();
  return Refuse(session, prompter, TextId::OldDataSetValueLocked);
}

QStringList FillGrid(const Session& session) {
  QStringList cells;
  for (int row = 0; row < GridRow::Count; ++row)
    cells << cellText(session, session.portfolio().koers(), row);
  return cells;
}

Report ReadGrid(Session& session, Prompter& prompter, const QStringList& cells) {
  const Report unchanged(Outcome::stopped(), {});
  if (cells.size() < GridRow::Count) return unchanged;
  Portfolio& portfolio = session.portfolio();
  KoersRec& fund = portfolio.koers();
  // What is typed on the placeholder row stays in the cells until the row
  // becomes a fund, so that the copies into later datasets start clean.
  if (fund.isPlaceholder()) return unchanged;
  bool differs = readTextRows(session, fund, cells);
  for (int row = GridRow::Koers; row < GridRow::Count; ++row) {
    if (!GridRowEditable(session, row)) continue;
    const std::optional<double> value = editedValue(session, prompter, fund, row, cells[row]);
    if (!value) continue;
    Real48& field = fund.*kRows[row].field;
    const Real48 stored = *value;
    if (stored.value() == field.value()) continue;
    field = stored;
    if (row == GridRow::Koers) markTypedPrice(session, fund);
    differs = true;
  }
  if (!differs) return unchanged;
  portfolio.markChanged();
  return Report(Outcome::done(), Change::Figures);
}

namespace {

// What the value rows of a commit did to the fund.
struct ValueRowsRead {
  // A change that reaches later datasets.
  bool changed = false;
  // The fund differs from what was stored.
  bool touched = false;
  // The investment changed by more than its threshold.
  bool investmentChanged = false;
};

// Takes the ticker cell of a commit: the placeholder row becomes a new fund
// when it names one, a fund is renamed when its cell names another ticker.
// Whether the fund list changed; nothing when the ticker was refused.
std::optional<bool> commitTicker(Session& session, Prompter& prompter, const QString& ticker) {
  Portfolio& portfolio = session.portfolio();
  const int index = portfolio.pKoersRec();
  if (portfolio.koers().isPlaceholder()) {
    // An empty ticker cell names no fund: the placeholder stays.
    if (ticker.isEmpty() || isPlaceholderText(ticker)) return false;
    if (findFund(portfolio, ticker) >= 0) {
      prompter.message(session.text(TextId::DuplicateFundName));
      return std::nullopt;
    }
    if (!RoomForNewFund(portfolio)) {
      prompter.message(session.text(TextId::PortfolioFullNoFund));
      return std::nullopt;
    }
    AddFundAt(portfolio, index, ticker);
    return true;
  }
  if (ticker.isEmpty()) {
    prompter.message(session.text(TextId::RemoveFundHint));
    return false;
  }
  if (ticker == cellText(session, portfolio.koers(), GridRow::Ticker)) return false;
  // Two funds of one name would share one history in the engine, so a
  // rename onto another fund's name is refused like a duplicate new fund.
  const int existing = findFund(portfolio, ticker);
  if (existing >= 0 && existing != portfolio.SelFonds()) {
    prompter.message(session.text(TextId::DuplicateFundName));
    return std::nullopt;
  }
  renameFund(portfolio, index, ticker);
  return true;
}

// Takes the value rows Koers to v of a commit into the fund.
ValueRowsRead commitValueRows(Session& session, Prompter& prompter, KoersRec& fund,
                              const QStringList& cells) {
  ValueRowsRead read;
  for (int row = GridRow::Koers; row < GridRow::Count; ++row) {
    if (!GridRowEditable(session, row)) continue;
    const std::optional<double> value = editedValue(session, prompter, fund, row, cells[row]);
    if (!value) continue;
    Real48& field = fund.*kRows[row].field;
    // A sign change is a change too, so the difference itself is measured.
    const double difference = std::fabs(*value - field);
    if (row == GridRow::Koers || row == GridRow::Aantal) {
      // Price and quantity are only taken when they really moved; a new
      // quantity alone needs no recalculation of later datasets.
      if (difference <= 0.0001) continue;
      field = *value;
      if (row == GridRow::Koers) {
        markTypedPrice(session, fund);
        read.changed = true;
      }
      read.touched = true;
      continue;
    }
    field = *value;
    if (difference > changeThreshold(row)) {
      read.changed = true;
      if (row == GridRow::Inleg) read.investmentChanged = true;
    }
    if (difference > 0) read.touched = true;
    if ((row == GridRow::f || row == GridRow::v) && field > kMaxGrowthFactor)
      field = kMaxGrowthFactor;
  }
  return read;
}

}  // namespace

UpdateFondsResult UpdateFonds(Session& session, Prompter& prompter, const QStringList& cells,
                              int selectedRow, const Engine::Progress& progress) {
  UpdateFondsResult result;
  if (cells.size() < GridRow::Count) return result;
  if (OlderDataSetLocked(session) && !editableInOlderDataSet(selectedRow)) return result;

  Portfolio& portfolio = session.portfolio();
  const int index = portfolio.pKoersRec();
  // `changed` asks for all later datasets to be recalculated; `touched`
  // only records that the portfolio differs from its file.
  // The country and currency are taken first, so that the copies of a new
  // fund in later datasets get the currency the fund gets.
  bool changed = readTextRows(session, portfolio.koers(), cells);
  if (changed) portfolio.markChanged();
  const std::optional<bool> fundsChanged =
      commitTicker(session, prompter, cells[GridRow::Ticker].trimmed());
  if (!fundsChanged) return result;
  result.fundsChanged = *fundsChanged;
  changed = changed || *fundsChanged;

  KoersRec& fund = portfolio.koersAt(index);
  // Nothing invested yet: a first investment is booked on an account the
  // user chooses.
  const bool firstInvestment = std::fabs(fund.CumInleg) <= 0.01;
  const ValueRowsRead read = commitValueRows(session, prompter, fund, cells);
  changed = changed || read.changed;

  // The account is chosen before the dataset is computed, so that the
  // account the fund is booked on takes its currency, not account 1.
  if (read.investmentChanged && firstInvestment && std::fabs(fund.Inleg) > 0.01) {
    quint8 rekNr = fund.RekNr;
    (void)ChooseAccount(session, prompter, rekNr);
  }
  CalcCurrentDataSet(session);
  if (changed) SpeedRekenClick(session, progress);
  if (changed || read.touched) portfolio.markChanged();
  result.changed = changed;
  return result;
}

}  // namespace pelmar
