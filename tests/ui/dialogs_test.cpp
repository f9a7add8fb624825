#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "commands/session.h"
#include "ui/dialogs/ask_dlg.h"
#include "ui/dialogs/calendar_dlg.h"
#include "ui/dialogs/dialog_look.h"
#include "ui/dialogs/message_form.h"
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

void click(QWidget* window, const char* button) {
  QPushButton* b = window->findChild<QPushButton*>(QString::fromLatin1(button));
  ASSERT_NE(b, nullptr) << button;
  b->click();
}

QString panelText(const QWidget* window, const char* name) {
  const QLabel* l = window->findChild<QLabel*>(QString::fromLatin1(name));
  return l ? l->text() : QStringLiteral("<missing>");
}

void wait(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
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
  const QRect area{100, 50, 800, 600};
};

TEST(DialogLook, WindowsColoursAreBlueGreenRed) {
  EXPECT_EQ(windowsColor(kDialogColor), QColor(255, 255, 227));
  EXPECT_EQ(windowsColor(kHoverColor), QColor(0, 255, 255));
  EXPECT_EQ(windowsColor(kFrameBlue), QColor(0, 0, 255));
}

TEST_F(Dialogs, CalendarPanelsShowTheChosenDay) {
  session.settings().dateFormat = QStringLiteral("dd-MM-yyyy");
  TCalendarDlg dialog(session);
  EXPECT_EQ(dialog.windowTitle(), "Pelmar - Kalender");
  EXPECT_EQ(panelText(&dialog, "JaarLabel"), "Jaar");
  EXPECT_EQ(dialog.findChild<QPushButton*>("BtnVandaag")->text(), "Vandaag");
  EXPECT_EQ(dialog.findChild<QSpinBox*>("SpinUur")->value(), 12);

  dialog.SetDateTime(dateTimeToSerial(QDateTime(QDate(2021, 1, 1), QTime(8, 5, 9))));
  EXPECT_EQ(panelText(&dialog, "WeekPanel"), "53");
  EXPECT_EQ(panelText(&dialog, "JaarPanel"), "2021");
  EXPECT_EQ(panelText(&dialog, "KwartaalPanel"), "1");
  EXPECT_EQ(panelText(&dialog, "MaandPanel"), QLocale().monthName(1, QLocale::LongFormat));
  EXPECT_EQ(panelText(&dialog, "DatumPanel"), "01-01-2021");
  EXPECT_EQ(dialog.findChild<QSpinBox*>("SpinUur")->value(), 8);
  EXPECT_EQ(dialog.findChild<QSpinBox*>("SpinMinuut")->value(), 5);
  EXPECT_EQ(dialog.findChild<QSpinBox*>("SpinSeconde")->value(), 9);

  dialog.findChild<QCalendarWidget*>("Calendar1")->setSelectedDate(QDate(2024, 12, 31));
  EXPECT_EQ(panelText(&dialog, "WeekPanel"), "53");
  EXPECT_EQ(panelText(&dialog, "KwartaalPanel"), "4");
  // The time of the spinners stays with the new day.
  EXPECT_NEAR(dialog.DateTime(), dateTimeToSerial(QDateTime(QDate(2024, 12, 31), QTime(8, 5, 9))),
              1e-9);
}

TEST_F(Dialogs, CalendarYearAndMonthArrowsStepTheCalendar) {
  TCalendarDlg dialog(session);
  auto* calendar = dialog.findChild<QCalendarWidget*>("Calendar1");
  dialog.SetDateTime(dateToSerial(QDate(2024, 2, 29)));
  dialog.findChild<QToolButton*>("JaarSpinUp")->click();
  EXPECT_EQ(calendar->selectedDate(), QDate(2025, 2, 28));
  EXPECT_EQ(panelText(&dialog, "JaarPanel"), "2025");
  dialog.findChild<QToolButton*>("MaandSpinDown")->click();
  EXPECT_EQ(calendar->selectedDate(), QDate(2025, 1, 28));
  EXPECT_EQ(dialog.Date(), dateToSerial(QDate(2025, 1, 28)));
}

TEST_F(Dialogs, CalendarOkCancelAndToday) {
  TCalendarDlg dialog(session);
  const DateTime proposal = dateTimeToSerial(QDateTime(QDate(2023, 3, 8), QTime(9, 15)));
  dialog.SetDateTime(proposal);

  // Cancel: the focus was on OK; the proposal stays.
  whenShown(&dialog, [&] {
    EXPECT_EQ(dialog.focusWidget(), dialog.findChild<QPushButton*>("BtnOK"));
    dialog.findChild<QSpinBox*>("SpinUur")->setValue(17);
    click(&dialog, "BtnCancel");
  });
  EXPECT_FALSE(dialog.Execute(true));
  EXPECT_EQ(dialog.Date(), dateToSerial(QDate(2023, 3, 8)));

  // OK takes the spinners' time.
  whenShown(&dialog, [&] { click(&dialog, "BtnOK"); });
  EXPECT_TRUE(dialog.Execute(true));
  EXPECT_NEAR(dialog.DateTime(), dateTimeToSerial(QDateTime(QDate(2023, 3, 8), QTime(17, 15))),
              1e-9);

  // Today: the moment DateTime is asked, not the moment of the click.
  whenShown(&dialog, [&] { click(&dialog, "BtnVandaag"); });
  EXPECT_TRUE(dialog.Execute(true));
  EXPECT_EQ(dialog.Date(), dateToSerial(QDate(2024, 5, 6)));
  const QDateTime later(QDate(2024, 5, 6), QTime(10, 42, 7));
  session.clock().fix(later);
  EXPECT_NEAR(dialog.DateTime(), dateTimeToSerial(later), 1e-9);

  // Esc is Cancel, and Execute(false) puts the focus on Cancel.
  whenShown(&dialog, [&] {
    EXPECT_EQ(dialog.focusWidget(), dialog.findChild<QPushButton*>("BtnCancel"));
    dialog.reject();
  });
  EXPECT_FALSE(dialog.Execute(false));
}

TEST_F(Dialogs, PickDateThroughThePrompter) {
  QtPrompter prompter(session, nullptr);
  const QDateTime proposal(QDate(2024, 5, 3), QTime(12, 0));
  whenShown(prompter.calendar(), [&] {
    EXPECT_EQ(prompter.calendar()->windowTitle(), "Kies de juiste datum");
    click(prompter.calendar(), "BtnOK");
  });
  EXPECT_EQ(prompter.pickDate(QStringLiteral("Kies de juiste datum"), proposal), proposal);

  whenShown(prompter.calendar(), [&] { click(prompter.calendar(), "BtnCancel"); });
  EXPECT_EQ(prompter.pickDate(QString(), proposal), std::nullopt);
  EXPECT_EQ(prompter.calendar()->windowTitle(), "Pelmar - Kalender");

  whenShown(prompter.calendar(), [&] { click(prompter.calendar(), "BtnOK"); });
  EXPECT_EQ(prompter.pickDate(QString(), QDateTime()), session.clock().now());
}

TEST_F(Dialogs, QuestionPanelFitsItsMessage) {
  TYesNoDlg dialog(session);
  EXPECT_TRUE(endsOnlyThroughButtons(dialog));

  Question word{QStringLiteral("Pelmar"), QStringLiteral("Bewaren?"), {}, {}, {}, false, true};
  dialog.prepare(area, word);
  auto* panel = dialog.findChild<QFrame*>("MessagePanel");
  auto* yes = dialog.findChild<QPushButton*>("BtnYes");
  auto* no = dialog.findChild<QPushButton*>("BtnNo");
  EXPECT_EQ(panel->width(), 3 * no->width() + 2 * 12);
  EXPECT_EQ(no->geometry().right(), panel->geometry().right());
  EXPECT_EQ(yes->x(), panel->x());
  EXPECT_EQ(yes->text(), "Ja");
  EXPECT_EQ(no->text(), "Nee");
  EXPECT_FALSE(dialog.findChild<QPushButton*>("BtnCancel")->isVisibleTo(&dialog));
  EXPECT_EQ(dialog.width(), panel->width() + 32);
  EXPECT_EQ(dialog.pos(),
            QPoint(100 + (800 - dialog.width()) / 2, 50 + (600 - dialog.height()) / 2));

  Question lines = word;
  lines.message = QStringLiteral("Een\rTwee\rDrie\rVier");
  dialog.prepare(area, lines);
  auto* memo = dialog.findChild<QPlainTextEdit*>("MessageMemo");
  EXPECT_EQ(memo->document()->blockCount(), 4);
  EXPECT_EQ(memo->height(), 5 * 14);
  EXPECT_EQ(panel->height(), 5 * 14 + 15);
}

TEST_F(Dialogs, QuestionAnswersThroughThePrompter) {
  QtPrompter prompter(session, nullptr);
  Question q{QStringLiteral("Pelmar"),
             QStringLiteral("Portefeuille bewaren?"),
             QStringLiteral("Ja"),
             QStringLiteral("Nee"),
             QStringLiteral("Annuleren"),
             true,
             false};
  TYesNoDlg* dialog = prompter.yesNo();

  whenShown(dialog, [&] {
    EXPECT_EQ(dialog->focusWidget(), dialog->findChild<QPushButton*>("BtnNo"));
    click(dialog, "BtnCancel");
  });
  EXPECT_EQ(prompter.question(q), Answer::Cancel);
  whenShown(dialog, [&] { click(dialog, "BtnNo"); });
  EXPECT_EQ(prompter.question(q), Answer::No);

  // Without Cancel, Esc leaves the question open until a button ends it.
  q.showCancel = false;
  whenShown(dialog, [&] {
    dialog->reject();
    EXPECT_TRUE(dialog->isVisible());
    click(dialog, "BtnYes");
  });
  EXPECT_EQ(prompter.question(q), Answer::Yes);
}

TEST_F(Dialogs, AskGivesTheTextBackWhicheverButtonEndsIt) {
  QtPrompter prompter(session, nullptr);
  TAskDlg* dialog = prompter.ask();
  EXPECT_TRUE(endsOnlyThroughButtons(*dialog));

  whenShown(dialog, [&] {
    EXPECT_EQ(dialog->windowTitle(), "Pelmar - Naam");
    EXPECT_EQ(dialog->findChild<QPushButton*>("BtnCancel")->text(), "Annuleren");
    auto* edit = dialog->findChild<QLineEdit*>("AskEdit");
    EXPECT_EQ(dialog->focusWidget(), edit);
    EXPECT_EQ(edit->text(), "oud");
    edit->setText(QStringLiteral("nieuw"));
    click(dialog, "BtnCancel");
  });
  const InputResult cancelled =
      prompter.input(QStringLiteral("Naam"), QStringLiteral("Geef de naam"), QStringLiteral("oud"));
  EXPECT_FALSE(cancelled.accepted);
  EXPECT_EQ(cancelled.text, "nieuw");

  whenShown(dialog, [&] { click(dialog, "BtnOK"); });
  const InputResult ok =
      prompter.input(QStringLiteral("Naam"), QStringLiteral("Geef de naam"), QStringLiteral("oud"));
  EXPECT_TRUE(ok.accepted);
  EXPECT_EQ(ok.text, "oud");
}

TEST_F(Dialogs, AskLabelHoldsALongPrompt) {
  TAskDlg dialog(session);
  const QString prompt = QStringLiteral("Geef een naam die ") + QString(20, 'x') +
                         QStringLiteral(" lang genoeg is om over meer regels te lopen, zo lang");
  dialog.prepare(area, QString(), prompt, QStringLiteral("Naam"));
  auto* label = dialog.findChild<QLabel*>("AskLabel");
  EXPECT_GE(label->height(), label->heightForWidth(label->width()));
  auto* edit = dialog.findChild<QLineEdit*>("AskEdit");
  EXPECT_EQ(edit->y(), label->geometry().bottom() + 1 + 10);
}

TEST_F(Dialogs, TimedMessageIsAsWideAsItsLongerLineAndClosesItself) {
  TMessageForm form;
  const QString line2 = QStringLiteral("De tweede regel is langer dan de eerste");
  form.ShowTimedMessage(area, 30, QStringLiteral("Kort"), line2);
  const auto* memo = form.findChild<QPlainTextEdit*>("MessageMemo");
  const int textWidth = QFontMetrics(form.font()).horizontalAdvance(line2);
  ASSERT_LT(textWidth, 400);
  EXPECT_EQ(memo->geometry(), QRect(20, 20, textWidth + 20, memo->height()));
  EXPECT_EQ(form.width(), textWidth + 50);
  EXPECT_EQ(form.height(), memo->height() + 50);
  EXPECT_EQ(form.pos(), QPoint(100 + (800 - form.width()) / 2, 50 + (600 - form.height()) / 2));
  EXPECT_EQ(memo->document()->blockCount(), 2);
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.isModal());
  wait(200);
  EXPECT_FALSE(form.isVisible());

  // Wider than 400 px: the memo stops at 420 and the wrapped lines all fit.
  const QString wide = QStringList(12, QStringLiteral("breedte")).join(QChar(' '));
  form.ShowTimedMessage(area, 5000, wide, QString());
  EXPECT_EQ(memo->width(), 420);
  const QFontMetrics metrics(form.font());
  const int wrapped =
      metrics.boundingRect(QRect(0, 0, 420, 10000), Qt::TextWordWrap, wide).height();
  EXPECT_GE(memo->height(), wrapped);
  form.close();
}

TEST_F(Dialogs, NoticeHasABlueFrameInsideItsEdgeAndClosesOnRequest) {
  QtPrompter prompter(session, nullptr);
  prompter.showNotice(QStringLiteral("Bezig met rekenen"), QStringLiteral("Even geduld"));
  TShowMessForm* notice = prompter.notice();
  ASSERT_TRUE(notice->isVisible());
  EXPECT_EQ(panelText(notice, "Label1"), "Bezig met rekenen");
  EXPECT_TRUE(notice->windowFlags() & Qt::FramelessWindowHint);

  const QImage image = notice->grab().toImage();
  const QColor blue(0, 0, 255);
  EXPECT_NE(image.pixelColor(0, 0), blue);
  EXPECT_EQ(image.pixelColor(1, 1), blue);
  EXPECT_EQ(image.pixelColor(3, 10), blue);
  EXPECT_NE(image.pixelColor(4, 10), blue);
  EXPECT_EQ(image.pixelColor(image.width() - 2, 10), blue);
  EXPECT_EQ(image.pixelColor(image.width() - 4, 10), blue);
  EXPECT_NE(image.pixelColor(image.width() - 5, 10), blue);

  prompter.closeNotice();
  EXPECT_FALSE(notice->isVisible());
}

}  // namespace
}  // namespace pelmar
