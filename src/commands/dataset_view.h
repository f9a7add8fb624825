#pragma once

#include <QString>

#include "commands/advice_box.h"
#include "commands/navigation.h"
#include "commands/session.h"

namespace pelmar {

// What the main window shows of a dataset; the widgets only draw it.

// Colours as 0xRRGGBB (the window's own colour is WindowColour).
namespace MainColour {
inline constexpr unsigned SelectedFund = 0x800080;
inline constexpr unsigned MarkLevel = 0x0000FF;
inline constexpr unsigned MarkUp = 0x008000;
inline constexpr unsigned MarkDown = 0xFF0000;
}  // namespace MainColour

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
  bool showRealTime = false;      // the real-time box: last dataset, a quote on
  bool showServicePanel = false;  // the "ServicePanel" setting
  AdviceBox advice;
};

// The core of ShowDataSet: recalculates the current dataset, selects the
// fund record at `index` (an index outside the dataset's funds takes its
// first fund), normalises the dataset's dollar rate, takes the fund's price
// from the daily price files and computes its advice. The portfolio
// changes; DataSetViewOf then builds what the window shows.
void ShowDataSet(Session& session, int index);
// What the window shows of the current dataset and its selected fund.
DataSetView DataSetViewOf(const Session& session, const QString& portfolioPath);

// A date in the short form of the date-format setting.
QString ShortDate(const Session& session, DateTime serial);

// The note on the price of the fund at koersIndex of the current dataset
// when it is of an older day (StalePrice): the day of the price file, more
// than five working days before the dataset, or of the earlier dataset the
// price comes from. Empty for a fresh price.
QString StalePriceNote(Session& session, int koersIndex);

struct ControlStates {
  bool save = false;  // SaveFile, SpeedSave
  bool any = false;   // every command that needs an open or new portfolio
  QString refWaarde;  // hint of SpeedRefWaarde, caption of NieuweRefWaarde
  NavButtons nav;     // all off without a portfolio
};
ControlStates EnableControls(const Session& session, bool isNew, bool opened, bool changed);

}  // namespace pelmar
