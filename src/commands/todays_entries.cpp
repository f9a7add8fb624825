#include "commands/todays_entries.h"

#include "commands/accounts.h"
#include "commands/fund_grid.h"
#include "engine/fund_names.h"
#include "model/conversions.h"

namespace pelmar {

namespace {

// The grid rows whose values the user types into a dataset.
constexpr int kEnteredRows[] = {
    GridRow::Inleg, GridRow::Kosten, GridRow::KostenProc, GridRow::Dividend, GridRow::DivBel,
    GridRow::BTW,   GridRow::DownDr, GridRow::UpDr,       GridRow::f,        GridRow::v};

// The same rows as fields, in that order.
constexpr Real48 KoersRec::*kEnteredFields[] = {
    &KoersRec::Inleg,  &KoersRec::Kosten, &KoersRec::KostenProc, &KoersRec::Dividend,
    &KoersRec::DivBel, &KoersRec::BTW,    &KoersRec::DownDr,     &KoersRec::UpDr,
    &KoersRec::f,      &KoersRec::v};

// The account rows the user types, and whether the engine carries the value
// into the next dataset (then a value equal to the previous dataset's came
// from there).
struct AccountField {
  int row;
  Real48 RekeningRec::*field;
  bool carried;
};
constexpr AccountField kAccountFields[] = {
    {AccountRow::CredRente, &RekeningRec::CredRente, true},
    {AccountRow::DebRente, &RekeningRec::DebRente, true},
    {AccountRow::RenteCorrectie, &RekeningRec::RenteCorrectie, true},
    {AccountRow::Kosten, &RekeningRec::Kosten, false},
    {AccountRow::BTW, &RekeningRec::BTW, false},
};

bool differs(const Real48& a, const Real48& b) {
  return a.value() != b.value();
}

bool has(const KoersRec& fund, quint8 flag) {
  return (fund.Flag1 & flag) != 0;
}

// The fund of that name in the dataset at koersIndex, or null.
const KoersRec* fundNamed(const Portfolio& p, const FundNameIndex& names, int koersIndex,
                          const QString& key) {
  const int offset = names.offsetOf(key);
  return offset < 0 ? nullptr : &p.koersAt(koersIndex + offset);
}

QString listed(const QString& what, const QStringList& items) {
  return what + QStringLiteral(" (") + items.join(QStringLiteral(", ")) + QLatin1Char(')');
}

// What the user changed in a fund of the dataset of today: `opened` is the
// fund as opening made it, `previous` the fund in the dataset before.
QStringList fundEntries(const Session& session, const KoersRec& now, const KoersRec& opened,
                        const KoersRec* previous) {
  const Language& language = session.language();
  QStringList items;
  const auto label = [&](int row) { return GridLabel(language, row).trimmed(); };
  // Shares moved against the dataset before: a trade (or a typed quantity)
  // here. A trade in an older dataset moves both alike.
  const double before = previous ? previous->Aantal.value() : 0.0;
  const double openedBefore = opened.Aantal - opened.Delta;
  if (Real48(now.Aantal - before).value() != Real48(opened.Aantal - openedBefore).value())
    items << session.text(TextId::TodaysEntryTrade);
  // A split made here, or carried in from the dataset before (which keeps
  // it); otherwise a price typed here.
  const bool split = has(now, KoersFlag::Splits) && !has(opened, KoersFlag::Splits);
  const bool splitCarriedIn = split && previous && has(*previous, KoersFlag::Splits);
  constexpr quint8 userPrice = KoersFlag::PriceSet | KoersFlag::PriceKept;
  if (split && !splitCarriedIn)
    items << session.text(TextId::TodaysEntrySplit);
  else if (!split && has(now, userPrice) && !has(opened, userPrice))
    items << label(GridRow::Koers);
  for (std::size_t i = 0; i < std::size(kEnteredRows); ++i)
    if (differs(now.*kEnteredFields[i], opened.*kEnteredFields[i])) items << label(kEnteredRows[i]);
  if (has(now, KoersFlag::RefWaarde) && !has(opened, KoersFlag::RefWaarde) &&
      !items.contains(session.text(TextId::TodaysEntryTrade)))
    items << session.text(TextId::TabReference);
  return items;
}

QStringList accountEntries(const Session& session, const RekeningRec& now,
                           const RekeningRec& opened, const RekeningRec& previous) {
  QStringList items;
  for (const AccountField& a : kAccountFields) {
    if (!differs(now.*a.field, opened.*a.field)) continue;
    if (a.carried && !differs(now.*a.field, previous.*a.field)) continue;
    items << AccountLabel(session.language(), a.row).trimmed();
  }
  if (now.CredPerc != opened.CredPerc && now.CredPerc != previous.CredPerc)
    items << AccountLabel(session.language(), AccountRow::CredPerc).trimmed();
  return items;
}

}  // namespace

void KeepDataSetOfToday(Session& session) {
  FileState& files = session.files();
  const Portfolio& p = session.portfolio();
  files.dataSetOfTodayAsOpened.reset();
  if (p.isEmpty() || !files.dataSetOfTodayAdded) return;
  FileState::DataSetCopy copy;
  const int rek = p.lastRekIndex();
  for (int number = 0; number < Portfolio::kAccountsPerDataSet; ++number)
    copy.accounts.push_back(p.rekAt(rek + number));
  const int koers = Portfolio::KoersIndexOf(rek);
  for (int i = koers; i < koers + p.fundCount(koers); ++i) copy.funds.push_back(p.koersAt(i));
  files.dataSetOfTodayAsOpened = std::move(copy);
}

QStringList EntriesOfToday(const Session& session) {
  const Portfolio& p = session.portfolio();
  const std::optional<FileState::DataSetCopy>& opened = session.files().dataSetOfTodayAsOpened;
  if (!opened || p.isEmpty() || !session.files().dataSetOfTodayAdded) return {};
  const int rek = p.lastRekIndex();
  const int koers = Portfolio::KoersIndexOf(rek);
  int previousRek = rek;
  int previousKoers = koers;
  const bool hasPrevious = p.PrevDataSet(previousRek, previousKoers) && previousRek != rek;
  const FundNameIndex names(p, koers);
  const FundNameIndex previousNames =
      hasPrevious ? FundNameIndex(p, previousKoers) : FundNameIndex();

  // The funds as opening made them, by name.
  QHash<QString, const KoersRec*> openedFunds;
  for (const KoersRec& fund : opened->funds)
    openedFunds.insert(FundNameIndex::key(fund.Ticker), &fund);

  QStringList entries;
  for (int i = koers; i < koers + p.fundCount(koers); ++i) {
    const KoersRec& fund = p.koersAt(i);
    if (fund.isPlaceholder()) continue;
    const QString key = FundNameIndex::key(fund.Ticker);
    const KoersRec* previous =
        hasPrevious ? fundNamed(p, previousNames, previousKoers, key) : nullptr;
    const QString ticker = TrimRightBlanks(fund.Ticker);
    if (const KoersRec* before = openedFunds.value(key)) {
      const QStringList items = fundEntries(session, fund, *before, previous);
      if (!items.isEmpty()) entries << listed(ticker, items);
    } else if (!previous) {
      // A fund added here; one added in an older dataset is kept there.
      entries << listed(ticker, {session.text(TextId::TodaysEntryNewFund)});
    }
  }
  for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
    const RekeningRec& now = p.rekAt(rek + number - 1);
    const RekeningRec& previous = p.rekAt((hasPrevious ? previousRek : rek) + number - 1);
    const QStringList items = accountEntries(session, now, opened->accounts[number - 1], previous);
    if (!items.isEmpty())
      entries << listed(session.text(TextId::TodaysEntryAccount).arg(number), items);
  }
  return entries;
}

QString EntriesOfTodayLine(const Session& session, const QStringList& entries) {
  return session.text(TextId::TodaysEntriesLine).arg(entries.join(QStringLiteral("; ")));
}

}  // namespace pelmar
