#include "commands/download.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTimeZone>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <functional>
#include <optional>

#include "model/dates.h"
#include "net/http_client.h"
#include "net/local_server.h"
#include "prices/price_replies.h"
#include "prices/price_source.h"
#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

using test::LocalServer;
using test::Route;

// Keeps the log; cancels once `cancelAfter` stocks are done.
struct Recorder : DownloadMonitor {
  void log(const QString& line) override { lines << line; }
  void progress(int done, int total) override { steps << qMakePair(done, total); }
  void fetching(const QString& name) override {
    if (onFetching) onFetching(name);
  }
  bool cancelled() override { return cancelAfter >= 0 && steps.last().first >= cancelAfter; }
  void finished(const Outcome& outcome) override {
    ended = outcome;
    if (onFinished) onFinished();
  }
  QStringList lines;
  QList<QPair<int, int>> steps;
  int cancelAfter = -1;
  std::function<void(const QString&)> onFetching;
  std::function<void()> onFinished;
  std::optional<Outcome> ended;
};

const auto dutch = test::dutchPricePath;

class Download : public test::PortfolioFixture {
 protected:
  Download() {
    // Monday evening: Friday's Dutch prices are there.
    session.clock().fix(QDateTime(QDate(2009, 3, 16), QTime(21, 0)));
    session.settings().downloadFromLastDate = true;
    start(QDate(2009, 3, 2));
    addFund("asml", 1000, 100, 10);
    addFund("IBM", 1000, 10, 100);
    next(QDate(2009, 3, 16));
    folder = session.prices().folder();
    test::writeFile(folder + "Stocks_nl.txt",
                    "ASML Holding,asml,2009-03-10\r\nGone,gone,\r\nZero,zero,\r\n");
    test::writeFile(folder + "Stocks_us.txt",
                    "Bad,BAD,\r\nIBM Corp,IBM,2009-03-10\r\nNothing,NONE,2009-03-10\r\n");
  }

  QMap<QString, Route> routes() const {
    const auto us = [](const char* ticker) {
      return UsPriceUrl("/us/", ticker, QDate(2009, 3, 10), QDate(2009, 3, 16));
    };
    return {{dutch("asml"), Route::page("090312: 30,10\n090313: 31,20X\n")},
            {dutch("zero"), Route::page("090313: 0,00\n")},
            {us("IBM"), Route::page("Date,Open,High,Low,Close,Volume,Adj Close\n"
                                    "16-Mar-09,1,1,1,90,1,90.5\n13-Mar-09,1,1,1,89,1,89.5\n")},
            {us("NONE"), Route::page("Date,Close\n2009-03-10\n")},
            {"/us/table.csv", Route::page("Please check the URL")}};
  }

  void pointAt(const LocalServer& server) {
    session.settings().dutchSource = SourceId::DutchService;
    session.settings().usSource = SourceId::UsService;
    session.settings().dutchPriceService = server.url("/nl/");
    session.settings().usPriceService = server.url("/us/");
  }

  QString folder;
};

TEST_F(Download, FillsTheFilesListsAndDataSets) {
  LocalServer server(routes());
  pointAt(server);
  NetworkHttpGet http(test::quickLimits());
  Recorder monitor;
  EXPECT_TRUE(DownloadClick(session, http, monitor).ok());

  EXPECT_EQ(test::readFile(folder + "090313A.csv"),
            "ASML Holding,asml,09/03/13,31.20\r\nIBM Corp (US),IBM,09/03/13,89.5\r\n");
  EXPECT_EQ(test::readFile(folder + "090316A.csv"), "IBM Corp (US),IBM,09/03/16,90.5\r\n");
  const QByteArray list = test::readFile(folder + "Stocks_nl.txt");
  EXPECT_TRUE(list.startsWith("ASML Holding,asml,2009-03-13\r\n")) << list.toStdString();
  EXPECT_TRUE(list.contains("\r\nGone,gone,\r\n"));
  EXPECT_EQ(test::readFile(folder + "Stocks_us.txt"),
            "Bad,BAD,\r\nIBM Corp,IBM,2009-03-16\r\nNothing,NONE,2009-03-10\r\n");
  EXPECT_TRUE(test::readFile(folder + "Last Prices.txt")
                  .startsWith("LatestPrice_nl: " +
                              QByteArray::number(qint64(dateToSerial(QDate(2009, 3, 13))))));
  // The last dataset took the new prices and was recalculated.
  EXPECT_NEAR(double(fund(0).Koers), 31.2, 1e-9);
  EXPECT_NEAR(double(fund(1).Koers), 90.5, 1e-9);
  EXPECT_TRUE(portfolio().bPortChanged());

  for (const char* line :
       {"ASML Holding . . . . . downloaded: 2009-03-13", "****** Error 3; Gone not found",
        "****** Error 4; Zero Price = 0.0", "****** Error 3; Bad Not Found",
        "IBM Corp . . . . . . . downloaded: 2009-03-16",
        "****** Rmrk 5; Nothing Last date: 2009-03-10", "All available Prices downloaded",
        "Portfolio Prices have been updated."})
    EXPECT_TRUE(monitor.lines.contains(line)) << line << "\n"
                                              << monitor.lines.join('\n').toStdString();
  EXPECT_EQ(monitor.steps.last(), qMakePair(6, 6));

  // Again on Monday before 20:00: Friday's prices are the newest there are.
  session.clock().fix(QDateTime(QDate(2009, 3, 16), QTime(19, 0)));
  Recorder again;
  EXPECT_TRUE(DownloadClick(session, http, again).ok());
  EXPECT_TRUE(again.lines.contains("ASML Holding . . . . . no new prices available yet"));
}

TEST_F(Download, FailuresLeaveTheListsAsTheyWere) {
  const QByteArray dutchList = test::readFile(folder + "Stocks_nl.txt");
  const QByteArray usList = test::readFile(folder + "Stocks_us.txt");
  LocalServer server({{dutch("asml"), Route::huge(100LL << 20)},
                      {dutch("gone"), Route::silent()},
                      {dutch("zero"), Route::page("\x01\xff binary")},
                      {"/us/table.csv", Route::redirect("/us/table.csv")}});
  pointAt(server);
  NetworkHttpGet http(test::quickLimits());
  Recorder monitor;
  EXPECT_TRUE(DownloadClick(session, http, monitor).ok());
  EXPECT_EQ(test::readFile(folder + "Stocks_nl.txt"), dutchList);
  EXPECT_EQ(test::readFile(folder + "Stocks_us.txt"), usList);
  // One bad stock is one bad stock: a silent server or a redirect loop is
  // that stock's line, and the pass goes on.
  for (const char* line :
       {"****** Error 2; File (asml) read is too small",
        "****** Error; Gone: no usable answer (no answer within 0.7 s)",
        "****** Error 2; File (zero) read is too small", "All available Prices downloaded"})
    EXPECT_TRUE(monitor.lines.contains(line)) << line << "\n"
                                              << monitor.lines.join('\n').toStdString();
  for (const char* name : {"Bad", "IBM Corp", "Nothing"}) {
    const QString line = QStringLiteral("****** Error; %1: no usable answer (").arg(name);
    EXPECT_TRUE(std::any_of(monitor.lines.begin(), monitor.lines.end(),
                            [&](const QString& l) { return l.startsWith(line); }))
        << name << "\n"
        << monitor.lines.join('\n').toStdString();
  }
  EXPECT_FALSE(monitor.lines.join('\n').contains("Error 1"));
  EXPECT_DOUBLE_EQ(double(fund(0).Koers), 10);
}

// Only a failed connection ends a pass.
TEST_F(Download, OnlyALostConnectionEndsThePass) {
  LocalServer server(routes());
  pointAt(server);
  // Nobody listens on the US service's port.
  session.settings().usPriceService =
      QString(server.url("/us/")).replace(QRegularExpression(":\\d+/"), ":1/");
  NetworkHttpGet http(test::quickLimits());
  Recorder monitor;
  EXPECT_TRUE(DownloadClick(session, http, monitor).ok());
  EXPECT_TRUE(monitor.lines.contains("*** Error 1; No Internet Connection"))
      << monitor.lines.join('\n').toStdString();
  EXPECT_EQ(monitor.lines.filter("Error 1").size(), 1) << "the pass ended at the first stock";
}

// A reply is read only when it is a page: the body of an error status, a
// day outside the files' window and a price in another notation are
// refused, and nothing of that stock is written.
TEST_F(Download, ABadReplyIsNoPrice) {
  const QByteArray lists =
      test::readFile(folder + "Stocks_nl.txt") + test::readFile(folder + "Stocks_us.txt");
  const auto us = [](const char* ticker) {
    return UsPriceUrl("/us/", ticker, QDate(2009, 3, 10), QDate(2009, 3, 16));
  };
  LocalServer server({{dutch("asml"), Route::page("090312: 30,10\n090313: 31,20X\n", 500)},
                      {dutch("gone"), Route::page("090312: 1e308\n090313: 2\n")},
                      {dutch("zero"), Route::page("090313: 7,05\n991231: 7,10\n")},
                      // Never downloaded: asked for the year before today.
                      {UsPriceUrl("/us/", "BAD", QDate(2008, 3, 16), QDate(2009, 3, 16)),
                       Route::page("Date,Close\n9999-12-31,7.05\n")},
                      {us("IBM"), Route::page("Date,Close\n2009-03-13,99\n1909-03-12,99\n")},
                      {us("NONE"), Route::page("Date,Close\n2009-03-13,1e308\n")}});
  pointAt(server);
  const QStringList before = QDir(folder).entryList(QDir::Files, QDir::Name);
  NetworkHttpGet http(test::quickLimits());
  Recorder monitor;
  EXPECT_TRUE(DownloadClick(session, http, monitor).ok());
  for (const char* line :
       {"****** Error; ASML Holding: the server answered with status 500; the reply was not read",
        "****** Error; Gone: line 1: \"1e308\" is no price",
        "****** Error; Zero: line 2: 991231 lies outside the hundred years ending tomorrow",
        "****** Error; Bad: line 2: 9999-12-31 lies outside the hundred years ending tomorrow",
        "****** Error; IBM Corp: line 3: 1909-03-12 lies outside the hundred years ending tomorrow",
        "****** Error; Nothing: line 2: \"1e308\" is no price"})
    EXPECT_TRUE(monitor.lines.contains(line)) << line << "\n"
                                              << monitor.lines.join('\n').toStdString();
  // No daily file was written, the lists kept their dates.
  QStringList after = QDir(folder).entryList(QDir::Files, QDir::Name);
  after.removeAll("Last Prices.txt");
  QStringList was = before;
  was.removeAll("Last Prices.txt");
  EXPECT_EQ(after, was);
  EXPECT_EQ(test::readFile(folder + "Stocks_nl.txt") + test::readFile(folder + "Stocks_us.txt"),
            lists);
}

TEST_F(Download, AStockWhosePricesCannotBeSavedKeepsItsLine) {
  const QByteArray dutchList = test::readFile(folder + "Stocks_nl.txt");
  // Folders where the day files would go: those files can never be saved.
  ASSERT_TRUE(QDir(folder).mkdir("090313A.csv"));
  ASSERT_TRUE(QDir(folder).mkdir("090312A.csv"));
  LocalServer server(routes());
  pointAt(server);
  NetworkHttpGet http(test::quickLimits());
  Recorder monitor;
  EXPECT_TRUE(DownloadClick(session, http, monitor).ok());
  EXPECT_TRUE(monitor.lines.contains("****** 090313A.csv: price file not saved"));
  EXPECT_TRUE(monitor.lines.contains("ASML Holding . . . . . Latest date: 2009-03-10"))
      << monitor.lines.join('\n').toStdString();
  EXPECT_EQ(test::readFile(folder + "Stocks_nl.txt"), dutchList);
  // IBM's newest day was saved: its date moves.
  EXPECT_TRUE(test::readFile(folder + "Stocks_us.txt").contains("IBM Corp,IBM,2009-03-16"));
  EXPECT_DOUBLE_EQ(double(fund(0).Koers), 10);
}

TEST_F(Download, CancelKeepsWhatWasStored) {
  LocalServer server(routes());
  pointAt(server);
  NetworkHttpGet http(test::quickLimits());
  Recorder monitor;
  monitor.cancelAfter = 1;
  EXPECT_EQ(DownloadClick(session, http, monitor).kind(), Outcome::Kind::Stopped);
  EXPECT_TRUE(monitor.lines.contains("Cancelled; the prices fetched so far have been kept."));
  EXPECT_EQ(server.requests().size(), 1);
  EXPECT_TRUE(test::readFile(folder + "Stocks_nl.txt").startsWith("ASML Holding,asml,2009-03-13"));
  EXPECT_NEAR(double(fund(0).Koers), 31.2, 1e-9);
}

// Cancel while a server stays silent: the fetch in flight is aborted at
// once, the log names the stock the download stops after, and what was
// stored stays. The fetches run on a worker; this thread's loop goes on.
TEST_F(Download, CancelDuringASilentFetchStopsWithoutWaitingForTheTimeOut) {
  QMap<QString, Route> silentGone = routes();
  silentGone.insert(dutch("gone"), Route::silent());
  LocalServer server(silentGone);
  pointAt(server);
  HttpLimits patient = test::quickLimits();
  patient.timeoutMs = 30 * 60 * 1000;  // only Cancel ends this wait
  NetworkHttpGet http(patient);
  Recorder monitor;
  DownloadTask task(session, http, monitor);
  // Cancel once the silent server holds the request.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!server.requests().contains(dutch("gone"))) return;
    poll.stop();
    task.cancel();
  });
  monitor.onFetching = [&](const QString& name) {
    if (name == "Gone") poll.start(5);
  };
  QEventLoop loop;
  monitor.onFinished = [&] { loop.quit(); };
  QTimer::singleShot(10 * 60 * 1000, &loop, &QEventLoop::quit);  // a hung test ends
  task.start();
  EXPECT_TRUE(session.busy());
  if (!monitor.ended) loop.exec();

  ASSERT_TRUE(monitor.ended);
  EXPECT_EQ(monitor.ended->kind(), Outcome::Kind::Stopped);
  EXPECT_FALSE(session.busy());
  const QString log = monitor.lines.join('\n');
  EXPECT_TRUE(log.contains("Stopping after Gone …")) << log.toStdString();
  EXPECT_TRUE(log.contains("Cancelled; the prices fetched so far have been kept."));
  EXPECT_FALSE(log.contains("Error")) << log.toStdString();
  // ASML was stored before; the US list was never asked.
  EXPECT_EQ(server.requests(), QStringList({dutch("asml"), dutch("gone")}));
  const QByteArray list = test::readFile(folder + "Stocks_nl.txt");
  EXPECT_TRUE(list.startsWith("ASML Holding,asml,2009-03-13\r\n")) << list.toStdString();
  EXPECT_TRUE(list.contains("\r\nGone,gone,\r\n"));
  EXPECT_NEAR(double(fund(0).Koers), 31.2, 1e-9);
}

QByteArray savedReply(const char* name) {
  QFile file(QStringLiteral(PELMAR_SOURCE_DIR "/tests/data/sources/") + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Nothing is asked of the internet until a source is chosen; then each
// list and each stock is fetched from its own source, and the reference
// rates of the days asked for come with them.
TEST_F(Download, EachListAndStockFromItsChosenSourceWithTheRatesOfItsDays) {
  LocalServer server(
      {{"/v8/finance/chart/ASML.AS", Route::page(savedReply("chart_good.json"))},
       {"/v8/finance/chart/NOPE", Route::page(savedReply("chart_unknown.json"), 404)},
       {"/csv/IBM.csv", Route::page(savedReply("csv_daily.csv"))},
       {"/ecb/eurofxref-hist-90d.xml", Route::page(savedReply("ecb_90d.xml"))}});
  session.clock().fix(QDateTime(QDate(2024, 1, 8), QTime(13, 0), QTimeZone::utc()));
  test::writeFile(folder + "Stocks_nl.txt", "ASML Holding,asml,2024-01-02\r\nNope,nope,\r\n");
  test::writeFile(folder + "Stocks_us.txt", "IBM Corp,IBM,2024-01-02\r\n");
  NetworkHttpGet http(test::quickLimits());

  Recorder idle;
  EXPECT_TRUE(DownloadClick(session, http, idle).ok());
  EXPECT_TRUE(idle.lines.contains(
      "No price source chosen for the Dutch stocks: choose one in Options, Settings, Download."));
  EXPECT_TRUE(server.requests().isEmpty());

  Settings& s = session.settings();
  s.dutchSource = SourceId::ChartJson;
  s.chartSourceUrl = server.url("/");
  s.usSource = SourceId::CsvUrl;
  s.csvSourceUrl = server.url("/csv/{symbol}.csv?from={from}");
  s.rateSource = SourceId::Ecb;
  s.referenceRatesUrl = server.url("/ecb/");
  test::writeFile(folder + "Sources_nl.txt", "asml,,ASML.AS\r\nnope,chart,NOPE\r\n");
  Recorder monitor;
  EXPECT_TRUE(DownloadClick(session, http, monitor).ok());
  const QString log = monitor.lines.join('\n');
  EXPECT_TRUE(log.contains("****** Error 3; Nope not found")) << log.toStdString();
  EXPECT_TRUE(
      log.contains("Euro/dollar rates: 5 days, the newest of 2024-01-08: 1 EUR = 1.0946 USD"))
      << log.toStdString();
  EXPECT_EQ(test::readFile(folder + "240105A.csv"),
            "ASML Holding,asml,24/01/05,627.7\r\nDollar/Euro,dol.eur,24/01/05,0.9157\r\n"
            "EUR/USD,EURUSD=X,24/01/05,1.0921\r\nEuro/Dollar,eur.dol,24/01/05,1.0921\r\n"
            "IBM Corp (US),IBM,24/01/05,627.7\r\nUSD/EUR,USDEUR=X,24/01/05,0.9157\r\n");
  EXPECT_EQ(test::readFile(folder + "Stocks_nl.txt"),
            "ASML Holding,asml,2024-01-05\r\nNope,nope,\r\n");
  EXPECT_EQ(test::readFile(folder + "Stocks_us.txt"), "IBM Corp,IBM,2024-01-05\r\n");
  // The last dataset takes the newest rate.
  EXPECT_DOUBLE_EQ(double(session.portfolio().DollarKoers()), double(Real48(1 / 1.0946)));
}

}  // namespace
}  // namespace pelmar
