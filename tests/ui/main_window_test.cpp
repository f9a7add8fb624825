#include "ui/main/main_window.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "commands/session.h"

namespace pelmar {
namespace {

TEST(MainWindow, ShowsTheCaptionAndNothingReadInTheChosenLanguage) {
  Session session(QStringLiteral("/data/"));
  session.setLanguage(Language::Code::Dutch);
  TMainForm window(session);
  window.show();
  EXPECT_EQ(window.windowTitle(), "Pelmar, versie 1.32a ");
  EXPECT_EQ(window.nodePanel()->text(), "Niets gelezen");
  EXPECT_EQ(window.size(), QSize(720, 540));

  session.setLanguage(Language::Code::English);
  window.HandleLanguage();
  EXPECT_EQ(window.windowTitle(), "Pelmar, version 1.32a ");
  EXPECT_EQ(window.nodePanel()->text(), "Nothing read");
}

}  // namespace
}  // namespace pelmar
