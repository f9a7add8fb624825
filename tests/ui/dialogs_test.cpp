#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "commands/session.h"
#include "ui/dialogs/ask_dlg.h"
#include "ui/dialogs/calendar_dlg.h"
#include "ui/dialogs/message_form.h"
#include "ui/dialogs/save_form.h"
#include "ui/dialogs/show_mess_form.h"
#include "ui/dialogs/yes_no_dlg.h"
#include "ui/platform/qt_prompter.h"

namespace pelmar {
namespace {

// Runs the action once the dialog's own loop runs. A dialog that the action
// leaves open is ended after five seconds, so no test waits for a person.
void whenShown(QWidget* dialog, std::function<void()> action) {
  QTimer::singleShot(0, dialog, std::move(action));
  QTimer::singleShot(5000, dialog, [dialog] {
    if (!dialog->isVisible()) return;
    ADD_FAILURE() << "The dialog stayed open";
    static_cast<QDialog*>(dialog)->done(QDialog::Rejected);
  });
}

QPushButton* button(const QWidget* window, const char* name) {
  return window->findChild<QPushButton*>(QString::fromLatin1(name));
}

void click(const QWidget* window, const char* name) {
  QPushButton* b = button(window, name);
  ASSERT_NE(b, nullptr) << name;
  b->click();
}

void pressKey(QWidget* window, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(window, &press);
}

QString panelText(const QWidget* window, const char* name) {
  const QLabel* l = window->findChild<QLabel*>(QString::fromLatin1(name));
  return l ? l->text() : QStringLiteral("<missing>");
}

bool endsOnlyThroughButtons(const QWidget& window) {
  return !(window.windowFlags() & Qt::WindowCloseButtonHint) &&
         !(window.windowFlags() & Qt::WindowSystemMenuHint);
}

class Dialogs : public ::testing::Test {
 protected:
  Dialogs() : session(QStringLiteral("/data/")) {
    session.setLanguage(Language::Code::Dutch);
    session.clock().fix(QDateTime(QDate(2024, 5, 6), QTime(10, 0)));
  }
  Session session;
  QtPrompter prompter{session, nullptr};
  const DialogArea area{{100, 50, 800, 600}, {}, {0, 0, 1600, 1200}};
};

TEST_F(Dialogs, CalendarPanelsAndArrowsFollowTheChosenDay) {
  session.settings().dateFormat = QStringLiteral("dd-MM-yyyy");
  TCalendarDlg dialog(session);

  dialog.SetDateTime(dateTimeToSerial(QDateTime(QDate(2021, 1, 1), QTime(8, 5, 9))));
  EXPECT_EQ(panelText(&dialog, "WeekPanel"), "53");
  EXPECT_EQ(panelText(&dialog, "DatumPanel"), "01-01-2021");

  // A day clicked in the calendar keeps the time of the spinners.
  auto* calendar = dialog.findChild<QCalendarWidget*>("Calendar1");
  calendar->setSelectedDate(QDate(2024, 2, 29));
  EXPECT_NEAR(dialog.DateTime(), dateTimeToSerial(QDateTime(QDate(2024, 2, 29), QTime(8, 5, 9))),
              1e-9);
  dialog.findChild<QToolButton*>("JaarSpinUp")->click();
  EXPECT_EQ(calendar->selectedDate(), QDate(2025, 2, 28));
  EXPECT_EQ(panelText(&dialog, "JaarPanel"), "2025");

  // Names in the program's language; paging the calendar's months moves
  // the chosen day and its panels along.
  EXPECT_EQ(panelText(&dialog, "MaandPanel"), "februari");
  EXPECT_EQ(calendar->locale().dayName(1, QLocale::ShortFormat), "ma");
  calendar->showNextMonth();
  EXPECT_EQ(calendar->selectedDate(), QDate(2025, 3, 28));
  EXPECT_EQ(panelText(&dialog, "MaandPanel"), "maart");
  session.setLanguage(Language::Code::English);
  dialog.HandleLanguage();
  EXPECT_EQ(panelText(&dialog, "MaandPanel"), "March");
}

TEST_F(Dialogs, PickDateOkCancelTodayAndEsc) {
  TCalendarDlg* dialog = prompter.calendar();
  const QDateTime proposal(QDate(2023, 3, 8), QTime(9, 15));
  const auto setHour = [&](int hour) { dialog->findChild<QSpinBox*>("SpinUur")->setValue(hour); };

  // The question's caption, the focus on OK; Cancel drops the choice.
  whenShown(dialog, [&] {
    EXPECT_EQ(dialog->windowTitle(), "Kies de juiste datum");
    EXPECT_EQ(dialog->focusWidget(), button(dialog, "BtnOK"));
    setHour(17);
    click(dialog, "BtnCancel");
  });
  EXPECT_EQ(prompter.pickDate(QStringLiteral("Kies de juiste datum"), proposal), std::nullopt);

  // OK takes the spinners' time; the caption is the calendar's own again.
  whenShown(dialog, [&] {
    EXPECT_EQ(dialog->windowTitle(), "Pelmar - Kalender");
    setHour(17);
    click(dialog, "BtnOK");
  });
  EXPECT_EQ(prompter.pickDate(QString(), proposal), QDateTime(QDate(2023, 3, 8), QTime(17, 15)));

  whenShown(dialog, [&] { click(dialog, "BtnVandaag"); });
  EXPECT_EQ(prompter.pickDate(QString(), proposal), session.clock().now());
  whenShown(dialog, [&] { pressKey(dialog, Qt::Key_Escape); });
  EXPECT_EQ(prompter.pickDate(QString(), proposal), std::nullopt);
}

TEST_F(Dialogs, QuestionButtonsDefaultAndEsc) {
  TYesNoDlg* dialog = prompter.yesNo();
  EXPECT_TRUE(endsOnlyThroughButtons(*dialog));
  Question q{QStringLiteral("Pelmar - Gewijzigde portefeuille bewaren voor het afsluiten"),
             QStringLiteral("Portefeuille bewaren?"),
             {},
             {},
             {},
             true,
             false};

  // Default texts; No is the default button here; Esc is Cancel. The
  // buttons stand in the platform's order: Yes first, or last where the
  // platform puts the affirmative button last.
  whenShown(dialog, [&] {
    EXPECT_EQ(dialog->focusWidget(), button(dialog, "BtnNo"));
    const int order = dialog->style()->styleHint(QStyle::SH_DialogButtonLayout);
    const bool yesLast =
        order == QDialogButtonBox::MacLayout || order == QDialogButtonBox::GnomeLayout;
    const int yes = button(dialog, "BtnYes")->x();
    const int no = button(dialog, "BtnNo")->x();
    EXPECT_EQ(yes > no, yesLast);
    // Wide enough for its title beside the title bar's buttons.
    EXPECT_GT(dialog->width(),
              dialog->fontMetrics().horizontalAdvance(dialog->windowTitle()) + 100);
    pressKey(dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(prompter.question(q), Answer::Cancel);
  // Return answers with the default button: No here, Yes when Yes is.
  whenShown(dialog, [&] { pressKey(dialog, Qt::Key_Return); });
  EXPECT_EQ(prompter.question(q), Answer::No);
  q.yesIsDefault = true;
  whenShown(dialog, [&] { pressKey(dialog, Qt::Key_Return); });
  EXPECT_EQ(prompter.question(q), Answer::Yes);

  // Without Cancel, the button is hidden and Esc answers No; every button
  // has its Alt letter.
  q.showCancel = false;
  q.yesText = QStringLiteral("Verwijderen");
  whenShown(dialog, [&] {
    EXPECT_FALSE(button(dialog, "BtnCancel")->isVisible());
    EXPECT_EQ(button(dialog, "BtnYes")->text(), "&Verwijderen");
    EXPECT_EQ(button(dialog, "BtnNo")->text(), "&Nee");
    pressKey(dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(prompter.question(q), Answer::No);
  whenShown(dialog, [&] { click(dialog, "BtnYes"); });
  EXPECT_EQ(prompter.question(q), Answer::Yes);
}

TEST_F(Dialogs, AskGivesTheTextBackWhicheverButtonEndsIt) {
  TAskDlg* dialog = prompter.ask();
  EXPECT_TRUE(endsOnlyThroughButtons(*dialog));
  const QString prompt = QStringLiteral("Geef een naam die ") + QString(20, 'x') +
                         QStringLiteral(" lang genoeg is om over meer regels te lopen, zo lang");

  whenShown(dialog, [&] {
    // A long prompt wraps and is never cut.
    auto* label = dialog->findChild<QLabel*>("AskLabel");
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    auto* edit = dialog->findChild<QLineEdit*>("AskEdit");
    EXPECT_EQ(dialog->focusWidget(), edit);
    EXPECT_EQ(edit->text(), "oud");
    edit->setText(QStringLiteral("nieuw"));
    pressKey(dialog, Qt::Key_Escape);
  });
  const InputResult cancelled = prompter.input(QStringLiteral("Naam"), prompt, "oud");
  EXPECT_FALSE(cancelled.accepted);
  EXPECT_EQ(cancelled.text, "nieuw");

  whenShown(dialog, [&] { click(dialog, "BtnOK"); });
  const InputResult ok = prompter.input(QStringLiteral("Naam"), prompt, "oud");
  EXPECT_TRUE(ok.accepted);
  EXPECT_EQ(ok.text, "oud");
}

TEST_F(Dialogs, SavePromptOffersFourChoicesWithSaveAsDefault) {
  TSaveForm form(session);
  EXPECT_TRUE(endsOnlyThroughButtons(form));
  whenShown(&form, [&] {
    EXPECT_TRUE(panelText(&form, "MessageLabel").startsWith("Wilt u het gewijzigde"));
    EXPECT_EQ(form.focusWidget(), button(&form, "BtnSave"));
    pressKey(&form, Qt::Key_Escape);
  });
  EXPECT_EQ(form.Execute(area, QString()), SaveChoice::Cancel);

  const struct {
    const char* button;
    SaveChoice choice;
  } rows[] = {{"BtnSave", SaveChoice::SaveChanges},
              {"BtnSaveNew", SaveChoice::SaveWithNew},
              {"BtnClose", SaveChoice::CloseWithoutSaving},
              {"BtnCancel", SaveChoice::Cancel}};
  for (const auto& row : rows) {
    whenShown(&form, [&] { click(&form, row.button); });
    EXPECT_EQ(form.Execute(area, QStringLiteral("Bewaren?")), row.choice) << row.button;
  }
  EXPECT_EQ(panelText(&form, "MessageLabel"), "Bewaren?");
}

// With entries of today the default button saves the dataset "New" too:
// Enter, as a person presses it, keeps them.
TEST_F(Dialogs, SavePromptWithEntriesOfTodayDefaultsToSavingThemToo) {
  TSaveForm form(session);
  whenShown(&form, [&] {
    EXPECT_EQ(form.focusWidget(), button(&form, "BtnSaveNew"));
    EXPECT_TRUE(button(&form, "BtnSaveNew")->isDefault());
    EXPECT_FALSE(button(&form, "BtnSave")->isDefault());
    pressKey(&form, Qt::Key_Return);
  });
  EXPECT_EQ(form.Execute(area, QStringLiteral("Bewaren?"), SaveChoice::SaveWithNew),
            SaveChoice::SaveWithNew);
}

// The year question at opening: Enter answers No.
TEST_F(Dialogs, TheYearQuestionHasNoAsItsDefault) {
  Question question;
  question.caption = QStringLiteral("Pelmar - Jaarafsluiting");
  question.message = QStringLiteral("Een nieuw jaar is begonnen.");
  question.showCancel = true;
  question.yesIsDefault = false;
  QTimer::singleShot(0, [] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->defaultButton()->text(), "&Nee");
    box->defaultButton()->click();
  });
  EXPECT_EQ(prompter.questionWithCheck(question, QStringLiteral("Niet opnieuw tonen")).answer,
            Answer::No);
}

TEST_F(Dialogs, TimedMessageShowsEveryLineAndClosesItself) {
  TMessageForm form;
  form.ShowTimedMessage(area, 30, QStringLiteral("Kort"), QStringLiteral("De tweede regel"));
  const auto* memo = form.findChild<QPlainTextEdit*>("MessageMemo");
  EXPECT_EQ(memo->toPlainText(), "Kort\nDe tweede regel");
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.isModal());
  QEventLoop loop;
  QTimer::singleShot(200, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(Dialogs, NoticeHasABlueFrameAndClosesOnRequest) {
  prompter.showNotice(QStringLiteral("Bezig met rekenen"), QStringLiteral("Even geduld"));
  TShowMessForm* notice = prompter.notice();
  ASSERT_TRUE(notice->isVisible());
  EXPECT_EQ(panelText(notice, "Label1"), "Bezig met rekenen");
  EXPECT_TRUE(notice->windowFlags() & Qt::FramelessWindowHint);
  // The frame stands inside the edge, on every side.
  const QImage image = notice->grab().toImage();
  const QColor blue(0, 0, 255);
  EXPECT_NE(image.pixelColor(0, 0), blue);
  EXPECT_EQ(image.pixelColor(1, 10), blue);
  EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() - 2), blue);
  prompter.closeNotice();
  EXPECT_FALSE(notice->isVisible());
}

}  // namespace
}  // namespace pelmar
