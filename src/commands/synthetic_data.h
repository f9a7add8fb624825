#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

#include "commands/session.h"

namespace pelmar::synthetic {

// A small random generator (SplitMix64) whose sequence is the same on every
// platform and compiler, unlike the standard library's distributions, so
// that generated data is byte-for-byte repeatable from its seed.
class Random {
 public:
  explicit Random(quint64 seed) : state_(seed) {}
  quint64 next();
  // Uniform in [0, 1).
  double uniform();
  // Standard normal (Box-Muller on two uniforms).
  double normal();
  // Uniform integer in [low, high].
  int between(int low, int high);

 private:
  quint64 state_;
};

// A downloadable stock as the price files and stock lists name it.
struct Stock {
  QString name;    // without the " (US)" suffix
  QString ticker;  // as the price service knows it
  bool us = false;
  double startPrice = 10.0;
  double yearlyDrift = 0.05;       // expected growth per year
  double yearlyVolatility = 0.25;  // standard deviation per year
};

// The working days (no weekends, no holidays) from first to last inclusive.
std::vector<QDate> tradingDays(QDate first, QDate last);

// A closing-price series of the stock for `count` trading days: a random
// walk with the stock's drift and volatility, rounded to cents and never
// below one cent.
std::vector<double> priceSeries(const Stock& stock, int count, Random& random);

// Closing prices: prices[s][d] is stock s on day d.
using PriceTable = std::vector<std::vector<double>>;

// The price text of a daily file: point as decimal separator, two decimals.
QString priceText(double price);

// Writes one daily price file per day into the folder (which must exist):
// yymmdd + "A.csv", one line "Name,Ticker,yy/mm/dd,price" per stock, sorted
// without regard to case, CR LF line ends. False when a file could not be
// written.
bool writeDayFiles(const QString& folder, const std::vector<Stock>& stocks,
                   const std::vector<QDate>& days, const PriceTable& prices);

// Writes a text file of the lines, ISO-8859-1 with CR LF line ends, over
// any file of that name; no sync, see the definition.
bool writeLines(const QString& path, const QStringList& lines);

// Builds a portfolio in a session dataset by dataset, the way a user keeps
// one: funds bought in the first dataset, then a copy of the last dataset
// for every new date with its prices from the session's price store, the
// entries of that date, and a recalculation.
class PortfolioBuilder {
 public:
  // Starts a new portfolio in euros or dollars dated `start`; the session's
  // price folder must hold the prices.
  PortfolioBuilder(Session& session, bool inDollar, QDate start);

  // Adds a fund before the placeholder row of the first dataset, with its
  // price of the start date, and returns it for its entries.
  KoersRec& addFund(const Stock& stock, int account);
  // Appends a dataset dated `day`, priced from the daily files.
  void appendDataSet(QDate day);
  // Closes the year as the year closing leaves the new year's file: after
  // the last dataset come the closing dataset (31 December) and the opening
  // dataset (1 January of `year`), which becomes the first; the datasets
  // before it go and `JaarAfsl` is set. False, with nothing changed, when
  // the portfolio has no room for the two datasets.
  bool startYear(int year);
  // Recalculates the last dataset.
  void calculate();

  // The records of the last dataset; funds by offset, accounts 1 to 5.
  AlgemeenRec& general();
  KoersRec& fund(int offset);
  RekeningRec& account(int number);
  // The funds of the last dataset without the placeholder row.
  int fundCount() const;

 private:
  Session& session_;
  Portfolio& portfolio_;
};

}  // namespace pelmar::synthetic
