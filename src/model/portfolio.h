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
// and the last fund. The "current record" pointers of the original design
// are list indices here (pIdentRec, pAlgRec, pRekRec, pKoersRec); the
// dataset operations that change the list leave them at the dataset that
// becomes current.
//
// Dataset navigation works on a pair of indices (first account, first fund)
// that callers pass in: FirstRekIndex and FirstKoersIndex or local copies.
// A step that cannot be made returns false and leaves the indices as they
// were; stepping before the first or after the last dataset succeeds
// without moving.
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
  char idAt(int index) const;
  bool endOfSetAt(int index) const;

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
  IdentRec& ident() { return identAt(pIdentRec); }
  AlgemeenRec& alg() { return algAt(pAlgRec); }
  RekeningRec& rek() { return rekAt(pRekRec); }
  KoersRec& koers() { return koersAt(pKoersRec); }
  const IdentRec& ident() const { return identAt(pIdentRec); }
  const AlgemeenRec& alg() const { return algAt(pAlgRec); }
  const RekeningRec& rek() const { return rekAt(pRekRec); }
  const KoersRec& koers() const { return koersAt(pKoersRec); }

  // Adds one record at the end (the file reader builds the list this way)
  // or at an index. Refused, with nothing changed, when the list would
  // exceed kMaxRecords or a dataset kMaxFundsPerDataSet funds.
  Refusal appendRecord(const Record& record);
  Refusal insertRecord(int index, const Record& record);
  // Removes count records from index on.
  void removeRecords(int index, int count);
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

  bool FirstDataSet(int& rekIndex, int& koersIndex);
  bool PrevDataSet(int& rekIndex, int& koersIndex);
  // Sets LastSetKoersIndex when the dataset reached is the last.
  bool NextDataSet(int& rekIndex, int& koersIndex);
  // Sets LastSetKoersIndex.
  bool LastDataSet(int& rekIndex, int& koersIndex);

  // The whole-day date of the previous, next or last dataset seen from the
  // current one (FirstRekIndex); the indices stay unchanged. Nothing when
  // the step cannot be made.
  std::optional<DateTime> PrevDataSetDate();
  std::optional<DateTime> NextDataSetDate();
  std::optional<DateTime> LastDataSetDate();

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
  bool appendDataSet(int& rekIndex, int& koersIndex, DateTime datum, qint32 setDuur);
  // Inserts a copy of the dataset at the indices after it, dated datum
  // (the insert of AddDataSet); the indices then point at the new
  // dataset. False, with nothing changed, when the dataset is the last or
  // the list would be full.
  bool insertDataSet(int& rekIndex, int& koersIndex, DateTime datum);
  // Removes the dataset at the indices; the dataset that followed becomes
  // current. False, with nothing changed, for the last dataset (which has
  // no follower to become current).
  bool DeleteDataSet(int& rekIndex, int& koersIndex);

  // --- Program-wide portfolio state --------------------------------------

  int pIdentRec = 0;
  int pAlgRec = kFirstRekIndex - 1;
  int pRekRec = kFirstRekIndex;
  int pKoersRec = kFirstKoersIndex;
  int FirstRekIndex = kFirstRekIndex;
  int FirstKoersIndex = kFirstKoersIndex;
  int LastSetKoersIndex = kFirstKoersIndex;
  int SelFonds = 0;
  bool bAtLastSet = false;
  bool bPortOpened = false;
  bool bPortNew = false;
  bool bPortChanged = false;
  bool bPortInDollar = false;
  bool bRapInDollar = false;
  Real48 DollarKoers = 0.95;

 private:
  // Index of the AlgemeenRec of the dataset that holds index, scanning
  // backwards from it; -1 when there is none.
  int dataSetStartAt(int index) const;
  // Moves the indices to the dataset whose AlgemeenRec is at algIndex;
  // false when its first fund would lie past the end of the list.
  bool moveTo(int algIndex, int& rekIndex, int& koersIndex) const;
  // Points pAlgRec, pRekRec and pKoersRec at the dataset at rekIndex.
  void pointAt(int rekIndex);
  // Adds delta to NrOfSet of every dataset from index on.
  void renumberFrom(int index, int delta);
  // The records of the dataset at rekIndex, copied for a new dataset.
  RecordList copyOfDataSet(int rekIndex) const;

  RecordList records_;
  InitialRecords initial_;
};

}  // namespace pelmar
