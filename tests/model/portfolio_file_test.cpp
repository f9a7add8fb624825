#include "model/portfolio_file.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace pelmar {
namespace {

namespace pf = portfolio_file;

const Language kDutch(Language::Code::Dutch, QLocale::c());
const Language kEnglish(Language::Code::English, QLocale::c());

// Two datasets of two funds each (a fund and the placeholder row), with
// values that show the number layout: rounding, negatives, bytes, "&".
Portfolio samplePortfolio() {
  Portfolio p;
  p.setRecordTexts({QStringLiteral("      Naam"), QStringLiteral("Nummer"), QStringLiteral("nl"),
                    QStringLiteral("[Nieuw]")});
  IdentRec ident;
  ident.Name = QStringLiteral("Pelmar");
  ident.VersionI = QStringLiteral("stored version");  // never written
  ident.Author = QStringLiteral("Jan/Piet");
  ident.Flag1 = IdentFlag::JaarAfsl;
  p.NewPortfolio(ident, 38718);  // 2006-01-01
  p.setCurrencies(false, true);

  const char* names[] = {"R&D", "Giro", "Spaar", "Beleg", "Vijf"};
  for (int i = 0; i < 5; ++i) {
    RekeningRec& rek = p.rekAt(2 + i);
    rek.RekNaam = QString::fromLatin1(names[i]);
    rek.RekNummer = QStringLiteral("NL%1").arg(i + 1);
    rek.Valuta = QStringLiteral("EUR");
  }
  p.rekAt(2).Saldo = -12.5;
  p.rekAt(3).CredPerc = 200;
  p.rekAt(4).RividuDoriB = true;

  KoersRec fund = p.initialRecords().DefaultKoersRec;
  fund.EndOfSetB = false;
  fund.CumDatum = 38718;
  fund.Ticker = QStringLiteral("ASML");
  fund.Koers = 12.34;
  fund.Aantal = 0.00004;
  fund.Delta = -0.00006;
  fund.FDuur = -3;
  fund.Flag1 = KoersFlag::FakeFund | KoersFlag::BuySell;
  fund.RekNr = 2;
  fund.Inleg = 1000;
  fund.RefWrde = 1234.56789;
  fund.Reserve = -0.5;
  fund.AdviesR = 38718;
  EXPECT_EQ(p.insertRecord(7, fund), Portfolio::Refusal::None);
  p.algAt(1).Dollar = 1.2345;
  p.algAt(1).Totaal = 98765.4321;
  int rek = p.FirstRekIndex();
  int koers = p.FirstKoersIndex();
  EXPECT_TRUE(p.appendDataSet(rek, koers, 38720, 2));
  return p;
}

QByteArray written(const Portfolio& p, const Language& language) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  pf::write(buffer, p, p.size() - 1, language);
  return buffer.data();
}

pf::ReadOptions englishOptions() {
  pf::ReadOptions options;
  options.accountNamePrefix = QStringLiteral("  Acnt. ");
  options.defaultCountry = QStringLiteral("us");
  return options;
}

// The reason of a refusal, for the test's own messages.
std::string why(const pf::ReadResult& result) {
  return result.reason.text(kEnglish).toStdString();
}

struct ReadBack {
  pf::ReadResult result;
  Portfolio portfolio;
};

ReadBack readText(const QByteArray& text, const pf::ReadOptions& options = englishOptions()) {
  QByteArray data = text;
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  ReadBack back;
  back.portfolio.setRecordTexts({QStringLiteral("  Acnt. "), QStringLiteral("Number"),
                                 QStringLiteral("us"), QStringLiteral("[New]")});
  back.result = pf::read(buffer, back.portfolio, options);
  return back;
}

// The text with the first match of the pattern replaced.
QByteArray replaced(QByteArray text, const char* pattern, const char* by) {
  const QString s = QString::fromLatin1(text);
  const QRegularExpressionMatch m = QRegularExpression(QString::fromLatin1(pattern)).match(s);
  EXPECT_TRUE(m.hasMatch()) << pattern;
  return s.left(m.capturedStart()).toLatin1() + by + s.mid(m.capturedEnd()).toLatin1();
}

TEST(PortfolioFileWrite, MatchesTheGoldenFileByteForByte) {
  const QByteArray actual = written(samplePortfolio(), kDutch);
  const QString golden = QStringLiteral(PELMAR_SOURCE_DIR "/tests/golden/portfolio_nl.xml");
  if (qEnvironmentVariableIsSet("PELMAR_UPDATE_GOLDEN")) {
    QFile out(golden);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(actual);
    GTEST_SKIP() << "golden file rewritten";
  }
  QFile file(golden);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "missing " << golden.toStdString();
  EXPECT_EQ(actual, file.readAll());
}

TEST(PortfolioFileWrite, EnglishWritesDecimalPointsAndEscapesMarkupInEveryText) {
  Portfolio p = samplePortfolio();
  p.koersAt(7).Ticker = QStringLiteral("AT&T<X>");
  p.rekAt(3).RekNummer = QStringLiteral("a\tb\r\nc");
  p.identAt(0).Author = QStringLiteral("Zoë/Łukasz");
  const QByteArray text = written(p, kEnglish);
  EXPECT_TRUE(text.contains("\r\n<Koers>12.3400</Koers>\r\n"));
  EXPECT_FALSE(text.contains(','));
  EXPECT_TRUE(text.contains("<Ticker>AT&amp;T&lt;X></Ticker>"));
  EXPECT_TRUE(text.contains("<RekNummer>a&#9;b&#13;&#10;c</RekNummer>")) << "control characters";
  EXPECT_TRUE(text.contains("<Author>Zo\xEB/&#321;ukasz</Author>")) << "ISO-8859-1 on disk";

  const ReadBack back = readText(text);
  ASSERT_TRUE(back.result.ok()) << why(back.result);
  EXPECT_EQ(back.portfolio.koersAt(7).Ticker.str(), QStringLiteral("AT&T<X>"));
  EXPECT_EQ(back.portfolio.identAt(0).Author.str(), QStringLiteral("Zoë/Łukasz"));
  EXPECT_EQ(back.portfolio.rekAt(3).RekNummer.str(), QStringLiteral("a\tb\r\nc"));
}

// Names kept faithfully: every field keeps the characters of the file's
// encoding as they are, writes others as character references, and reads
// references and entities back.
TEST(PortfolioFileWrite, NamesAreKeptFaithfully) {
  struct Case {
    const char* name;
    QString text;       // as typed
    QByteArray onDisk;  // the field's value in the file
  };
  const Case cases[] = {
      {"Latin-1", QStringLiteral("Crédit"),
       "Cr\xE9"
       "dit"},
      {"beyond Latin-1", QStringLiteral("日本"), "&#26085;&#26412;"},
      {"beyond 16 bits", QString::fromUtf8("\xF0\x9F\x93\x88 up"), "&#128200; up"},
      {"markup", QStringLiteral("A&B<>\"'"), "A&amp;B&lt;>\"'"},
      {"control", QStringLiteral("a\tb"), "a&#9;b"},
      {"Windows-1252 range", QString(QChar(0x80)) + QChar(0x9F), "\x80\x9F"},
  };
  for (const Case& c : cases) {
    Portfolio p = samplePortfolio();
    p.rekAt(3).RekNaam = c.text;
    p.koersAt(7).Ticker = c.text;
    p.identAt(0).Name = c.text;
    const QByteArray text = written(p, kEnglish);
    EXPECT_TRUE(text.contains("<RekNaam>" + c.onDisk + "</RekNaam>")) << c.name;
    EXPECT_TRUE(text.contains("<Name>" + c.onDisk + "</Name>")) << c.name;
    const ReadBack back = readText(text);
    ASSERT_TRUE(back.result.ok()) << c.name << why(back.result);
    EXPECT_EQ(back.portfolio.rekAt(3).RekNaam.str(), c.text) << c.name;
    EXPECT_EQ(back.portfolio.identAt(0).Name.str(), c.text) << c.name;
    EXPECT_EQ(back.portfolio.koersAt(7).Ticker.str(), QString(c.text).remove(u' ')) << c.name;
  }
  // What another writer may use: decimal and hexadecimal references and the
  // five entities; a "&" that starts none stays.
  QByteArray text = written(samplePortfolio(), kEnglish);
  text = replaced(text, "<RekNaam>Giro</RekNaam>",
                  "<RekNaam>&#233;&#xE9;&#XE9;&quot;&apos;&gt;&amp;&lt; &x; &#0; &#xD800; "
                  "&#99999999;</RekNaam>");
  const ReadBack back = readText(text);
  ASSERT_TRUE(back.result.ok()) << why(back.result);
  EXPECT_EQ(back.portfolio.rekAt(3).RekNaam.str(),
            QStringLiteral("ééé\"'>&< &x; &#0; &#xD800; &#99999999;").left(10));
}

TEST(PortfolioFileWrite, TheWriteLimitStopsAfterTheDataSetThatReachesIt) {
  const Portfolio p = samplePortfolio();  // second dataset from index 9 on
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  EXPECT_EQ(pf::write(buffer, p, 10 - 3, kEnglish), 1);
  EXPECT_TRUE(buffer.data().endsWith("</DataSet_1>\r\n</Pelmar_Data>\r\n"));
  QBuffer readOnly;
  readOnly.open(QIODevice::ReadOnly);
  EXPECT_EQ(pf::write(readOnly, p, p.size() - 1, kEnglish), -1) << "a device that refuses";
}

// The split ratio is written only for a split fund that has one, after its
// last field, so a file without splits is as before; read back it is the
// same, and a file without it reads a ratio of 0 (unknown).
TEST(PortfolioFileWrite, TheSplitRatioIsWrittenOnlyWhereThereIsOne) {
  Portfolio p = samplePortfolio();
  EXPECT_FALSE(written(p, kEnglish).contains("SplitRatio"));
  p.koersAt(7).Flag1 |= KoersFlag::Splits;
  EXPECT_FALSE(written(p, kEnglish).contains("SplitRatio")) << "ratio unknown";
  p.koersAt(7).SplitRatio = 2;
  const QByteArray text = written(p, kEnglish);
  EXPECT_EQ(text.count("<SplitRatio>"), 1);
  EXPECT_TRUE(
      text.contains("<AdviesR>38718.0000</AdviesR>\r\n<SplitRatio>2.0000</SplitRatio>\r\n"
                    "</KoersRec>"));
  const ReadBack back = readText(text);
  ASSERT_TRUE(back.result.ok()) << why(back.result);
  EXPECT_DOUBLE_EQ(back.portfolio.koersAt(7).SplitRatio, 2);
  EXPECT_EQ(back.portfolio.koersAt(7).Flag1 & KoersFlag::Splits, KoersFlag::Splits);
}

TEST(PortfolioFileRead, AFileSavedInDutchReadsTheSameInEnglish) {
  const Portfolio p = samplePortfolio();
  const ReadBack fromDutch = readText(written(p, kDutch));
  ASSERT_TRUE(fromDutch.result.ok()) << why(fromDutch.result);
  EXPECT_EQ(written(fromDutch.portfolio, kEnglish), written(p, kEnglish));

  // The text compares equal; what the text cannot show must match too.
  const Portfolio& back = fromDutch.portfolio;
  EXPECT_TRUE(back.bRapInDollar());
  EXPECT_FALSE(back.bPortInDollar());
  for (int i = 0; i < p.size(); ++i) EXPECT_EQ(back.endOfSetAt(i), p.endOfSetAt(i)) << i;
}

TEST(PortfolioFileRead, ALooseLayoutReadsAsTheCompactFile) {
  // The fund block turned upside down, with a stranger, a line without a
  // tag and without Aantal (0 anyway); every line indented between blank ones.
  const QByteArray compact = written(samplePortfolio(), kEnglish);
  const qsizetype start = compact.indexOf("<KoersRec>\r\n") + 12;
  const qsizetype end = compact.indexOf("</KoersRec>", start);
  QList<QByteArray> fund = compact.mid(start, end - start).split('\n');
  std::reverse(fund.begin(), fund.end());
  QByteArray text = compact.left(start) + fund.join('\n') +
                    "\r\n<Unknown>5</Unknown>\r\nno tag at all\r\n" + compact.mid(end);
  text.replace("<Aantal>0.0000</Aantal>", "");
  QByteArray loose = "\r\n\n";
  for (const QByteArray& line : text.split('\n'))
    if (!line.isEmpty()) loose += "   " + line + "\n    \r\n\r\n";
  const ReadBack back = readText(loose);
  ASSERT_TRUE(back.result.ok()) << why(back.result);
  EXPECT_EQ(written(back.portfolio, kEnglish), compact);
}

TEST(PortfolioFileRead, OlderAndLooserFilesAreTakenAsThePartsDescribe) {
  QByteArray text = written(samplePortfolio(), kEnglish);
  text.replace("IdentRec>", "Ident>");
  text = replaced(text, "<Ticker>ASML</Ticker>",
                  "<Ticker>ABCD EFGH IJ</Ticker>\r\n<Ticker2>K LM</Ticker2>");
  text = replaced(text, "<NrOfSet>1</NrOfSet>", "<NrOfSet>5</NrOfSet>");
  text = replaced(text, "<NrOfSet>2</NrOfSet>", "<NrOfSet>9</NrOfSet>");
  text = replaced(text, "<Dollar>1.2345</Dollar>", "<Dollar>0,00</Dollar>");
  text = replaced(text, "<Datum>38720.0000</Datum>", "<Datum>38720,75</Datum>");
  text = replaced(text, "<RekNaam>R&amp;D</RekNaam>", "<RekNaam> Naam </RekNaam>");
  text = replaced(text, "<RekNaam>Giro</RekNaam>", "<RekNaam>Name</RekNaam>");
  text = replaced(text, "<RekNummer>NL3</RekNummer>", "<RekNummer>a>b~\xE9}</RekNummer>");
  text = replaced(text, "<Totaal>98765.4321</Totaal>", "<Totaal> 1 234,5 </Totaal>");
  text = replaced(text, "<Flag1>20</Flag1>", "<Flag1>-1</Flag1>");
  text = replaced(text, "<RividuDoriB>1</RividuDoriB>", "<RividuDoriB>7</RividuDoriB>");
  text = replaced(text, "<EndOfSetB>1</EndOfSetB>", "<EndOfSetB>0</EndOfSetB>");

  const ReadBack back = readText(text);
  ASSERT_TRUE(back.result.ok()) << why(back.result);
  const Portfolio& p = back.portfolio;
  EXPECT_EQ(p.koersAt(7).Ticker.str(), QStringLiteral("ABCDEFGHIJKL")) << "cut to twelve";
  EXPECT_TRUE(p.koersAt(7).Ticker2.isEmpty());
  EXPECT_EQ(p.algAt(1).NrOfSet, 1);
  EXPECT_EQ(p.algAt(9).NrOfSet, 2);
  EXPECT_NEAR(p.algAt(1).Dollar, 1.1, 1e-9);
  EXPECT_EQ(p.algAt(9).Datum, 38720.0);
  EXPECT_EQ(p.rekAt(2).RekNaam.str(), QStringLiteral("  Acnt. 1"));
  EXPECT_EQ(p.rekAt(3).RekNaam.str(), QStringLiteral("  Acnt. 2"));
  EXPECT_EQ(p.rekAt(4).RekNummer.str(), QStringLiteral("a>b~é}"))
      << "the encoding's characters kept";
  EXPECT_DOUBLE_EQ(p.algAt(1).Totaal, 1234.5);
  EXPECT_EQ(p.koersAt(7).Flag1, 255) << "a Byte keeps the low eight bits";
  EXPECT_TRUE(p.rekAt(4).RividuDoriB);
  EXPECT_TRUE(p.endOfSetAt(6)) << "EndOfSetB follows the position";
}

TEST(PortfolioFileRead, AFundWithoutPriceAsksForTheDaysPriceOnce) {
  QByteArray text = written(samplePortfolio(), kEnglish);
  text = replaced(text, "<Koers>12.3400</Koers>", "<Koers>0.00001</Koers>");
  pf::ReadOptions options = englishOptions();
  QStringList asked;
  options.priceFor = [&](const QString& ticker, DateTime datum) {
    asked << ticker + QString::number(datum);
    return ticker == QLatin1String("ASML") ? 20.5 : 0.0;
  };
  const ReadBack back = readText(text, options);
  ASSERT_TRUE(back.result.ok());
  EXPECT_DOUBLE_EQ(back.portfolio.koersAt(7).Koers, 20.5);
  EXPECT_EQ(asked, QStringList({"ASML38718"})) << "never for the placeholder rows";
}

QByteArray binaryGarbage(int size) {
  QRandomGenerator random(42);
  QByteArray bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random.bounded(256));
  return bytes;
}

// Files that are no portfolio: each is refused with the error the program
// reports for it, and none makes the reader hang.
TEST(PortfolioFileRead, WhatIsNoPortfolioIsRefusedWithItsError) {
  using E = pf::ReadError;
  const QByteArray t = written(samplePortfolio(), kEnglish);
  const auto upTo = [&t](const char* marker) { return t.left(t.indexOf(marker)); };
  const auto from = [&t](const char* marker) { return t.mid(t.indexOf(marker)); };
  const auto all = [&t](const char* what, const QByteArray& by) {
    return QByteArray(t).replace(what, by);
  };
  const std::pair<QByteArray, E> files[] = {
      {QByteArray(), E::NoRoot},
      {t.left(t.indexOf('\n') + 1), E::NoRoot},  // the declaration only
      {upTo("<IdentRec>"), E::NoFirstBlock},
      {all("IdentRec>", "Portfolio>"), E::NoIdentBlock},
      {all("<IdentRec>\r\n", "<IdentRec>x"), E::NoIdentBlock},      // on a field line
      {upTo("<DataSet_1>") + "</Pelmar_Data>\r\n", E::Unreadable},  // no dataset
      // Text at the dataset level; a dataset without a general record.
      {all("<DataSet_2>", "stray text\r\n<DataSet_2>"), E::Unreadable},
      {upTo("<DataSet_2>") + "<DataSet_2>\r\n</DataSet_2>\r\n</Pelmar_Data>\r\n", E::Unreadable},
      // No funds; a Boolean beyond 32 bits, a 10 MB line.
      {upTo("<KoersRec>") + from("</DataSet_1>"), E::Unreadable},
      {replaced(t, "<EndOfSetB>0<", "<EndOfSetB>99999999999<"), E::Unreadable},
      {all("<Koers>12.3400</Koers>", QByteArray(10 << 20, '7')), E::Unreadable},
      {binaryGarbage(1 << 16), E::Unreadable},
      {upTo("<IdentRec>") + "<IdentRec>\r\n" + binaryGarbage(4096), E::Unreadable}};
  for (std::size_t i = 0; i < std::size(files); ++i) {
    const ReadBack back = readText(files[i].first);
    EXPECT_EQ(back.result.error, files[i].second) << "file " << i << ": " << why(back.result);
  }
}

// Damage that reading used to take in silence, each refused with the line
// the message names and what was expected there.
TEST(PortfolioFileRead, DamagedShapesAndValuesAreRefusedNamingTheLine) {
  const QByteArray t = written(samplePortfolio(), kEnglish);
  const qsizetype set1 = t.indexOf("<DataSet_1>");
  const qsizetype alg = t.indexOf("<AlgemeenRec>", set1);
  const qsizetype rek1 = t.indexOf("<RekeningRec>", set1);
  const qsizetype rek5 = t.lastIndexOf("<RekeningRec>", t.indexOf("<RekNaam>Vijf"));
  const qsizetype fund = t.indexOf("<KoersRec>", set1);
  const QByteArray account = t.mid(rek1, t.indexOf("<RekeningRec>", rek1 + 1) - rek1);
  const QByteArray general = t.mid(alg, rek1 - alg);
  const QByteArray set2 = t.mid(t.indexOf("<DataSet_2>"));
  struct Case {
    QByteArray text;
    qsizetype at;  // where the line the message names starts
    TextId id;
    const char* what;
  };
  // A value replaced; the message names its line.
  const auto value = [&t](const char* from, const QByteArray& to, TextId id, const char* what) {
    const QByteArray text = replaced(t, from, to);
    return Case{text, text.indexOf(to), id, what};
  };
  const QByteArray set2At = t.left(t.indexOf("<DataSet_2>")) + "</Pelmar_Data>\r\n";
  const Case cases[] = {
      // The general record missing: an account in its place.
      {t.left(alg) + t.mid(rek1), alg, TextId::ReadExpected, "AlgemeenRec"},
      // Four accounts, six accounts, a fund block in an account's place.
      {t.left(rek5) + t.mid(fund), rek5, TextId::ReadExpected, "RekeningRec"},
      {t.left(fund) + account + t.mid(fund), fund, TextId::ReadExpected, "KoersRec"},
      {t.left(rek1) + QByteArray(account).replace("RekeningRec>", "KoersRec>") +
           t.mid(rek1 + account.size()),
       rek1, TextId::ReadExpected, "RekeningRec"},
      // A general record between the funds.
      {t.left(fund) + general + t.mid(fund), fund, TextId::ReadExpected, "KoersRec"},
      // The root closed early, on its own line or after a field.
      {set2At + set2, set2At.size(), TextId::ReadAfterRoot, "Pelmar_Data"},
      value("</AdviesR>", "</AdviesR></Pelmar_Data>", TextId::ReadClosedOnField, ""),
      // Numbers that are none, and values no record can hold.
      value("<Koers>12.3400<", "<Koers>abc<", TextId::ReadNoNumber, "Koers"),
      value("<Inleg>1000.0000<", "<Inleg>8.453,93<", TextId::ReadNoNumber, "Inleg"),
      value("<Totaal>98765.4321<", "<Totaal>1,013.00<", TextId::ReadNoNumber, "Totaal"),
      value("<Saldo>-12.5000<", "<Saldo>-12\t5<", TextId::ReadNoNumber, "Saldo"),
      value("<Winst>0.0000<", "<Winst>1.7e38<", TextId::ReadNoNumber, "Winst"),
      value("<Winst>0.0000<", "<Winst>-3" + QByteArray(38, '0') + "<", TextId::ReadOutOfRange,
            "Winst"),
      value("<Datum>38718.0000<", "<Datum>3000000<", TextId::ReadOutOfRange, "Datum"),
      value("<Datum>38718.0000<", "<Datum>1<", TextId::ReadOutOfRange, "Datum"),
      value("<FDuur>-3<", "<FDuur>1.0<", TextId::ReadNoInteger, "FDuur"),
      {replaced(t, "<Datum>38718.0000</Datum>\r\n", ""), t.indexOf("</AlgemeenRec>") - 27,
       TextId::ReadExpected, "Datum"},
  };
  for (const Case& c : cases) {
    const ReadBack back = readText(c.text);
    const int line = static_cast<int>(c.text.left(c.at).count('\n')) + 1;
    SCOPED_TRACE(c.text.mid(c.at, 40).toStdString());
    ASSERT_FALSE(back.result.ok());
    EXPECT_EQ(back.result.reason.id, c.id) << why(back.result);
    EXPECT_EQ(back.result.reason.line, line) << why(back.result);
    EXPECT_EQ(back.result.reason.args, QStringList({QString::number(line), c.what}));
  }
}

// A dataset without its placeholder row keeps all its funds and gets one;
// an empty number is 0, and blank lines may follow the root.
TEST(PortfolioFileRead, ADataSetWithoutItsPlaceholderRowGetsOne) {
  const QByteArray t = written(samplePortfolio(), kEnglish);
  const qsizetype placeholder = t.lastIndexOf("<KoersRec>", t.indexOf("[Nieuw]"));
  QByteArray text = t.left(placeholder) + t.mid(t.indexOf("</DataSet_1>"));
  text = replaced(text, "<Totaal>98765.4321<", "<Totaal> <") + "\r\n   \r\n";
  const ReadBack back = readText(text);
  ASSERT_TRUE(back.result.ok()) << why(back.result);
  EXPECT_EQ(back.result.placeholdersAdded, 1);
  const Portfolio& p = back.portfolio;
  EXPECT_EQ(p.koersAt(7).Ticker.str(), QStringLiteral("ASML"));
  EXPECT_TRUE(p.koersAt(8).isPlaceholder());
  EXPECT_TRUE(p.endOfSetAt(8));
  EXPECT_EQ(p.algAt(1).Totaal, 0.0);

  // Without texts (no language set yet) the row added is one as well, so
  // writing and reading again adds no second one.
  Portfolio bare;
  QByteArray data = text;
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  ASSERT_TRUE(pf::read(buffer, bare, englishOptions()).ok());
  EXPECT_TRUE(bare.koersAt(8).isPlaceholder());
  EXPECT_EQ(readText(written(bare, kDutch)).portfolio.size(), bare.size());
}

TEST(PortfolioFileRead, EveryTruncationIsRefused) {
  const QByteArray text = written(samplePortfolio(), kEnglish);
  // Only a cut inside the final line end keeps the whole portfolio.
  for (qsizetype size = 0; size < text.size() - 2; size += 7) {
    const ReadBack back = readText(text.left(size));
    ASSERT_FALSE(back.result.ok()) << "cut at " << size;
  }
  EXPECT_TRUE(readText(text.left(text.size() - 2)).result.ok());
}

TEST(PortfolioFileRead, ADataSetOfMoreFundsThanTheWindowAddressesIsRefused) {
  QByteArray text = written(samplePortfolio(), kEnglish);
  const qsizetype start = text.indexOf("<KoersRec>");
  const QByteArray fund = text.mid(start, text.indexOf("<KoersRec>", start + 1) - start);
  text.insert(start, fund.repeated(Portfolio::kMaxFundsPerDataSet));
  const ReadBack back = readText(text);
  EXPECT_EQ(back.result.error, pf::ReadError::Unreadable);
  // The line bound leaves room for 256 funds with a split ratio each, so
  // the 257th fund is refused first.
  EXPECT_EQ(back.result.reason.id, TextId::ReadTooManyFunds);
  // Lines beyond what 256 funds can take are refused as such.
  text.insert(start,
              QByteArray("<KoersRec>\r\n" + QByteArray("<Flag1>0</Flag1>\r\n").repeated(10240) +
                         "</KoersRec>\r\n"));
  EXPECT_EQ(readText(text).result.reason.id, TextId::ReadTooManyFundLines);
}

}  // namespace
}  // namespace pelmar
