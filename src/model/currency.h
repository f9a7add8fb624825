#pragma once

#include "model/portfolio.h"

namespace pelmar {

// Factors that express a fund or account amount in the portfolio or report
// currency: multiply the amount by the factor. The euro/dollar rate may be
// stored either way round (1.10 dollar per euro or 0.91 euro per dollar);
// a rate above 1 is turned into 1 / rate first, so both give one factor.
//
// A rate that is missing, zero, negative or no number, or that is below
// 0.0001 once turned round, is unusable: the factor is then 1 (the amount
// is taken as it stands), so no factor is ever infinite or NaN and none
// exceeds 10000.

// The fund's currency to the portfolio currency, at `Dollar` of the general
// record of the fund's dataset. A result below 0.0001 becomes 1.
double FundCurrencyFactor(const Portfolio& portfolio, const AlgemeenRec& dataSet,
                          const KoersRec& fund);

// The current fund's (pKoersRec) currency to the report currency, at
// `Dollar` of the current general record (pAlgRec).
double RapValutaFactor(const Portfolio& portfolio);

// The current account's (pRekRec) currency to the report currency, at
// today's price of the currency index, which the caller looks up in the
// daily price files (0 or negative when none was found).
double RekRapValutaFactor(const Portfolio& portfolio, double currencyIndexPrice);

// The same two for any fund of any dataset and for any account, so that a
// report can walk the datasets without moving the cursor.
double RapValutaFactor(const Portfolio& portfolio, const AlgemeenRec& dataSet,
                       const KoersRec& fund);
double RekRapValutaFactor(const Portfolio& portfolio, const RekeningRec& account,
                          double currencyIndexPrice);
// An amount in `valuta` ("US$" or another) to the report currency at the
// euro/dollar rate given (either way round, an unusable one counting as 1).
double ReportCurrencyFactor(const QString& valuta, bool reportInDollar, double rate);

}  // namespace pelmar
