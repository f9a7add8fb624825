#include <gtest/gtest.h>

#include <QDir>

#include "commands/report_commands.h"
#include "model/conversions.h"
#include "reports/actions_report.h"
#include "reports/portfolio_report.h"
#include "reports/rtf_writer.h"
#include "support/portfolio_fixture.h"
#include "support/scripted_prompter.h"

namespace pelmar {
namespace {

const QDate kToday(2024, 3, 1);

// The overviews of a portfolio built through the commands' own operations.
class Reports : public test::PortfolioFixture {
 protected:
  explicit Reports(Language::Code code = Language::Code::English) : PortfolioFixture(code) {
    session.clock().fix(kToday);
    session.settings().fileName = QStringLiteral("Mine.xml");
    session.settings().portfolioPath = dir.path() + QStringLiteral("/Port/");
  }
  QStringList lines(const ReportDocument& document) { return document.plainText().split(u'\n'); }
  // The first line that starts with the text.
  QString lineStarting(const ReportDocument& document, const QString& start) {
    for (const QString& line : lines(document))
      if (line.startsWith(start)) return line;
    return QStringLiteral("<none>");
  }
  QString portfolioLine(const QString& start) {
    return lineStarting(
        PortfolioReport(portfolio(), portfolio().FirstRekIndex(), ReportContextOf(session)), start);
  }
};

class DutchReports : public Reports {
 protected:
  DutchReports() : Reports(Language::Code::Dutch) {}
};

TEST_F(DutchReports, AFundWithoutDurationAndAnUnshowableReturn) {
  start(QDate(2024, 1, 2));
  KoersRec& fund = addFund(QStringLiteral("ABC"), 1000, 10, 100);
  fund.FDuur = 0;
  fund.ROTAIGewInleg = 5000;
  fund.FRend = 100000;
  fund.ROTAIFRend = 99999.5;
  const ReportDocument report =
      PortfolioReport(portfolio(), portfolio().FirstRekIndex(), ReportContextOf(session));
  QStringList rows;
  for (const QString& line : lines(report))
    if (line.startsWith(QStringLiteral("\tABC\t"))) rows << line;
  ASSERT_EQ(rows.size(), 2);
  // ROTAC: the return is beyond 99999 and shows as asterisks with its "%".
  EXPECT_TRUE(rows[0].endsWith(QStringLiteral("\t  ******%"))) << rows[0].toStdString();
  EXPECT_TRUE(rows[0].contains(QStringLiteral("\t    1.000,00\t"))) << rows[0].toStdString();
  // ROTAI: no duration gives 0,00 weighted cash; 99999.5 is above 99999.
  EXPECT_EQ(rows[1].section(u'\t', 6, 6), QStringLiteral("        0,00"));
  EXPECT_TRUE(rows[1].endsWith(QStringLiteral("\t  ******%"))) << rows[1].toStdString();
}

// The portfolio overview's heading has one date, the dataset's; the day it
// is made is in the footer. The actions overview's one date is that day.
TEST_F(Reports, TheTitleLineHasASeparatorOnlyForATitle) {
  start(QDate(2024, 1, 2));
  EXPECT_EQ(portfolioLine(QStringLiteral("\tPELMAR")), QStringLiteral("\tPELMAR, version 1.32a"));
  session.settings().reportTitle = QStringLiteral("   ");
  EXPECT_EQ(portfolioLine(QStringLiteral("\tPELMAR")), QStringLiteral("\tPELMAR, version 1.32a"));
  session.settings().reportTitle = QStringLiteral("Family");
  session.settings().dateFormat = QStringLiteral("dd-MM-yyyy");
  const ReportDocument actions = ActionsReport(portfolio(), ReportContextOf(session));
  EXPECT_EQ(actions.paragraphs.front().text(),
            QStringLiteral("\tPELMAR, version 1.32a - Family - date 01-03-2024"));
  EXPECT_EQ(actions.paragraphs.front().runs.front().format, (CharFormat{kVerdana, 18, true}));
}

TEST_F(Reports, TheAccountSectionTakesTheProgramsRateUpToToday) {
  struct Row {
    QDate datum;
    double current;
    double expected;
  };
  start(QDate(2024, 1, 2));
  alg().Dollar = 0.9;
  ReportContext context = ReportContextOf(session);
  for (const Row& row : {Row{QDate(2024, 3, 2), 0.8, 0.9}, Row{QDate(2024, 3, 1), 0.8, 0.8},
                         Row{QDate(2024, 2, 1), 0.09, 0.9}, Row{QDate(2024, 2, 1), 0.1, 0.1}}) {
    alg().Datum = dateToSerial(row.datum) + 0.75;
    context.currentDollar = row.current;
    EXPECT_NEAR(AccountDollarRate(alg(), context), row.expected, 1e-9)
        << row.datum.toString().toStdString();
  }
}

TEST_F(Reports, ThePortfolioOverviewStoresTheRateItUsed) {
  start(QDate(2024, 1, 2));
  addFund(QStringLiteral("ABC"), 1000, 10, 100);
  account(2).Valuta = QStringLiteral("US$");
  account(2).Saldo = 100;
  portfolio().setDollarKoers(0.8);
  portfolio().markUnchanged();
  const ReportDocument report = OverzichtPortefeuilleClick(session);
  EXPECT_DOUBLE_EQ(alg().Dollar, Real48(0.8).value());
  EXPECT_TRUE(portfolio().bPortChanged());
  // The dollar account's balance in euros at that rate.
  const RekeningRec& dollars = account(2);
  const double a = dollars.Valuta == QStringLiteral("US$") ? 0.8 : 1.0;
  const double net =
      (dollars.Saldo + dollars.CumCRente + dollars.CumDRente - dollars.CumKosten - dollars.CumBTW) *
      a;
  EXPECT_TRUE(
      report.plainText().contains(u'\t' + RealToStr(net, 12, 2, session.language()) + u'\t'));

  portfolio().markUnchanged();
  (void)OverzichtPortefeuilleClick(session);
  EXPECT_FALSE(portfolio().bPortChanged()) << "the same rate again is no change";
}

TEST_F(Reports, TheActionsOverviewListsWhatHappened) {
  start(QDate(2024, 1, 2));
  addFund(QStringLiteral("ABC"), 1000, 10, 100);
  // Nothing happens in February; in March a sale and a new fund.
  next(QDate(2024, 2, 1));
  next(QDate(2024, 3, 1));
  fund(0).Aantal = 6;
  addFund(QStringLiteral(" NEW"), 500, 5, 100);
  account(1).Kosten = 4.5;
  account(2).BTW = 0.95;
  calc();

  const QStringList text = lines(ActionsReport(portfolio(), ReportContextOf(session)));
  const int header = int(text.indexOf(QStringLiteral(
      "\t   Date\t   Stock\tCash added\t    Bought\t Costs\t   VAT\t  Div.\tDivTax\t     Price")));
  ASSERT_GE(header, 0);
  const QStringList body = text.mid(header + 2, 6);
  EXPECT_EQ(
      body,
      (QStringList{
          "\t2024-01-02\tABC\t  1,000.00\t   10.0000\t  0.00\t  0.00\t  0.00\t  0.00\t  100.0000",
          "",
          "\t2024-03-01\tABC\t      0.00\t   -4.0000\t  0.00\t  0.00\t  0.00\t  0.00\t  100.0000",
          "\t2024-03-01\tNEW\t    500.00\t    5.0000\t  0.00\t  0.00\t  0.00\t  0.00\t  100.0000",
          "\t2024-03-01\tAccounts\t\t\t  4.50\t  0.95",
          "",
      }));
  // The accounts' costs and VAT stand in the costs and VAT columns.
  const QStringList accounts = body[4].split(u'\t');
  const QStringList columns = text[header].split(u'\t');
  EXPECT_EQ(columns[accounts.indexOf("  4.50")].trimmed(), "Costs");
  EXPECT_EQ(columns[accounts.indexOf("  0.95")].trimmed(), "VAT");
  EXPECT_EQ(text.mid(header + 8, 3), (QStringList{"", "Remarks:", " "}));
}

TEST_F(Reports, OneDatasetGivesOnlyTheStartingPosition) {
  start(QDate(2024, 1, 2));
  addFund(QStringLiteral("ABC"), 1000, 12.5, 100);
  const QString body = ActionsReport(portfolio(), ReportContextOf(session)).plainText();
  EXPECT_TRUE(body.contains(QStringLiteral("\tABC\t  1,000.00\t   12.5000\t")))
      << body.toStdString();
  EXPECT_FALSE(body.contains(QStringLiteral("Accounts")));
  EXPECT_FALSE(body.contains(QStringLiteral("[New]")));
}

TEST(RtfWriter, EscapesTextAndWritesFormatsAndTabStops) {
  ReportWriter writer(CharFormat{kCourierNew, 11, false}, {1, 91});
  writer.setFormat(kVerdana, 18, true);
  writer.line(QStringLiteral("\ta\\b{c}\u00e9\u20ac\U0001F600"));
  writer.setTabStops({});
  writer.line();
  const QByteArray rtf = WriteRtf(writer.take());
  // Only the fonts used are in the table.
  EXPECT_TRUE(rtf.startsWith(
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Verdana;}}"));
  EXPECT_TRUE(
      rtf.contains("\\pard\\tx21\\tx1911\\plain\\f0\\fs36\\b \\tab a\\\\b\\{c\\}\\'e9"
                   "\\u8364?\\u-10179?\\u-8704?\\par\n"))
      << rtf.toStdString();
  // The empty line keeps its font size and has no tab stops.
  EXPECT_TRUE(rtf.contains("\\pard\\plain\\f0\\fs36\\b \\par\n}\n"));
  for (char c : rtf) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

TEST_F(Reports, SavesNumberTheFilesOfADayInTheReportsFolder) {
  start(QDate(2024, 1, 2));
  test::ScriptedPrompter prompter;
  QStringList names;
  for (int i = 0; i < 3; ++i) {
    prompter.expectTimedMessage(QStringLiteral("The review has been saved as:"));
    QString saved;
    ASSERT_TRUE(SaveReport(session, prompter, ReportKind::Portfolio, "{\\rtf1 x}", &saved).ok());
    names << QFileInfo(saved).fileName();
    EXPECT_EQ(QFileInfo(saved).absolutePath(), QDir(dir.path()).filePath("Reports"));
  }
  EXPECT_EQ(names, (QStringList{"Mine_2024-03-01_R_001.rtf", "Mine_2024-03-01_R_002.rtf",
                                "Mine_2024-03-01_R_003.rtf"}));
  test::writeFile(QDir(dir.path()).filePath("Reports/Mine_2024-03-01_A_099.rtf"), "x");
  for (int i = 1; i < 99; ++i)
    test::writeFile(
        QDir(dir.path())
            .filePath(QStringLiteral("Reports/Mine_2024-03-01_A_%1.rtf").arg(i, 3, 10, QChar('0'))),
        "x");
  EXPECT_EQ(QFileInfo(NextReportFileName(session, ReportKind::Actions)).fileName(),
            QStringLiteral("Mine_2024-03-01_A_100.rtf"));
}

TEST_F(Reports, ASaveThatCannotBeWrittenSaysSo) {
  start(QDate(2024, 1, 2));
  test::writeFile(QDir(dir.path()).filePath("Reports"), "a file where the folder should be");
  test::ScriptedPrompter prompter;
  prompter.expectMessage(QStringLiteral("The review could not be saved as:"));
  const Outcome outcome = SaveReport(session, prompter, ReportKind::Actions, "{\\rtf1 x}");
  EXPECT_TRUE(outcome.isFailure());
}

TEST_F(Reports, TemporaryFilesLieInTheirTempFolders) {
  EXPECT_EQ(ReportTempFile(session, ReportKind::Portfolio),
            QDir(dir.path()).filePath("Temp/Tmp.rtf"));
  EXPECT_EQ(ReportTempFile(session, ReportKind::Actions),
            QDir(session.dataDirectory()).filePath("Temp/Tmp.rtf"));
}

}  // namespace
}  // namespace pelmar
