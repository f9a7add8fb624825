#include "prices/price_table.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace pelmar {
namespace {

const QString kCsv = QStringLiteral(PELMAR_SOURCE_DIR "/tests/data/csv/");
const QDate kToday(2024, 1, 8);

QByteArray bytesOf(const QString& name) {
  QFile file(kCsv + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString english(const Reason& reason) {
  return reason.text(Language(Language::Code::English));
}

// Every export layout beside its expected closes ("NAME.expected": the
// download lines, after "order: mdy" when the file cannot tell the order).
TEST(PriceTable, EveryCollectedLayoutGivesItsExpectedCloses) {
  const QStringList layouts = QDir(kCsv).entryList({"*.expected"}, QDir::Files, QDir::Name);
  ASSERT_GE(layouts.size(), 10);
  for (const QString& expectedFile : layouts) {
    const QString name = QString(expectedFile).replace(".expected", ".csv");
    QStringList expected =
        QString::fromLatin1(bytesOf(expectedFile)).split('\n', Qt::SkipEmptyParts);
    TableChoices choices;
    if (expected.value(0).startsWith("order: ")) {
      choices.dateOrder = dateOrderFromText(expected.takeFirst().mid(7));
      // Without the order the file is not read but asked about.
      const PriceTable asked = ReadPriceTable(bytesOf(name), name, kToday);
      EXPECT_EQ(asked.ask, PriceTable::Ask::DateOrder) << name.toStdString();
      EXPECT_TRUE(asked.downloadLines.isEmpty());
    }
    const PriceTable table = ReadPriceTable(bytesOf(name), name, kToday, choices);
    EXPECT_FALSE(table.refused) << name.toStdString() << ": "
                                << (table.refused ? english(*table.refused).toStdString() : "");
    EXPECT_EQ(table.downloadLines, expected) << name.toStdString();
    EXPECT_EQ(table.newest, QDate(2024, 1, 5)) << name.toStdString();
  }
}

TEST(PriceTable, TheOtherDateOrderReadsOtherDaysAndTheFileOverrulesAWrongOne) {
  TableChoices dmy;
  dmy.dateOrder = DateOrder::DayMonthYear;
  const PriceTable other =
      ReadPriceTable(bytesOf("google_sheets.csv"), "g.csv", QDate(2024, 12, 31), dmy);
  EXPECT_EQ(other.downloadLines,
            QStringList({"240201,185.64", "240301,184.25", "240401,181.91", "240501,181.18"}));
  // A day above 12 settles the order whatever was given.
  const PriceTable settled = ReadPriceTable(bytesOf("nasdaq_historical.csv"), "n.csv", kToday, dmy);
  EXPECT_TRUE(settled.dateOrderFromFile);
  EXPECT_EQ(settled.dateOrder, DateOrder::MonthDayYear);
  EXPECT_EQ(settled.newest, QDate(2024, 1, 5));
}

TEST(PriceTable, DamagedFilesAreRefusedWithTheirLine) {
  const struct {
    const char* file;
    const char* reason;
  } cases[] = {
      {"damaged_price.csv", "line 4: \"18.1.91\" is no price"},
      {"damaged_short_row.csv", "line 3: 2 fields, the heading has 3"},
      {"damaged_decimal_comma.csv", "line 2: 3 fields, the heading has 2"},
      {"damaged_future.csv", "line 3: 2024-01-10 lies outside the hundred years ending tomorrow"},
      {"damaged_mixed_order.csv",
       "line 3: \"14/01/2024\" does not fit the order of day and month of line 2"},
      {"damaged_huge.csv", "line 3: \"1e308\" is no price"},
      {"damaged_twice.csv", "line 4: 2024-01-03 appears twice"},
      {"damaged_quote.csv", "line 2: a quote is not closed"},
  };
  for (const auto& c : cases) {
    const PriceTable table = ReadPriceTable(bytesOf(c.file), c.file, kToday);
    ASSERT_TRUE(table.refused) << c.file;
    EXPECT_EQ(english(*table.refused), c.reason) << c.file;
    EXPECT_EQ(table.refused->file, c.file);
    EXPECT_TRUE(table.downloadLines.isEmpty());
  }
}

TEST(PriceTable, WithoutAHeadingTheColumnsAreAskedFor) {
  const QByteArray bytes = "ASML Holding\n05-01-2024;627,70;1200\n04-01-2024;619,80;1100\n";
  const PriceTable asked = ReadPriceTable(bytes, "x.csv", kToday);
  EXPECT_EQ(asked.ask, PriceTable::Ask::Columns);
  ASSERT_EQ(asked.preview.size(), 3);
  EXPECT_EQ(asked.preview[1], QStringList({"05-01-2024", "627,70", "1200"}));

  TableChoices columns;
  columns.dateColumn = 0;
  columns.closeColumn = 1;
  columns.dateOrder = DateOrder::DayMonthYear;
  const PriceTable read = ReadPriceTable(bytes, "x.csv", kToday, columns);
  EXPECT_FALSE(read.refused);
  EXPECT_EQ(read.downloadLines, QStringList({"240104,619.80", "240105,627.70"}));
}

}  // namespace
}  // namespace pelmar
