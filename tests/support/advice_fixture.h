#pragma once

#include "engine/advice.h"
#include "support/portfolio_fixture.h"

namespace pelmar::test {

// A fund with reference value 1000 (10 shares bought at 100, thresholds
// 10 %) in a later dataset where its shares did not change.
class AdviceFixture : public PortfolioFixture {
 protected:
  static inline const QDate kStart{2023, 1, 2};

  explicit AdviceFixture(Language::Code code = Language::Code::English) : PortfolioFixture(code) {}

  void SetUp() override {
    start(kStart);
    addFund("ALPHA", 1000, 10, 100);
    calc();
    append(kStart.addDays(30));
  }

  Advice& advice() { return session.engine().advice(); }
  // The advice of the current dataset's fund at `offset`, computed afresh.
  AdviceFigures adviceOf(int offset) {
    return advice().FundAdvice(portfolio().FirstRekIndex(), offset);
  }
};

}  // namespace pelmar::test
