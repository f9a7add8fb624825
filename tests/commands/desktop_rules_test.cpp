#include "commands/desktop_rules.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

// Both languages' File menus get a letter per item; kept mnemonics stay,
// a word's first letter comes before others, and a second run changes
// nothing.
TEST(DesktopRules, EveryCaptionOfAGroupGetsItsOwnMnemonic) {
  const QStringList english = {"File", "Actions", "Graphs", "Options", "Help"};
  EXPECT_EQ(AssignMnemonics(english),
            (QStringList{"&File", "&Actions", "&Graphs", "&Options", "&Help"}));
  const QStringList dutch = {"&Bestand", "Acties", "Grafieken", "Opties", "Help"};
  EXPECT_EQ(AssignMnemonics(dutch),
            (QStringList{"&Bestand", "&Acties", "&Grafieken", "&Opties", "&Help"}));

  const QStringList items = {"Open File",     "Save File", "Save as...", "Overzicht &Portefeuille",
                             "Print && Mail", "Exit",      "",           "Pp"};
  const QStringList marked = AssignMnemonics(items);
  EXPECT_EQ(marked, (QStringList{"&Open File", "&Save File", "Save &as...",
                                 "Overzicht &Portefeuille", "Print && &Mail", "&Exit", "", "Pp"}))
      << "the kept P leaves Pp without a letter";
  EXPECT_EQ(AssignMnemonics(marked), marked);
}

TEST(DesktopRules, StandardKeysAndEscape) {
  EXPECT_EQ(StandardKeyOf(u"SaveAs").key, StandardKey::SaveAs);
  EXPECT_EQ(StandardKeyOf(u"Einde").fallback.toString(), "Ctrl+Q");
  EXPECT_EQ(StandardKeyOf(u"VorigeDatum").key, StandardKey::None);

  EXPECT_EQ(QtCatalogueFor(Language(Language::Code::Dutch)), "qtbase_nl");
  EXPECT_TRUE(QtCatalogueFor(Language(Language::Code::English)).isEmpty());

  Question yesNo;
  EXPECT_EQ(EscapeAnswer(yesNo), Answer::No);
  yesNo.showCancel = true;
  EXPECT_EQ(EscapeAnswer(yesNo), Answer::Cancel);
}

// The chart window's stored 900×600 at y 315 and a report of 700×875 on a
// 1280×900 screen whose panel takes the top 28 pixels.
TEST(DesktopRules, AWindowFitsTheAvailableArea) {
  const QRect available(0, 28, 1280, 872);
  EXPECT_EQ(FitIntoArea(QRect(100, 315, 900, 600), available), QRect(100, 300, 900, 600));
  EXPECT_EQ(FitIntoArea(QRect(50, 10, 700, 875), available), QRect(50, 28, 700, 872));
  EXPECT_EQ(FitIntoArea(QRect(-40, 40, 1400, 300), available), QRect(0, 40, 1280, 300));
  EXPECT_EQ(FitIntoArea(QRect(10, 40, 300, 200), available), QRect(10, 40, 300, 200));
  EXPECT_GT(WidthForTitle(150), 150 + 120) << "room for the title bar's icon and buttons";
}

}  // namespace
}  // namespace pelmar
