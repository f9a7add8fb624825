#include "ui/prices/csv_import_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "support/portfolio_fixture.h"

namespace pelmar {
namespace {

QByteArray saved(const char* name) {
  QFile file(QStringLiteral(PELMAR_SOURCE_DIR "/tests/data/csv/") + name);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CsvImportDialogTest : public test::PortfolioFixture {
 protected:
  CsvImportDialog dialog{session};
};

TEST_F(CsvImportDialogTest, ShowsTheFirstRowsAndReadsTheFileAgainAtEachChoice) {
  const QByteArray bytes = saved("google_sheets.csv");
  const PriceTable found = ReadPriceTable(bytes, "google_sheets.csv", QDate(2024, 1, 8));
  ASSERT_EQ(found.ask, PriceTable::Ask::DateOrder);
  dialog.load(bytes, "google_sheets.csv", found);
  EXPECT_EQ(dialog.Preview->rowCount(), 5);
  EXPECT_EQ(dialog.Preview->item(1, 0)->text(), "1/2/2024 16:00:00");
  EXPECT_EQ(dialog.ComboClose->currentText(), "2 Close");
  // The file cannot tell the order: the user's choice decides what it gives.
  EXPECT_TRUE(dialog.ComboOrder->isEnabled());
  dialog.ComboOrder->setCurrentIndex(static_cast<int>(DateOrder::MonthDayYear));
  EXPECT_EQ(dialog.LabelResult->text(), "4 closes from 2024-01-02 to 2024-01-05");
  EXPECT_TRUE(dialog.BtnOK->isEnabled());
  EXPECT_EQ(dialog.choices().dateOrder, DateOrder::MonthDayYear);

  // A close column that holds no prices cannot be taken.
  dialog.ComboClose->setCurrentIndex(0);
  EXPECT_FALSE(dialog.BtnOK->isEnabled());
  EXPECT_TRUE(dialog.LabelResult->text().startsWith("line 2: "));
}

TEST_F(CsvImportDialogTest, AFileThatSettlesTheOrderKeepsIt) {
  const QByteArray bytes = saved("dutch_broker.csv");
  dialog.load(bytes, "dutch_broker.csv",
              ReadPriceTable(bytes, "dutch_broker.csv", QDate(2024, 1, 8)));
  EXPECT_FALSE(dialog.ComboOrder->isEnabled());
  EXPECT_EQ(dialog.ComboDate->currentText(), "1 Datum");
  EXPECT_EQ(dialog.LabelResult->text(), "5 closes from 2023-12-29 to 2024-01-05");
}

}  // namespace
}  // namespace pelmar
