#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "commands/properties.h"
#include "support/portfolio_fixture.h"
#include "ui/dialogs/calendar_dlg.h"
#include "ui/dialogs/message_form.h"
#include "ui/dialogs/yes_no_dlg.h"
#include "ui/platform/qt_prompter.h"

// Whether the dialogs show their whole text, open centred on the window
// that asks and stay on the screen. The tests run once on the default
// offscreen screen and once more (ctest "dialog_layout_200") on a screen at
// 200 % scaling, where the screen is half as large in window pixels and text
// is measured at twice the resolution.
namespace pelmar {
namespace {

constexpr int kSlack = 3;  // pixels a centre may be off by rounding

std::string str(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) +
         "x" + std::to_string(r.height());
}

// Runs the check on the modal dialog once it is up, then closes it.
void whenModalShown(std::function<void(QWidget*)> check) {
  QTimer::singleShot(300, [check = std::move(check)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
      ADD_FAILURE() << "no dialog";
      return;
    }
    check(modal);
    if (modal->isVisible()) static_cast<QDialog*>(modal)->reject();
  });
}

// A memo shows all its text when it needs no scrolling (it wraps its lines,
// so only the height counts).
void expectWholeText(const QPlainTextEdit* memo, const QString& what) {
  ASSERT_NE(memo, nullptr) << what.toStdString();
  EXPECT_EQ(memo->verticalScrollBar()->maximum(), 0) << what.toStdString();
}

class DialogLayout : public test::PortfolioFixture,
                     public ::testing::WithParamInterface<Language::Code> {
 protected:
  DialogLayout() : PortfolioFixture(GetParam()) {
    session.clock().fix(QDate(2024, 5, 6));
    start(QDate(2024, 1, 5));
    addFund("DBG", 6000, 1013, 7.05);
    calc();
    const QScreen* primary = QGuiApplication::primaryScreen();
    screen = primary->availableGeometry();
    // The scaled run names the scale it is meant to run at.
    if (const QByteArray scale = qgetenv("PELMAR_EXPECTED_SCALE"); !scale.isEmpty()) {
      EXPECT_EQ(primary->devicePixelRatio(), scale.toDouble());
    }
    // The main window's size, towards the top left of the screen, so a
    // dialog placed badly shows past its right or bottom edge.
    owner.resize(714, 588);
    owner.move(screen.topLeft() + QPoint(20, 10));
    owner.show();
    prompter.setOwner(&owner);
  }

  // The dialog's frame lies on the screen and is centred on the owner's
  // frame, unless the screen made it move.
  void expectPlaced(const QWidget* dialog, const QString& what) {
    const QRect frame = dialog->frameGeometry();
    const std::string name = what.toStdString();
    EXPECT_TRUE(screen.contains(frame)) << name << " " << str(frame) << " on " << str(screen);
    const QRect ownerFrame = owner.frameGeometry();
    const QPoint wanted = ownerFrame.center() - QPoint(frame.width() / 2, frame.height() / 2);
    const auto near = [](int got, int want, int low, int high) {
      // Moved onto the screen where centring would leave it.
      return std::abs(got - std::clamp(want, low, std::max(low, high))) <= kSlack;
    };
    EXPECT_TRUE(near(frame.left(), wanted.x(), screen.left(), screen.right() + 1 - frame.width()))
        << name << " " << str(frame) << " over " << str(ownerFrame);
    EXPECT_TRUE(near(frame.top(), wanted.y(), screen.top(), screen.bottom() + 1 - frame.height()))
        << name << " " << str(frame) << " over " << str(ownerFrame);
  }

  QWidget owner;
  QRect screen;
  QtPrompter prompter{session, nullptr};
};

TEST_P(DialogLayout, PropertiesNoticeShowsEveryLineOverTheWindow) {
  const QString text = PropertiesText(session, path("Port/Test-1.xml"), 292614);
  prompter.timedMessage(session.text(TextId::PropertiesHeading), text, 10000);
  TMessageForm* form = prompter.messageForm();
  ASSERT_TRUE(form->isVisible());
  const auto* memo = form->findChild<QPlainTextEdit*>("MessageMemo");
  EXPECT_TRUE(memo->toPlainText().endsWith(text.section(QStringLiteral("\r\n"), -1)));
  expectWholeText(memo, QStringLiteral("properties"));
  expectPlaced(form, QStringLiteral("properties"));
  // It fits inside the main window wherever the window fits on the screen.
  if (screen.contains(owner.frameGeometry())) {
    EXPECT_TRUE(owner.frameGeometry().contains(form->frameGeometry()));
  }
  form->close();
}

TEST_P(DialogLayout, QuestionsShowTheirWholeTextOverTheWindow) {
  Question currency;
  currency.caption = session.text(TextId::SelectCurrencyTitle);
  currency.message = session.text(TextId::SelectCurrencyQuestion);
  Question many = currency;
  many.message = QStringList(12, session.text(TextId::SelectCurrencyQuestion)).join("\r\n");
  many.showCancel = true;
  TYesNoDlg* dialog = prompter.yesNo();
  for (const Question& q : {currency, many}) {
    whenModalShown([&](QWidget* shown) {
      EXPECT_EQ(shown, dialog);
      const auto* memo = dialog->findChild<QPlainTextEdit*>("MessageMemo");
      expectWholeText(memo, q.message.left(20));
      EXPECT_EQ(memo->toPlainText().count('\n'), q.message.count('\n'));
      expectPlaced(dialog, QStringLiteral("question"));
      dialog->findChild<QPushButton*>("BtnNo")->click();
    });
    EXPECT_EQ(prompter.question(q), Answer::No);
  }
}

TEST_P(DialogLayout, CalendarOpensOverTheWindow) {
  TCalendarDlg* dialog = prompter.calendar();
  whenModalShown([&](QWidget* shown) {
    EXPECT_EQ(shown, dialog);
    expectPlaced(dialog, QStringLiteral("calendar"));
  });
  EXPECT_EQ(prompter.pickDate(QString(), QDateTime()), std::nullopt);
}

TEST_P(DialogLayout, OpenDialogShowsItsColumnsWhole) {
  test::writeFile(path("Port/Test-1.xml"), QByteArray(292614, 'x'));
  test::writeFile(path("Port/A portfolio with a rather long name.xml"), "<x/>");
  whenModalShown([&](QWidget* shown) {
    ASSERT_NE(qobject_cast<QFileDialog*>(shown), nullptr);
    expectPlaced(shown, QStringLiteral("open"));
    const auto* view = shown->findChild<QTreeView*>();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->model()->rowCount(view->rootIndex()), 2);
    // Every cell's text fits its column (a cut text ends in "...").
    const QAbstractItemModel* model = view->model();
    for (int column = 1; column < view->header()->count(); ++column) {
      if (view->isColumnHidden(column)) continue;
      EXPECT_GE(view->columnWidth(column), view->header()->sectionSizeHint(column)) << column;
      for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        const QString text = model->index(row, column, view->rootIndex()).data().toString();
        EXPECT_GT(view->columnWidth(column), view->fontMetrics().horizontalAdvance(text))
            << column << " " << text.toStdString();
      }
    }
    EXPECT_LE(view->header()->length(), view->viewport()->width() + kSlack);
  });
  EXPECT_EQ(prompter.openFileName(QStringLiteral("Open"), path("Port"), "Pelmar (*.xml)"),
            std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, DialogLayout,
                         ::testing::Values(Language::Code::Dutch, Language::Code::English),
                         [](const auto& info) {
                           return info.param == Language::Code::Dutch ? "Dutch" : "English";
                         });

}  // namespace
}  // namespace pelmar
