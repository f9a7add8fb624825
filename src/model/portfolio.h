#pragma once

#include <optional>

#include "model/records.h"

namespace pelmar {

// The portfolio in memory: RecordList and the program-wide state that
// points into it, with the dataset operations.
//
// RecordList holds the IdentRec at index 0, then per dataset (oldest first)
// one AlgemeenRec, exactly five RekeningRec and one or more KoersRec, the
// last of which is the placeholder row. EndOfSetB marks the fifth account
// and the last fund. The current records are list indices (pIdentRec,
// pAlgRec, pRekRec, pKoersRec).
//
// The cursor (the current dataset, selected fund and current account) and
// the flags are private: they change only through the named operations
// below, and what can be derived (pAlgRec, pKoersRec, atLastSet) is
// computed. Dataset steps work on a pair of indices (first account, first
// fund) that callers pass in; a step that cannot be made returns false and
// leaves the indices as they were; stepping before the first or after the
// last dataset succeeds without moving.
class Portfolio {
 public:
  // List indices are 16-bit in the file's world.
  static constexpr int kMaxRecords = 65535;
  // The main window addresses the funds of a dataset by a one-byte offset.
  static constexpr int kMaxFundsPerDataSet = 256;
  static constexpr int kAccountsPerDataSet = 5;
  // The first dataset's first account and first fund.
  static constexpr int kFirstRekIndex = 2;
  static constexpr int kFirstKoersIndex = kFirstRekIndex + kAccountsPerDataSet;

  enum class Refusal { None, TooManyRecords, TooManyFunds };

  Portfolio();

  // --- RecordList -------------------------------------------------------

  const RecordList& records() const { return records_; }
  int size() const { return static_cast<int>(records_.size()); }
  bool isEmpty() const { return records_.empty(); }
  // The kind letter at an index; '\0' outside the list.
  char idAt(int index) const {
    return index >= 0 && index < size() ? recordId(records_[index]) : '\0';
  }
  bool endOfSetAt(int index) const {
    return index >= 0 && index < size() && recordEndOfSet(records_[index]);
  }

  // Typed access; the record at the index must be of that kind.
  IdentRec& identAt(int index) { return std::get<IdentRec>(records_.at(index)); }
  AlgemeenRec& algAt(int index) { return std::get<AlgemeenRec>(records_.at(index)); }
  RekeningRec& rekAt(int index) { return std::get<RekeningRec>(records_.at(index)); }
  KoersRec& koersAt(int index) { return std::get<KoersRec>(records_.at(index)); }
  const IdentRec& identAt(int index) const { return std::get<IdentRec>(records_.at(index)); }
  const AlgemeenRec& algAt(int index) const { return std::get<AlgemeenRec>(records_.at(index)); }
  const RekeningRec& rekAt(int index) const { return std::get<RekeningRec>(records_.at(index)); }
  const KoersRec& koersAt(int index) const { return std::get<KoersRec>(records_.at(index)); }

  // The current record of each kind (pIdentRec, pAlgRec, pRekRec, pKoersRec).
  IdentRec& ident() { return identAt(pIdentRec()); }
  AlgemeenRec& alg() { return algAt(pAlgRec()); }
  RekeningRec& rek() { return rekAt(pRekRec()); }
  KoersRec& koers() { return koersAt(pKoersRec()); }
  const IdentRec& ident() const { return identAt(pIdentRec()); }
  const AlgemeenRec& alg() const { return algAt(pAlgRec()); }
  const RekeningRec& rek() const { return rekAt(pRekRec()); }
  const KoersRec& koers() const { return koersAt(pKoersRec()); }

  // Adds one record at the end (the file reader builds the list this way)
  // or at an index. Refused, with nothing changed, when the list would
  // exceed kMaxRecords or a dataset kMaxFundsPerDataSet funds.
  Refusal appendRecord(const Record& record);
  Refusal insertRecord(int index, const Record& record);
  // Removes count records from index on.
  void removeRecords(int index, int count);
  // Inserts whole datasets (each an AlgemeenRec, five accounts and its
  // funds) at an index where a dataset begins or at the end. Refused, with
  // nothing changed, when the list would exceed kMaxRecords.
  Refusal insertDataSets(int index, const RecordList& dataSets);
  // Numbers the datasets 1, 2, 3 ... in list order.
  void renumberDataSets();
  // Releases the whole portfolio and resets the state to "nothing loaded".
  void clear();

  // --- Initial-value records ---------------------------------------------

  // Sets the language-dependent fields of the initial-value records.
  void setRecordTexts(const RecordTexts& texts) { initial_ = InitialRecords::forTexts(texts); }
  const InitialRecords& initialRecords() const { return initial_; }

  // Replaces the portfolio by a new one: the given IdentRec (its dollar
  // flags decide the currency) and one dataset dated startDate holding
  // five default accounts and the placeholder row.
  void NewPortfolio(const IdentRec& identRec, DateTime startDate);

  // --- Datasets ----------------------------------------------------------

  static int KoersIndexOf(int rekIndex) { return rekIndex + kAccountsPerDataSet; }
  // True when no AlgemeenRec follows the index before the end of the list.
  bool IsLastDataSet(int index) const;

  // Steps a pair of indices (first account, first fund) to the first,
  // previous, next or last dataset; the cursor does not move.
  bool FirstDataSet(int& rekIndex, int& koersIndex) const;
  bool PrevDataSet(int& rekIndex, int& koersIndex) const;
  bool NextDataSet(int& rekIndex, int& koersIndex) const;
  bool LastDataSet(int& rekIndex, int& koersIndex) const;
  // The first account of the last dataset.
  int lastRekIndex() const;

  // The whole-day date of the previous, next or last dataset seen from the
  // current one; the cursor stays. Nothing when the step cannot be made.
  std::optional<DateTime> PrevDataSetDate() const;
  std::optional<DateTime> NextDataSetDate() const;
  std::optional<DateTime> LastDataSetDate() const;

  // The number of funds (placeholder row included) of the dataset whose
  // first fund is at koersIndex.
  int fundCount(int koersIndex) const;
  // One past the last record of the dataset whose first account is at
  // rekIndex.
  int dataSetEnd(int rekIndex) const;

  // Whether a copy of the dataset at rekIndex still fits in the list.
  bool canCopyDataSet(int rekIndex) const;

  // Appends a copy of the dataset at the indices, which must be the last
  // one, dated datum with the given SetDuur (the append of AddDataSet);
  // the indices then point at the new dataset. False, with nothing
  // changed, when the dataset is not the last or the list would be full.
  // The cursor does not move.
  bool appendDataSet(int& rekIndex, int& koersIndex, DateTime datum, qint32 setDuur);
  // Inserts a copy of the dataset at the indices after it, dated datum
  // (the insert of AddDataSet); the indices then point at the new
  // dataset. False, with nothing changed, when the dataset is the last or
  // the list would be full. The cursor does not move.
  bool insertDataSet(int& rekIndex, int& koersIndex, DateTime datum);
  // Removes the dataset at the indices; the indices then point at the
  // dataset that followed. False, with nothing changed, for the last
  // dataset (which has no follower to take its place).
  bool DeleteDataSet(int& rekIndex, int& koersIndex);

  // --- The cursor: the current dataset, fund and account ---------------

  int pIdentRec() const { return 0; }
  int FirstRekIndex() const { return firstRekIndex_; }
  int FirstKoersIndex() const { return KoersIndexOf(firstRekIndex_); }
  int pAlgRec() const { return firstRekIndex_ - 1; }
  int pRekRec() const { return pRekRec_; }
  // The selected fund: its offset in the current dataset and its index.
  int SelFonds() const { return selFonds_; }
  int pKoersRec() const { return FirstKoersIndex() + selFonds_; }
  // The first fund of the last dataset.
  int LastSetKoersIndex() const { return KoersIndexOf(lastRekIndex()); }
  // Whether the current dataset is the last one (the dataset of today).
  bool atLastSet() const { return !isEmpty() && IsLastDataSet(firstRekIndex_); }

  // Makes the dataset whose first account is at rekIndex current, with its
  // first account current; the selected fund keeps its offset, cut to the
  // dataset's funds.
  void goToDataSet(int rekIndex);
  // Selects the fund at that offset of the current dataset (cut to its
  // funds).
  void selectFund(int offset);
  // Makes account 1 to 5 of the current dataset the current account.
  void selectAccount(int number);

  // --- Program-wide portfolio state ---------------------------------------

  bool bPortOpened() const { return bPortOpened_; }
  bool bPortNew() const { return bPortNew_; }
  bool bPortChanged() const { return bPortChanged_; }
  // The portfolio differs from its file.
  void markChanged() { bPortChanged_ = true; }
  // The portfolio is as its file holds it (after opening or saving).
  void markUnchanged() { bPortChanged_ = false; }
  // A file was read into the portfolio, or it was saved under a name: it
  // is an opened portfolio and no longer a new one.
  void markOpened() {
    bPortOpened_ = true;
    bPortNew_ = false;
  }
  // Opening a file failed: no opened portfolio is shown.
  void markNotOpened() { bPortOpened_ = false; }

  bool bPortInDollar() const { return bPortInDollar_; }
  bool bRapInDollar() const { return bRapInDollar_; }
  // The portfolio and report currencies, as the IdentRec stores them.
  void setCurrencies(bool portInDollar, bool rapInDollar) {
    bPortInDollar_ = portInDollar;
    bRapInDollar_ = rapInDollar;
  }
  // The euro/dollar rate the program keeps between portfolios. A rate that a
  // quote, the dollar dialog or the currency index gave stands for the
  // market; until one came, the start value is no rate of anything.
  double DollarKoers() const { return DollarKoers_; }
  void setDollarKoers(double rate) {
    DollarKoers_ = rate;
    dollarKoersGiven_ = true;
  }
  // An opened portfolio's rate (its last dataset's) becomes the program's
  // when no rate was given yet or the one kept is unusable, so that a report
  // never writes the start value into a dataset.
  void takeFileDollarKoers(double rate) {
    if (DollarKoers_ <= 0.001 || !dollarKoersGiven_) DollarKoers_ = rate;
  }

 private:
  // Index of the AlgemeenRec of the dataset that holds index, scanning
  // backwards from it; -1 when there is none.
  int dataSetStartAt(int index) const;
  // Moves the indices to the dataset whose AlgemeenRec is at algIndex;
  // false when its first fund would lie past the end of the list.
  bool moveTo(int algIndex, int& rekIndex, int& koersIndex) const;
  // Adds delta to NrOfSet of every dataset from index on.
  void renumberFrom(int index, int delta);
  // The records of the dataset at rekIndex, copied for a new dataset.
  RecordList copyOfDataSet(int rekIndex) const;

  RecordList records_;
  InitialRecords initial_;

  int firstRekIndex_ = kFirstRekIndex;
  int pRekRec_ = kFirstRekIndex;
  int selFonds_ = 0;
  bool bPortOpened_ = false;
  bool bPortNew_ = false;
  bool bPortChanged_ = false;
  bool bPortInDollar_ = false;
  bool bRapInDollar_ = false;
  Real48 DollarKoers_ = 0.95;
  bool dollarKoersGiven_ = false;
};

}  // namespace pelmar
