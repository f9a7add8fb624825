#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "commands/prompter.h"
#include "lang/outcome.h"

namespace pelmar {

// Which example data to make. The daily price files cover as many trading
// days as the fixed data, ending on `lastDay`; the portfolios hold a
// dataset every four weeks ending on `lastDay`. When `openingYear` lies
// after the year of the last dataset before it, that year is started as the
// year closing leaves a new year's file: the portfolios begin with the
// opening dataset of 1 January of `openingYear`.
struct ExampleDataPlan {
  QDate lastDay;
  int openingYear = 0;
};

// The example data kept in the repository's data/ folder, which the tests
// and the installed package use: up to Friday 2 January 2026, every year
// kept.
ExampleDataPlan FixedExampleData();

// The example data of a first start on `today`: prices and datasets up to
// the last working day before today, and only today's year in the
// portfolios, so that opening them asks no year-closing question.
ExampleDataPlan FirstStartExampleData(QDate today);

// Makes the example data from fixed seeds, the same bytes for the same plan:
// "Test-1.xml" (in euros, Dutch funds) and "Test-2.xml" (in dollars, US
// funds) in `portFolder`; one daily price file per trading day, the stock
// lists "Stocks_nl.txt" and "Stocks_us.txt" and "Last Prices.txt" in
// `priceFolder`. Both folders are made when missing; files there are
// replaced. `summary`, when given, gets a line per portfolio and one for
// the price files. Fails with the folder or file that could not be written.
Outcome WriteExampleData(Prompter& prompter, const ExampleDataPlan& plan, const QString& portFolder,
                         const QString& priceFolder, QStringList* summary = nullptr);

}  // namespace pelmar
