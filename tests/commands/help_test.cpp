#include "commands/help.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

HelpManual shipped(Language::Code code) {
  const QString file =
      QStringLiteral(PELMAR_SOURCE_DIR "/data/") + HelpFileName(Language(code, QLocale::c()));
  const std::optional<HelpManual> manual = HelpManual::Read(file);
  EXPECT_TRUE(manual) << file.toStdString();
  return manual.value_or(HelpManual{});
}

QStringList topicAnchors(const HelpManual& manual) {
  QStringList anchors;
  for (const HelpTopic& topic : manual.topics()) anchors << topic.anchor;
  return anchors;
}

// Both manuals have the same topics under the same anchors, and every topic
// that F1 or a window can ask for is in them: a context the manual lacks
// would open it at the top without a word.
TEST(HelpManual, BothLanguagesAnswerEveryHelpContextAndWindow) {
  const HelpManual dutch = shipped(Language::Code::Dutch);
  const HelpManual english = shipped(Language::Code::English);
  EXPECT_EQ(topicAnchors(dutch), topicAnchors(english));
  EXPECT_EQ(dutch.anchors(), english.anchors());
  for (const char* topic :
       {"datasets", "routine", "saving", "method", "reference", "thresholds", "advice", "rotac",
        "accounts", "splits", "yearclosing", "settings", "prices", "import"})
    EXPECT_TRUE(topicAnchors(english).contains(QLatin1String(topic))) << topic;

  for (int context = 0; context <= 60000; ++context)
    ASSERT_TRUE(english.anchors().contains(HelpAnchor(context))) << context;
  for (const char* window :
       {"DownloadForm", "OptionsForm", "FondsenForm_nl", "FondsenForm_us", "KoersForm",
        "DlgValutaFonds", "DollarDlg", "NieuwFondsForm", "NewFakeFundForm", "AantalKopenForm",
        "KiesRekDlg", "CheckForm", "ServiceForm", "TPrintForm", "TPActiesForm", "GrafiekForm"})
    EXPECT_TRUE(english.anchors().contains(WindowHelpAnchor(QLatin1String(window)))) << window;
  EXPECT_EQ(WindowHelpAnchor(QStringLiteral("Unknown")), QString());
}

TEST(HelpManual, SearchFindsEveryWordWithoutCaseOrAccentsTitlesFirst) {
  const HelpManual manual = HelpManual::FromHtml(
      QStringLiteral("<body><h2 id=\"a\">Accounts</h2><p>Interest &amp; costs of the account.</p>"
                     "<h3 id=\"b\">Costs</h3><p>Paid per trade; <b>interest</b> is not.</p>"
                     "<h2 id=\"c\">Creëren</h2><p>Een nieuw fonds.</p></body>"));
  ASSERT_EQ(manual.topics().size(), 3u);
  EXPECT_EQ(manual.topics()[0].text, QStringLiteral("Interest & costs of the account."));
  EXPECT_EQ(manual.topics()[1].level, 3);
  EXPECT_EQ(manual.Search(QStringLiteral("INTEREST costs")), (std::vector<int>{1, 0}));
  EXPECT_EQ(manual.Search(QStringLiteral("creeren")), (std::vector<int>{2}));
  EXPECT_EQ(manual.Search(QStringLiteral("\"nieuw fonds\"")), (std::vector<int>{2}));
  EXPECT_TRUE(manual.Search(QStringLiteral("interest xyz")).empty());
  EXPECT_TRUE(manual.Search(QStringLiteral("  ")).empty());
  EXPECT_FALSE(HelpManual::Read(QStringLiteral("/nonexistent/manual.html")));
}

}  // namespace
}  // namespace pelmar
