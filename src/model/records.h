#pragma once

#include <QString>
#include <QtGlobal>
#include <variant>
#include <vector>

#include "model/dates.h"
#include "model/fixed_text.h"
#include "model/real48.h"

namespace pelmar {

// Bits of IdentRec::Flag1.
namespace IdentFlag {
inline constexpr quint8 JaarAfsl = 1;  // the year has been closed
}  // namespace IdentFlag

// Bits of KoersRec::Flag1.
namespace KoersFlag {
inline constexpr quint8 Splits = 1;
inline constexpr quint8 Cumulatief = 2;
inline constexpr quint8 BuySell = 4;
inline constexpr quint8 RefWaarde = 8;
inline constexpr quint8 FakeFund = 16;  // the only bit an appended dataset keeps
// The price of this dataset was set by the user (typed, or halved by a
// split) on the dataset's day or before it: only a daily file of that day
// or later replaces it.
inline constexpr quint8 PriceSet = 32;
// The same, set on a day after the dataset's (in an older dataset): every
// daily file the dataset can find is older than the price, so none replaces
// it. Files that never set these bits read as before.
inline constexpr quint8 PriceKept = 64;
}  // namespace KoersFlag

// The records of RecordList, fields in file order. The kind letter `Id` is
// fixed by the type, so a record can never claim to be of another kind.

// Identification of the portfolio file.
struct IdentRec {
  static constexpr char Id = 'i';
  bool EndOfSetB = false;
  FixedText<8> Name;
  FixedText<14> VersionI;
  FixedText<22> CopyrightI;
  FixedText<38> Author;
  quint8 Flag1 = 0;
  bool PortInDollarB = false;
  bool RapInDollarB = false;
};

// The general figures of one dataset.
struct AlgemeenRec {
  static constexpr char Id = 'a';
  bool EndOfSetB = false;
  DateTime CumDatum = 0;
  DateTime Datum = 0;
  quint16 NrOfSet = 0;
  qint32 SetDuur = 0;
  qint32 PDuur = 0;
  Real48 Totaal;
  Real48 Winst;
  Real48 Rendement;
  Real48 ROTAIWinst;
  Real48 ROTAISomCumInleg;
  Real48 ROTAISomGewInleg;
  Real48 ROTAIRendement;
  Real48 Dollar;
};

// One of the five accounts of a dataset.
struct RekeningRec {
  static constexpr char Id = 'r';
  bool EndOfSetB = false;
  FixedText<10> RekNaam;
  FixedText<10> RekNummer;
  FixedText<3> Valuta;
  Real48 CredRente;
  Real48 DebRente;
  Real48 Saldo;
  Real48 Waarde;
  Real48 Rente;
  Real48 RenteCorrectie;
  Real48 Kosten;
  Real48 BTW;
  Real48 CumCRente;
  Real48 CumDRente;
  Real48 CumKosten;
  Real48 CumBTW;
  quint8 CredPerc = 0;
  bool DivirOzevB = false;
  bool RividuDoriB = false;
};

// One fund in one dataset.
struct KoersRec {
  static constexpr char Id = 'k';
  bool EndOfSetB = false;
  DateTime CumDatum = 0;
  qint32 FDuur = 0;
  FixedText<12> Ticker;
  FixedText<4> Ticker2;
  FixedText<2> Country;
  FixedText<3> Valuta;
  Real48 Koers;
  Real48 Aantal;
  Real48 Delta;
  quint8 Flag1 = 0;
  Real48 RatRente;
  Real48 RatCumRente;
  Real48 RatKosten;
  Real48 RatBTW;
  Real48 FRend;
  Real48 ROTAIFRend;
  quint8 RekNr = 0;
  Real48 RefWrde;
  Real48 Reserve;
  Real48 Inleg;
  Real48 GewInleg;
  Real48 ROTAIGewInleg;
  Real48 Kosten;
  Real48 KostenProc;
  Real48 Dividend;
  Real48 DivBel;
  Real48 BTW;
  Real48 UpDr;
  Real48 v;
  Real48 DownDr;
  Real48 f;
  Real48 CumInleg;
  Real48 ROTAICumInleg;
  Real48 CumKosten;
  Real48 CumDividend;
  Real48 CumDivBel;
  Real48 CumBTW;
  Real48 AdviesR;
  // With Splits: the ratio of the split to the dataset before (1 where a
  // split of an earlier dataset was carried in), so that the shares of a
  // trade in the same dataset are told from those of the split; 0 when
  // unknown (a file written before the ratio was kept): the dataset then
  // counts no trade, as before.
  Real48 SplitRatio;

  // True for the placeholder row that ends every dataset, in a file written
  // in either language.
  bool isPlaceholder() const;
};

// One element of RecordList. Copies are whole-record value copies.
using Record = std::variant<IdentRec, AlgemeenRec, RekeningRec, KoersRec>;
using RecordList = std::vector<Record>;

// The kind letter of a record: 'i', 'a', 'r' or 'k'. Inline: the dataset
// walks ask it for every record they pass.
inline char recordId(const Record& record) {
  static constexpr char kIds[] = {IdentRec::Id, AlgemeenRec::Id, RekeningRec::Id, KoersRec::Id};
  static_assert(std::variant_size_v<Record> == sizeof kIds);
  return kIds[record.index()];
}
inline bool recordEndOfSet(const Record& record) {
  return std::visit([](const auto& r) { return r.EndOfSetB; }, record);
}

// The language-dependent values of the initial-value records; the session
// fills them from the language table whenever the language is set.
struct RecordTexts {
  QString accountName;        // RekNaam of a new account
  QString accountNumber;      // RekNummer of a new account
  QString country;            // Country of a new fund
  QString placeholderTicker;  // Ticker of the placeholder row
};

// The records a new portfolio, a new account and a new fund start from.
struct InitialRecords {
  AlgemeenRec DefaultAlgemeenRec;
  RekeningRec DefaultRekeningRec;
  KoersRec DefaultKoersRec;
  QString placeholderTicker;

  static InitialRecords forTexts(const RecordTexts& texts);
};

}  // namespace pelmar
