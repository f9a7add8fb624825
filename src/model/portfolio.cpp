#include "model/portfolio.h"

#include <algorithm>

namespace pelmar {

// Until a language gives the texts, placeholder rows still get a ticker
// that marks them as such; an empty one would read back as a fund.
Portfolio::Portfolio()
    : initial_(InitialRecords::forTexts({{}, {}, {}, QStringLiteral("[Nieuw]")})) {}

Portfolio::Refusal Portfolio::appendRecord(const Record& record) {
  return insertRecord(size(), record);
}

Portfolio::Refusal Portfolio::insertRecord(int index, const Record& record) {
  if (size() >= kMaxRecords) return Refusal::TooManyRecords;
  if (std::holds_alternative<KoersRec>(record)) {
    // The funds of the dataset the new fund joins: the run of fund records
    // on both sides of the index.
    int funds = 0;
    for (int i = index - 1; idAt(i) == 'k'; --i) ++funds;
    for (int i = index; idAt(i) == 'k'; ++i) ++funds;
    if (funds >= kMaxFundsPerDataSet) return Refusal::TooManyFunds;
  }
  records_.insert(records_.begin() + index, record);
  return Refusal::None;
}

void Portfolio::removeRecords(int index, int count) {
  records_.erase(records_.begin() + index, records_.begin() + index + count);
}

Portfolio::Refusal Portfolio::insertDataSets(int index, const RecordList& dataSets) {
  if (size() + static_cast<qsizetype>(dataSets.size()) > kMaxRecords)
    return Refusal::TooManyRecords;
  records_.insert(records_.begin() + index, dataSets.begin(), dataSets.end());
  return Refusal::None;
}

void Portfolio::renumberDataSets() {
  quint16 number = 0;
  for (int i = 0; i < size(); ++i)
    if (idAt(i) == AlgemeenRec::Id) algAt(i).NrOfSet = ++number;
}

void Portfolio::clear() {
  records_.clear();
  firstRekIndex_ = kFirstRekIndex;
  pRekRec_ = kFirstRekIndex;
  selFonds_ = 0;
  bPortOpened_ = false;
  bPortNew_ = false;
  bPortChanged_ = false;
}

void Portfolio::NewPortfolio(const IdentRec& identRec, DateTime startDate) {
  clear();

  IdentRec ident = identRec;
  ident.EndOfSetB = false;
  records_.push_back(ident);

  AlgemeenRec alg = initial_.DefaultAlgemeenRec;
  alg.NrOfSet = 1;
  alg.Datum = startDate;
  alg.CumDatum = startDate;
  records_.push_back(alg);

  for (int account = 1; account <= kAccountsPerDataSet; ++account) {
    RekeningRec rek = initial_.DefaultRekeningRec;
    rek.EndOfSetB = account == kAccountsPerDataSet;
    records_.push_back(rek);
  }

  KoersRec placeholder = initial_.DefaultKoersRec;
  placeholder.Ticker = initial_.placeholderTicker;
  placeholder.Valuta = ident.PortInDollarB ? QStringLiteral("US$") : QStringLiteral("EUR");
  placeholder.Country = ident.PortInDollarB ? QStringLiteral("us") : QStringLiteral("nl");
  placeholder.CumDatum = startDate;
  placeholder.EndOfSetB = true;
  records_.push_back(placeholder);

  setCurrencies(ident.PortInDollarB, ident.RapInDollarB);
  bPortNew_ = true;
}

bool Portfolio::IsLastDataSet(int index) const {
  for (int i = index + 1; i < size(); ++i)
    if (idAt(i) == 'a') return false;
  return true;
}

bool Portfolio::moveTo(int algIndex, int& rekIndex, int& koersIndex) const {
  const int rek = algIndex + 1;
  const int koers = KoersIndexOf(rek);
  if (algIndex < 0 || koers >= size()) return false;
  rekIndex = rek;
  koersIndex = koers;
  return true;
}

int Portfolio::dataSetStartAt(int index) const {
  for (int i = index; i > 0; --i)
    if (idAt(i) == 'a') return i;
  return -1;
}

bool Portfolio::FirstDataSet(int& rekIndex, int& koersIndex) const {
  rekIndex = kFirstRekIndex;
  koersIndex = kFirstKoersIndex;
  return true;
}

bool Portfolio::PrevDataSet(int& rekIndex, int& koersIndex) const {
  if (rekIndex <= kFirstRekIndex) return true;
  // Two before the first account is the last fund of the previous dataset.
  return moveTo(dataSetStartAt(rekIndex - 2), rekIndex, koersIndex);
}

bool Portfolio::NextDataSet(int& rekIndex, int& koersIndex) const {
  if (IsLastDataSet(rekIndex)) return true;
  int next = rekIndex;
  while (idAt(next) != 'a') ++next;
  return moveTo(next, rekIndex, koersIndex);
}

bool Portfolio::LastDataSet(int& rekIndex, int& koersIndex) const {
  return moveTo(dataSetStartAt(size() - 1), rekIndex, koersIndex);
}

int Portfolio::lastRekIndex() const {
  int rek = kFirstRekIndex;
  int koers = kFirstKoersIndex;
  LastDataSet(rek, koers);
  return rek;
}

std::optional<DateTime> Portfolio::PrevDataSetDate() const {
  int rek = FirstRekIndex();
  int koers = FirstKoersIndex();
  if (!PrevDataSet(rek, koers)) return std::nullopt;
  return wholeDay(algAt(rek - 1).Datum);
}

std::optional<DateTime> Portfolio::NextDataSetDate() const {
  int rek = FirstRekIndex();
  int koers = FirstKoersIndex();
  if (!NextDataSet(rek, koers)) return std::nullopt;
  return wholeDay(algAt(rek - 1).Datum);
}

std::optional<DateTime> Portfolio::LastDataSetDate() const {
  int rek = FirstRekIndex();
  int koers = FirstKoersIndex();
  if (!LastDataSet(rek, koers)) return std::nullopt;
  return wholeDay(algAt(rek - 1).Datum);
}

void Portfolio::goToDataSet(int rekIndex) {
  firstRekIndex_ = rekIndex;
  pRekRec_ = rekIndex;
  selectFund(selFonds_);
}

void Portfolio::selectFund(int offset) {
  selFonds_ = std::clamp(offset, 0, std::max(fundCount(FirstKoersIndex()) - 1, 0));
}

void Portfolio::selectAccount(int number) {
  pRekRec_ = firstRekIndex_ + std::clamp(number, 1, kAccountsPerDataSet) - 1;
}

int Portfolio::fundCount(int koersIndex) const {
  int count = 0;
  for (int i = koersIndex; idAt(i) == 'k'; ++i) {
    ++count;
    if (endOfSetAt(i)) break;
  }
  return count;
}

int Portfolio::dataSetEnd(int rekIndex) const {
  int i = rekIndex;
  while (idAt(i) == 'r') {
    if (endOfSetAt(i++)) break;
  }
  while (idAt(i) == 'k') {
    if (endOfSetAt(i++)) break;
  }
  return i;
}

bool Portfolio::canCopyDataSet(int rekIndex) const {
  const int records = dataSetEnd(rekIndex) - (rekIndex - 1);
  return size() + records <= kMaxRecords;
}

RecordList Portfolio::copyOfDataSet(int rekIndex) const {
  return RecordList(records_.begin() + (rekIndex - 1), records_.begin() + dataSetEnd(rekIndex));
}

void Portfolio::renumberFrom(int index, int delta) {
  for (int i = index; i < size(); ++i)
    if (idAt(i) == 'a') algAt(i).NrOfSet += delta;
}

bool Portfolio::appendDataSet(int& rekIndex, int& koersIndex, DateTime datum, qint32 setDuur) {
  if (!IsLastDataSet(rekIndex) || !canCopyDataSet(rekIndex)) return false;
  RecordList copy = copyOfDataSet(rekIndex);
  for (Record& record : copy) {
    if (auto* alg = std::get_if<AlgemeenRec>(&record)) {
      alg->NrOfSet += 1;
      alg->Datum = datum;
      alg->SetDuur = setDuur;
    } else if (auto* rek = std::get_if<RekeningRec>(&record)) {
      rek->Kosten = 0;
      rek->BTW = 0;
    } else if (auto* koers = std::get_if<KoersRec>(&record)) {
      koers->Flag1 &= KoersFlag::FakeFund;
      koers->SplitRatio = 0;
      koers->Inleg = 0;
      koers->Kosten = 0;
      koers->Dividend = 0;
      koers->DivBel = 0;
      koers->BTW = 0;
    }
  }
  const int newAlg = size();
  records_.insert(records_.end(), copy.begin(), copy.end());
  moveTo(newAlg, rekIndex, koersIndex);
  return true;
}

bool Portfolio::insertDataSet(int& rekIndex, int& koersIndex, DateTime datum) {
  if (IsLastDataSet(rekIndex) || !canCopyDataSet(rekIndex)) return false;
  int nextAlg = rekIndex;
  while (idAt(nextAlg) != 'a') ++nextAlg;

  RecordList copy = copyOfDataSet(rekIndex);
  // The new general record is the next dataset's, which keeps its NrOfSet;
  // the next dataset and every later one move up by one below.
  AlgemeenRec alg = algAt(nextAlg);
  alg.Datum = datum;
  copy.front() = alg;
  for (Record& record : copy) {
    if (auto* rek = std::get_if<RekeningRec>(&record)) {
      rek->Kosten = 0;
      rek->BTW = 0;
    } else if (auto* koers = std::get_if<KoersRec>(&record)) {
      koers->Flag1 = 0;
      koers->SplitRatio = 0;
      koers->Inleg = 0;
      koers->Kosten = 0;
      koers->KostenProc = 0;
      koers->Dividend = 0;
      koers->DivBel = 0;
      koers->BTW = 0;
    }
  }
  const int inserted = static_cast<int>(copy.size());
  records_.insert(records_.begin() + nextAlg, copy.begin(), copy.end());
  renumberFrom(nextAlg + inserted, 1);
  moveTo(nextAlg, rekIndex, koersIndex);
  return true;
}

bool Portfolio::DeleteDataSet(int& rekIndex, int& koersIndex) {
  if (IsLastDataSet(rekIndex)) return false;
  int nextRek = rekIndex;
  int nextKoers = koersIndex;
  if (!NextDataSet(nextRek, nextKoers)) return false;
  // Everything from this dataset's general record up to the next one's.
  const int removed = nextRek - rekIndex;
  removeRecords(rekIndex - 1, removed);
  rekIndex = nextRek - removed;
  koersIndex = nextKoers - removed;
  renumberFrom(rekIndex - 1, -1);
  return true;
}

}  // namespace pelmar
