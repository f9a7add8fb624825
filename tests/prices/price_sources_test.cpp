#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include "prices/chart_source.h"
#include "prices/csv_source.h"
#include "prices/price_replies.h"
#include "prices/price_store.h"
#include "prices/reference_rates.h"
#include "prices/service_sources.h"
#include "prices/settings.h"
#include "prices/source_map.h"
#include "support/one_reply.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

QByteArray saved(const QString& name) {
  QFile file(QStringLiteral(PELMAR_SOURCE_DIR "/tests/data/sources/") + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll()
                                        : QByteArray("<missing " + name.toLatin1() + ">");
}

// Monday 8 January 2024 at noon UTC: Amsterdam trades until 17:30.
const QDateTime kNow(QDate(2024, 1, 8), QTime(12, 0), QTimeZone::utc());

std::vector<DailyClose> closesOf(std::initializer_list<std::pair<QDate, const char*>> days) {
  std::vector<DailyClose> closes;
  for (const auto& [day, price] : days) closes.push_back({day, QString::fromLatin1(price)});
  return closes;
}

using test::OneReply;
using test::page;

struct ChartCase {
  const char* name;
  QByteArray body;
  QDate from;
  FetchStatus status;
  std::vector<DailyClose> closes;
  TextId reason = TextId::Count;  // the reason's text, or its cause's for a reply not read
};

// A reply read from the 3rd that gives no closes, for the reason.
ChartCase refused(const char* name, QByteArray body, FetchStatus status, TextId reason) {
  return {name, std::move(body), QDate(2024, 1, 3), status, {}, reason};
}

class ChartReplies : public ::testing::TestWithParam<ChartCase> {};

TEST_P(ChartReplies, ReadAsTheExchangeTradedThem) {
  const ChartCase& c = GetParam();
  const SourceCloses got = ParseChartReply(c.body, "chart.test", "ASML.AS", c.from, kNow);
  EXPECT_EQ(got.status, c.status);
  EXPECT_EQ(got.closes, c.closes);
  if (c.reason != TextId::Count) {
    ASSERT_TRUE(got.reason);
    EXPECT_EQ(got.reason->hasCause() ? got.reason->cause : got.reason->id, c.reason)
        << got.reason->text(Language(Language::Code::English)).toStdString();
  }
}

const QDate kJan2(2024, 1, 2), kJan3(2024, 1, 3), kJan4(2024, 1, 4), kJan5(2024, 1, 5);

INSTANTIATE_TEST_SUITE_P(
    Saved, ChartReplies,
    ::testing::Values(
        // From the 3rd: no close on the 4th (null), the later bar of the 5th,
        // nothing yet of Monday the 8th (trading until 16:30 UTC).
        ChartCase{"good", saved("chart_good.json"), kJan3, FetchStatus::Ok,
                  closesOf({{kJan3, "604.2"}, {kJan5, "627.7"}})},
        ChartCase{"good_from_the_2nd", saved("chart_good.json"), kJan2, FetchStatus::Ok,
                  closesOf({{kJan2, "611.5"}, {kJan3, "604.2"}, {kJan5, "627.7"}})},
        // 23:00 UTC is ten in the morning of the next day in Sydney.
        ChartCase{"other_time_zone", saved("chart_other_zone.json"), kJan2, FetchStatus::Ok,
                  closesOf({{kJan2, "45.61"}, {kJan3, "46.02"}})},
        ChartCase{"zone_by_offset",
                  saved("chart_other_zone.json").replace("Australia/Sydney", "Nowhere/Nothing"),
                  kJan2, FetchStatus::Ok, closesOf({{kJan2, "45.61"}, {kJan3, "46.02"}})},
        refused("empty", saved("chart_empty.json"), FetchStatus::Nothing, TextId::SourceNoPrices),
        refused("unknown_symbol", saved("chart_unknown.json"), FetchStatus::NotFound,
                TextId::SourceUnknownSymbol),
        refused("junk", saved("chart_junk.html"), FetchStatus::Failed, TextId::ReplyNoJson),
        refused("no_result", R"({"chart":{"result":[],"error":null}})", FetchStatus::Failed,
                TextId::ReplyNoChart),
        refused("negative_close", saved("chart_good.json").replace("621.0", "-621.0"),
                FetchStatus::Failed, TextId::ReplyBadClose),
        refused("text_close", saved("chart_good.json").replace("621.0", "\"621\""),
                FetchStatus::Failed, TextId::ReplyBadClose),
        refused("huge_close", saved("chart_good.json").replace("621.0", "1e308"),
                FetchStatus::Failed, TextId::ReplyBadClose),
        refused("text_time", saved("chart_good.json").replace("1704182400", "\"x\""),
                FetchStatus::Failed, TextId::ReplyBadTime),
        refused("lengths", saved("chart_good.json").replace("\"close\": [611.5, ", "\"close\": ["),
                FetchStatus::Failed, TextId::ReplyLengths)),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChartSource, AsksFromTheStartDayAndReadsUnknownSymbolsFromTheErrorPage) {
  OneReply http(page(saved("chart_unknown.json"), 404));
  const ChartSource source("http://127.0.0.1:1/");
  const SourceCloses got = source.closes(http, "NOPE.AS", kJan3, kNow);
  EXPECT_EQ(got.status, FetchStatus::NotFound);
  EXPECT_EQ(http.urls,
            QStringList{"http://127.0.0.1:1/v8/finance/chart/NOPE.AS?period1=1704240000&period2="
                        "1704715200&interval=1d"});
  ASSERT_TRUE(got.reason);
  EXPECT_EQ(got.reason->text(Language(Language::Code::English)),
            "127.0.0.1 does not know the symbol NOPE.AS: No data found, symbol may be delisted");

  OneReply good(page(saved("chart_good.json")));
  const std::optional<SourceQuote> quote = source.latest(good, "ASML.AS", kNow);
  ASSERT_TRUE(quote);
  EXPECT_DOUBLE_EQ(quote->price, 640.1);
  EXPECT_EQ(quote->currency, "EUR");
  EXPECT_EQ(source.closes(good, "ASML.AS", kJan3, kNow).currency, "EUR");
}

TEST(PriceSources, ReplyThatIsNoPageFailsByItsKind) {
  const ChartSource chart("https://chart.test/");
  const CsvUrlSource csv("https://csv.test/{symbol}.csv");
  struct Case {
    HttpReply reply;
    FetchStatus status;
    TextId reason;
  };
  const Case cases[] = {
      {{HttpReply::Status::Failed, 0, {}, "Host not found"},
       FetchStatus::NoConnection,
       TextId::SourceNoAnswer},
      {{HttpReply::Status::TooLarge, 200, {}, {}}, FetchStatus::TooSmall, TextId::SourceTooLarge},
      {{HttpReply::Status::NoAnswer, 0, {}, "silent"}, FetchStatus::Failed, TextId::SourceNoAnswer},
      {page("<html>Not here</html>", 404), FetchStatus::NotFound, TextId::SourceUnknownSymbol},
      {page("busy", 503), FetchStatus::Failed, TextId::SourceHttpStatus},
      {page(" \r\n"), FetchStatus::TooSmall, TextId::SourceNoPrices},
  };
  for (const Case& c : cases) {
    for (const PriceSource* source :
         {static_cast<const PriceSource*>(&chart), static_cast<const PriceSource*>(&csv)}) {
      OneReply http(c.reply);
      const SourceCloses got = source->closes(http, "X", kJan3, kNow);
      EXPECT_EQ(got.status, c.status) << source->id().toStdString() << " " << c.reply.httpStatus;
      ASSERT_TRUE(got.reason);
      EXPECT_EQ(got.reason->id, c.reason);
    }
  }
}

TEST(CsvUrlSource, FillsTheTemplateAndReadsTheReplyAsTheImportDoes) {
  EXPECT_EQ(
      ExpandUrlTemplate("https://q.test/d/l/?s={symbol}&i=d&d1={from:yyyyMMdd}&d2={to:yyyyMMdd}",
                        "asml.us", kJan3, QDate(2024, 1, 8)),
      "https://q.test/d/l/?s=asml.us&i=d&d1=20240103&d2=20240108");
  EXPECT_EQ(
      ExpandUrlTemplate("https://q.test/{symbol}/{from}..{to}?x={unknown}", "A&B", kJan3, kJan5),
      "https://q.test/A%26B/2024-01-03..2024-01-05?x={unknown}");

  const CsvUrlSource source("https://q.test/?s={symbol}");
  OneReply good(page(saved("csv_daily.csv")));
  const SourceCloses got = source.closes(good, "asml.us", kJan3, QDateTime(kJan4, QTime(22, 0)));
  EXPECT_EQ(got.status, FetchStatus::Ok);
  EXPECT_EQ(got.closes, closesOf({{kJan3, "604.2"}, {kJan4, "619.8"}}));
  EXPECT_EQ(got.downloadLines(), QStringList({"240103,604.2", "240104,619.8"}));

  OneReply noData(page(saved("csv_no_data.csv")));
  EXPECT_EQ(source.closes(noData, "nope", kJan3, kNow).status, FetchStatus::NotFound);
  OneReply heading(page("Date,Open,High,Low,Close,Volume\r\n"));
  EXPECT_EQ(source.closes(heading, "x", kJan3, kNow).status, FetchStatus::Nothing);
  OneReply damaged(page("Date,Close\r\n2024-01-03,604.2\r\n2024-01-04,abc\r\n"));
  const SourceCloses refused = source.closes(damaged, "x", kJan3, kNow);
  EXPECT_EQ(refused.status, FetchStatus::Failed);
  ASSERT_TRUE(refused.reason);
  EXPECT_EQ(refused.reason->text(Language(Language::Code::English)),
            "The reply of q.test for x cannot be read: line 3: \"abc\" is no price");
}

TEST(ServiceSources, KeepTheServicesResultsAsTypedCloses) {
  const QString url = "https://nl.test/x";
  const SourceCloses ok =
      ServiceCloses({FetchStatus::Ok, kJan5}, {"240103,1.5", "240105,2", "xx0104,3"}, url, "abc");
  EXPECT_EQ(ok.status, FetchStatus::Ok);
  EXPECT_EQ(ok.closes, closesOf({{kJan3, "1.5"}, {kJan5, "2"}}));
  EXPECT_EQ(ServiceCloses({FetchStatus::TooSmall, {}}, {}, url, "abc").status,
            FetchStatus::TooSmall);
  EXPECT_EQ(ServiceCloses({FetchStatus::NotFound, {}}, {}, url, "abc").status,
            FetchStatus::NotFound);
  EXPECT_EQ(ServiceCloses({FetchStatus::Nothing, {}}, {}, url, "abc").status, FetchStatus::Nothing);
  EXPECT_EQ(ServiceCloses({FetchStatus::Ok, kJan5}, {"xx0313,1"}, url, "abc").status,
            FetchStatus::NotFound);

  OneReply dutch(page("240103: 1,50\n240104: 1,60X\n"));
  const DutchServiceSource source("https://nl.test/");
  EXPECT_EQ(source.closes(dutch, "ABC", kJan3, kNow).closes,
            closesOf({{kJan3, "1.50"}, {kJan4, "1.60"}}));
  EXPECT_EQ(dutch.urls, QStringList{"https://nl.test/Beurs/Slotkoersen/.a/abc"});
}

TEST(ReferenceRates, SavedFilesGiveTheDollarOfEachDay) {
  const ReferenceRates daily = ParseReferenceRates(saved("ecb_daily.xml"));
  ASSERT_TRUE(daily.ok());
  EXPECT_EQ(daily.usdPerEuro, (std::map<QDate, double>{{QDate(2024, 1, 8), 1.0946}}));
  const ReferenceRates days = ParseReferenceRates(saved("ecb_90d.xml"));
  ASSERT_TRUE(days.ok());
  EXPECT_EQ(days.usdPerEuro.size(), 6u);
  EXPECT_DOUBLE_EQ(days.usdPerEuro.at(kJan4), 1.0953);

  const struct {
    QByteArray xml;
    QString reason;
  } refused[] = {
      {saved("ecb_90d.xml").replace("1.0953", "1,0953"), "line 10: rate \"1,0953\" is no number"},
      {saved("ecb_90d.xml").replace("2024-01-04", "2024-01-05"),
       "line 10: 2024-01-05 appears twice"},
      {saved("ecb_90d.xml").replace("2024-01-04", "04-01-2024"),
       "line 10: \"04-01-2024\" is no date"},
      {saved("ecb_90d.xml").left(600), "line 10: no readable XML"},
      {saved("ecb_daily.xml").replace("USD", "XXX"), "no dollar rates"},
      {saved("chart_junk.html"), "no dollar rates"},
      {"<html><p>Busy</html>", "line 1: no readable XML"},
  };
  for (const auto& c : refused) {
    const ReferenceRates got = ParseReferenceRates(c.xml);
    ASSERT_TRUE(got.failure) << c.reason.toStdString();
    EXPECT_EQ(got.failure->text(Language(Language::Code::English)), c.reason);
  }
}

TEST(ReferenceRates, TheFileFollowsTheRangeAndEachDayGetsFourLines) {
  const QDate today(2024, 1, 8);
  EXPECT_EQ(ReferenceRatesUrl("https://r.test/x", today.addDays(-4), today),
            "https://r.test/x/eurofxref-daily.xml");
  EXPECT_EQ(ReferenceRatesUrl("https://r.test/", today.addDays(-30), today),
            "https://r.test/eurofxref-hist-90d.xml");
  EXPECT_EQ(ReferenceRatesUrl("https://r.test/", today.addDays(-100), today),
            "https://r.test/eurofxref-hist.xml");

  QTemporaryDir dir;
  PriceStore store(dir.path() + u'/');
  ASSERT_TRUE(store.openBatch().ok());
  // The 6th and 7th are a weekend: no rate, no lines.
  EXPECT_EQ(StoreReferenceRates(store, ParseReferenceRates(saved("ecb_90d.xml")), kJan4, today), 3);
  ASSERT_TRUE(store.flushBatch().ok());
  EXPECT_EQ(test::readFile(dir.path() + "/240105A.csv"),
            "Dollar/Euro,dol.eur,24/01/05,0.9157\r\nEUR/USD,EURUSD=X,24/01/05,1.0921\r\n"
            "Euro/Dollar,eur.dol,24/01/05,1.0921\r\nUSD/EUR,USDEUR=X,24/01/05,0.9157\r\n");
  for (const char* absent : {"240103A.csv", "240106A.csv", "240107A.csv"})
    EXPECT_FALSE(QFile::exists(dir.path() + u'/' + QLatin1String(absent))) << absent;
  EXPECT_DOUBLE_EQ(store.GetFilePrice("eur.dol", today), 1.0946);
}

TEST(SourceMap, KeepsEachStocksSourceAndSymbolBesideTheList) {
  QTemporaryDir dir;
  const QString path = sourceMapPath(dir.path() + u'/', Market::Dutch);
  EXPECT_TRUE(path.endsWith("/Sources_nl.txt"));
  SourceMap map;
  map.set("ASML", {"CHART", "ASML.AS"});
  map.set("Shell", {"", "SHELL.AS"});
  map.set("KPN", {"none", ""});
  map.set("gone", {"chart", ""});
  map.set("GONE", {"", ""});
  ASSERT_TRUE(SaveSourceMap(path, map).ok());
  EXPECT_EQ(test::readFile(path), "ASML,CHART,ASML.AS\r\nKPN,none,\r\nShell,,SHELL.AS\r\n");

  const LoadedSourceMap loaded = LoadSourceMap(path);
  ASSERT_FALSE(loaded.refused);
  EXPECT_EQ(loaded.map.sourceOf("asml", "csv"), "chart");
  EXPECT_EQ(loaded.map.symbolOf("asml"), "ASML.AS");
  EXPECT_EQ(loaded.map.sourceOf("SHELL", "csv"), "csv");
  EXPECT_EQ(loaded.map.symbolOf("Philips"), "Philips");
  EXPECT_EQ(loaded.map.sourceOf("kpn", "csv"), "none");

  test::writeFile(path, "ASML,chart,ASML.AS\r\nKPN,pigeon,KPN.AS\r\n");
  const LoadedSourceMap refused = LoadSourceMap(path);
  ASSERT_TRUE(refused.refused);
  EXPECT_EQ(refused.refused->line, 2);
  EXPECT_TRUE(refused.refused->text(Language(Language::Code::English))
                  .endsWith("cannot be read: line 2: \"pigeon\" is no price source"));
  EXPECT_TRUE(LoadSourceMap(dir.path() + "/none.txt").map.isEmpty());
}

TEST(PriceSources, NothingIsFetchedUntilASourceIsChosen) {
  const Settings defaults = Settings::defaults("/d/");
  EXPECT_EQ(defaults.dutchSource, "none");
  EXPECT_EQ(defaults.usSource, "none");
  EXPECT_EQ(defaults.rateSource, "none");
  EXPECT_EQ(MakePriceSource(defaults.dutchSource, defaults), nullptr);
  EXPECT_EQ(MakePriceSource("Chart", defaults)->id(), "chart");
  EXPECT_EQ(MakePriceSource("pigeon", defaults), nullptr);
  EXPECT_EQ(CloseText(627.7000122070312), "627.7");
  EXPECT_EQ(CloseText(0.012345678), "0.012346");
  EXPECT_EQ(CloseText(39872.99), "39872.99");
  EXPECT_EQ(CloseText(12345678.9), "12345679");
}

}  // namespace
}  // namespace pelmar
