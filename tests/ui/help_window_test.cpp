#include "ui/dialogs/help_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace pelmar {
namespace {

QString manualFile(Language::Code code) {
  return QStringLiteral(PELMAR_SOURCE_DIR "/data/") + HelpFileName(Language(code, QLocale::c()));
}

QTreeWidgetItem* item(QTreeWidget* tree, const QString& anchor) {
  for (QTreeWidgetItemIterator it(tree); *it; ++it)
    if ((*it)->data(0, Qt::UserRole).toString() == anchor) return *it;
  return nullptr;
}

// The English manual shown at a topic, in an active window.
void showEnglish(HelpWindow& help, const QString& anchor) {
  ASSERT_TRUE(help.showTopic(manualFile(Language::Code::English), anchor,
                             Language(Language::Code::English)));
  ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
}

// The manual opens at its topic, marked in the contents under its chapter,
// and the keys a reader uses scroll it wherever the focus is in the window.
TEST(HelpWindow, OpensAtTheTopicAndTheKeysScrollTheManual) {
  HelpWindow help;
  showEnglish(help, QStringLiteral("thresholds"));
  EXPECT_EQ(help.contents()->currentItem(), item(help.contents(), QStringLiteral("thresholds")));
  EXPECT_EQ(item(help.contents(), QStringLiteral("thresholds"))->parent(),
            item(help.contents(), QStringLiteral("method")));

  QScrollBar* bar = help.browser()->verticalScrollBar();
  const int atTopic = bar->value();
  EXPECT_GT(atTopic, 0);
  QTest::keyClick(help.contents(), Qt::Key_PageDown);
  EXPECT_GT(bar->value(), atTopic);
  QTest::keyClick(help.browser(), Qt::Key_PageUp);
  EXPECT_EQ(bar->value(), atTopic);
  QTest::keyClick(help.browser(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(bar->value(), 0);
  QTest::keyClick(help.contents(), Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(bar->value(), bar->maximum());
}

// Searching leaves the topics that hold every word; Enter shows the first.
TEST(HelpWindow, SearchLeavesTheTopicsThatHoldEveryWord) {
  HelpWindow help;
  showEnglish(help, QStringLiteral("start"));
  QTest::keyClicks(help.searchField(), QStringLiteral("debit interest"));
  EXPECT_FALSE(item(help.contents(), QStringLiteral("accounts"))->isHidden());
  EXPECT_TRUE(item(help.contents(), QStringLiteral("splits"))->isHidden());
  EXPECT_FALSE(help.noMatchLabel()->isVisible());
  QTest::keyClick(help.searchField(), Qt::Key_Return);
  EXPECT_EQ(help.anchor(), QStringLiteral("accounts"));
  EXPECT_EQ(help.browser()->textCursor().selectedText(), QStringLiteral("debit"));
  help.searchField()->setText(QStringLiteral("xyzzy"));
  EXPECT_TRUE(help.noMatchLabel()->isVisible());
  help.searchField()->clear();
  EXPECT_FALSE(item(help.contents(), QStringLiteral("splits"))->isHidden());
}

// The other language's manual replaces the shown one; a missing file shows
// nothing.
TEST(HelpWindow, TheOtherLanguagesManualOrNothing) {
  HelpWindow help;
  showEnglish(help, QStringLiteral("accounts"));
  ASSERT_TRUE(help.showTopic(manualFile(Language::Code::Dutch), QStringLiteral("accounts"),
                             Language(Language::Code::Dutch)));
  EXPECT_EQ(item(help.contents(), QStringLiteral("accounts"))->text(0),
            QStringLiteral("Rekeningen en rente"));
  // Every title of the contents is shown whole.
  const QAbstractItemView* view = help.contents();
  EXPECT_GE(help.contents()->columnWidth(0), view->sizeHintForColumn(0));
  EXPECT_FALSE(help.showTopic(QStringLiteral("/nonexistent/pelmar_en.html"), QString(),
                              Language(Language::Code::English)));
}

}  // namespace
}  // namespace pelmar
