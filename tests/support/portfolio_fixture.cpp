#include "support/portfolio_fixture.h"

#include <QFile>
#include <QFileInfo>

namespace pelmar::test {

void writeFile(const QString& path, const QByteArray& content) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  ASSERT_EQ(file.write(content), content.size());
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeManuals(const QString& programFolder) {
  for (const char* name : {"help/pelmar_nl.html", "help/pelmar_en.html"})
    writeFile(QDir(programFolder).filePath(QLatin1String(name)), "<html></html>");
}

namespace {

QLocale localeOf(Language::Code code) {
  return code == Language::Code::Dutch ? QLocale(QLocale::Dutch, QLocale::Netherlands)
                                       : QLocale(QLocale::English, QLocale::UnitedStates);
}

}  // namespace

PortfolioFixture::PortfolioFixture(Language::Code code)
    : session(dir.path() + QLatin1Char('/'), localeOf(code)) {
  session.setLanguage(code);
  session.settings().pricePath = path(QStringLiteral("Prices/"));
  session.settings().portfolioPath = path(QStringLiteral("Port/"));
  QDir().mkpath(session.settings().pricePath);
  QDir().mkpath(session.settings().portfolioPath);
  session.applyPricePath();
}

void PortfolioFixture::start(QDate date, bool inDollars) {
  IdentRec ident;
  ident.PortInDollarB = inDollars;
  ident.RapInDollarB = inDollars;
  portfolio().NewPortfolio(ident, dateToSerial(date));
  session.engine().setPortStartDate(dateToSerial(date));
  for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
    account(number).CredRente = 0;
    account(number).DebRente = 0;
  }
}

KoersRec& PortfolioFixture::addFund(const QString& ticker, double inleg, double aantal,
                                    double koers) {
  KoersRec fund = portfolio().initialRecords().DefaultKoersRec;
  fund.EndOfSetB = false;
  fund.Ticker = ticker;
  fund.Valuta = portfolio().bPortInDollar() ? QStringLiteral("US$") : QStringLiteral("EUR");
  fund.Inleg = inleg;
  fund.Aantal = aantal;
  fund.Koers = koers;
  fund.CumDatum = alg().Datum;
  const int placeholder = portfolio().FirstKoersIndex() + funds() - 1;
  EXPECT_EQ(portfolio().insertRecord(placeholder, fund), Portfolio::Refusal::None);
  return portfolio().koersAt(placeholder);
}

void PortfolioFixture::append(QDate date) {
  Portfolio& p = portfolio();
  int rek = p.FirstRekIndex();
  int koers = p.FirstKoersIndex();
  const DateTime previous = alg().Datum;
  ASSERT_TRUE(p.appendDataSet(rek, koers, dateToSerial(date),
                              static_cast<qint32>(dateToSerial(date) - previous)));
  p.goToDataSet(rek);
}

void PortfolioFixture::next(QDate date) {
  append(date);
  calc();
}

void PortfolioFixture::goToDataSet(int number) {
  Portfolio& p = portfolio();
  int rek = Portfolio::kFirstRekIndex;
  int koers = Portfolio::kFirstKoersIndex;
  for (int i = 1; i < number; ++i) p.NextDataSet(rek, koers);
  p.goToDataSet(rek);
  p.selectFund(0);
}

}  // namespace pelmar::test
