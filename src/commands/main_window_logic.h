#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>

#include "commands/session.h"
#include "engine/advice.h"

namespace pelmar {

// What the main window decides; the widgets only draw it.

// Colours as 0xRRGGBB (the window's own colour is WindowColour).
namespace MainColour {
inline constexpr unsigned SelectedFund = 0x800080;
inline constexpr unsigned MarkLevel = 0x0000FF;
inline constexpr unsigned MarkUp = 0x008000;
inline constexpr unsigned MarkDown = 0xFF0000;
}  // namespace MainColour

// --- Fund list -------------------------------------------------------------

// The fund list's order: without regard to case, letters folded to lower
// case, so "[New]" stands before tickers that begin with a letter.
bool FundListLess(const QString& a, const QString& b);
// The tickers of the current dataset (trailing blanks cut) in list order.
QStringList FillFondsenBox(const Portfolio& portfolio);
// The offset in the current dataset of the fund a list line names; -1 when
// no fund has that ticker.
int FundOffsetOf(const Portfolio& portfolio, const QString& listText);

// --- ShowDataSet -------------------------------------------------------------

// The dataset's dollar rate as the window keeps it: a rate above 1 becomes
// its reciprocal rounded to 4 decimals, one below 0.01 then becomes 0.93.
double NormalisedDollar(double dollar);

struct CurrencyTexts {
  QString portfolio;  // Label1
  QString report;     // Label3
  QString euro;       // Label2: one euro in dollars
  QString dollar;     // Label4: one dollar in euros
  QString realTime;   // RealTimeLabel
};
CurrencyTexts CurrencyBoxTexts(const Session& session, double dollar);

// Everything the window shows of a dataset and its current fund.
// The caption while a portfolio is shown: "Pelmar version 1.32a [path]".
QString PortfolioCaption(const Session& session, const QString& portfolioPath);

struct DataSetView {
  bool atLastSet = false;
  QString caption;
  QString datum;
  QString nodePanel;
  CurrencyTexts currency;
  QString ticker;  // the fund's ticker without blanks
  QString splitLabel;
  QString fundCumDatum;
  QString cumDatum;
  QString servicePanel;
  AdviceBox advice;
};

// The core of ShowDataSet: recalculates the current dataset, makes the
// fund record at `index` current (an index outside the dataset's funds
// takes its first fund), normalises the dataset's dollar rate, takes the
// fund's price from the daily price files and computes its advice.
DataSetView ShowDataSet(Session& session, int index, const QString& portfolioPath);

// --- EnableControls ------------------------------------------------------------

struct ControlStates {
  bool save = false;  // SaveFile, SpeedSave
  bool any = false;   // every command that needs an open or new portfolio
  QString refWaarde;  // hint of SpeedRefWaarde, caption of NieuweRefWaarde
};
ControlStates EnableControls(const Session& session, bool isNew, bool opened, bool changed);

// --- Portfolio properties ----------------------------------------------------

// A byte count in short form: "999 ", "12,345 k", "1,234 M" with the
// given decimal separator.
QString ShortByteCount(qint64 bytes, QChar decimalSeparator);
// The lines of the properties message under its heading.
QString PropertiesText(const Session& session, const QString& fileName, qint64 fileSize);

// --- Latest prices ---------------------------------------------------------------

// The latest download days (date serials) of the Dutch and the US stock
// list, as "Last Prices.txt" of the price folder holds them; 0 when unknown.
struct LatestPriceDays {
  qint64 dutch = 0;
  qint64 us = 0;
};
LatestPriceDays ReadLastPrices(const QString& priceFolder);

struct LatestPricesLines {
  QString status;         // the status line
  QString downloadLabel;  // the download window's label
};
LatestPricesLines ShowLatestPrices(const Session& session, const LatestPriceDays& days,
                                   const QString& lastReadFile);

// --- Start-up --------------------------------------------------------------------

// The stored window position moved onto the available screen area.
QPoint ClampWindowPosition(QPoint stored, QSize frame, const QRect& screen);

// Copies the example price files of the patterns from the program's
// "Prices" folder into the price folder. A missing example folder copies
// nothing; existing files are never overwritten. Returns the number of
// files copied.
int CopyExamplePrices(const QString& programFolder, const QString& priceFolder,
                      const QStringList& patterns);
bool FolderHolds(const QString& folder, const QString& pattern);

// The anchor of the help page section that answers a help context.
QString HelpAnchor(int helpContext);

// --- Real-time box -----------------------------------------------------------------

// The recent history of the automatic dollar or AEX quote: a ring of 18
// values shared by both quotes, and the marks drawn from it.
class QuoteHistory {
 public:
  static constexpr int kSize = 18;
  enum class Mark { Level, Up, Down };

  // Steps 1 to 3 of a dollar tick for the selected fund's ticker; returns
  // the rate as shown (inverted for the euro/dollar tickers). Only a tick of
  // the dollar timer itself adds the rate to the ring.
  double dollarQuote(const QString& ticker, double rate, bool fromDollarTimer);
  // An AEX tick always adds the value.
  void aexQuote(double value);

  // The 17 changes from oldest to newest.
  std::array<Mark, kSize - 1> marks() const;
  const std::array<double, kSize>& values() const { return ring_; }
  int position() const { return position_; }

 private:
  void fillOnReset(double value);
  void add(double value);

  std::array<double, kSize> ring_{};
  int position_ = 0;
  bool reset_ = true;
  // 1: the values are dollars in euros (the fetched rate), 0: euros in
  // dollars. The fetched rate is the dollar in euros, so 1 is the start.
  int ringDirection_ = 1;
  int shownDirection_ = 1;
};

// TijdLabel of a dollar tick: the time stamp, or "No Date" when it has
// fewer than 14 characters.
QString DollarTimeText(const Language& language, const QString& timeStamp);
// TijdLabel of an AEX tick and whether it is drawn red (a falling index).
struct AexTimeText {
  QString text;
  bool falling = false;
};
AexTimeText AexQuoteText(const Language& language, double value, const QString& change,
                         const QString& percent, const QString& time);

}  // namespace pelmar
