#include <gtest/gtest.h>

#include <QFile>
#include <QTimeZone>

#include "commands/euro_dollar.h"
#include "commands/source_test.h"
#include "commands/stock_sources.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

class ReferenceRatesTaken : public test::PortfolioFixture {
 protected:
  ReferenceRatesTaken() {
    session.clock().fix(QDate(2024, 1, 8));
    start(QDate(2024, 1, 3));
    alg().Dollar = 0.95;
    calc();
    next(QDate(2024, 1, 8));
    alg().Dollar = 0.95;
    portfolio().setDollarKoers(0.95);
    goToDataSet(1);
  }

  static ReferenceRates rates() {
    QFile file(QStringLiteral(PELMAR_SOURCE_DIR "/tests/data/sources/ecb_90d.xml"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return ParseReferenceRates(file.readAll());
  }
  bool dayFile(const char* name) { return QFile::exists(path(QStringLiteral("Prices/")) + name); }
};

TEST_F(ReferenceRatesTaken, EachDayOfTheRangeIsOnDiskAndTheLastDataSetTakesTheNewest) {
  const pelmar::ReferenceRatesTaken taken = TakeReferenceRates(session, rates(), QDate(2024, 1, 4));
  EXPECT_FALSE(taken.failure);
  EXPECT_EQ(taken.days, 3);
  EXPECT_EQ(taken.newest, QDate(2024, 1, 8));
  EXPECT_TRUE(taken.changed);
  for (const char* day : {"240104A.csv", "240105A.csv", "240108A.csv"}) EXPECT_TRUE(dayFile(day));
  for (const char* day : {"240103A.csv", "240106A.csv", "240107A.csv"}) EXPECT_FALSE(dayFile(day));
  EXPECT_DOUBLE_EQ(session.prices().GetFilePrice("EURUSD=X", QDate(2024, 1, 5)), 1.0921);
  EXPECT_DOUBLE_EQ(portfolio().DollarKoers(), Real48(1 / 1.0946));
  // The last dataset takes the newest rate; the older one keeps its own.
  EXPECT_DOUBLE_EQ(alg().Dollar, Real48(0.95));
  goToDataSet(2);
  EXPECT_DOUBLE_EQ(alg().Dollar, Real48(1 / 1.0946));

  // The same rates again change no rate.
  EXPECT_FALSE(TakeReferenceRates(session, rates(), QDate(2024, 1, 8)).changed);
}

// Answers with a saved reply, or with none when there is no file.
class SavedReply : public HttpGet {
 public:
  explicit SavedReply(const char* name) : name_(name) {}
  HttpReply get(const QString& url) override {
    urls << url;
    QFile file(QStringLiteral(PELMAR_SOURCE_DIR "/tests/data/sources/") + name_);
    if (!file.open(QIODevice::ReadOnly)) return {HttpReply::Status::Failed, 0, {}, "refused"};
    return {HttpReply::Status::Ok, 200, file.readAll(), {}};
  }

  QStringList urls;

 private:
  QString name_;
};

TEST_F(ReferenceRatesTaken, TheSourceTestSaysWhatCame) {
  session.clock().fix(QDateTime(QDate(2024, 1, 8), QTime(13, 0), QTimeZone::utc()));
  Settings settings = session.settings();
  settings.chartSourceUrl = "https://chart.test/";
  SavedReply good("chart_good.json");
  EXPECT_EQ(TestPriceSource(session, good, settings, "chart", " ASML.AS "),
            "ASML.AS: 3 closes, the latest 627.7 EUR of 2024-01-05");
  SavedReply none("nothing");
  EXPECT_EQ(TestPriceSource(session, none, settings, "chart", "ASML.AS"),
            "chart.test does not answer: refused");
  EXPECT_EQ(TestPriceSource(session, good, settings, "none", "ASML.AS"), "None (download nothing)");
}

TEST_F(ReferenceRatesTaken, EachStockIsFetchedFromItsOwnSourceOrItsLists) {
  session.clock().fix(QDateTime(QDate(2024, 1, 8), QTime(13, 0), QTimeZone::utc()));
  session.settings().chartSourceUrl = "https://chart.test/";
  test::writeFile(session.settings().pricePath + "Sources_nl.txt", "ASML,chart,ASML.AS\r\n");
  const PassSources sources = SourcesOf(session, Market::Dutch);
  EXPECT_EQ(sources.listSource, "none");
  EXPECT_TRUE(sources.anySource({"KPN", "asml"}));
  EXPECT_FALSE(sources.anySource({"KPN"}));

  SavedReply http("chart_good.json");
  const SourceCloses asml = FetchStockCloses(session.settings(), session.clock().now(), http,
                                             sources, "asml", QDate(2024, 1, 3));
  EXPECT_EQ(asml.newest(), QDate(2024, 1, 5));
  EXPECT_TRUE(http.urls.value(0).startsWith("https://chart.test/v8/finance/chart/ASML.AS?"));
  const SourceCloses kpn = FetchStockCloses(session.settings(), session.clock().now(), http,
                                            sources, "KPN", QDate(2024, 1, 3));
  EXPECT_EQ(kpn.status, FetchStatus::NotFound);
  EXPECT_FALSE(kpn.reason);
  EXPECT_EQ(http.urls.size(), 1);
}

}  // namespace
}  // namespace pelmar
