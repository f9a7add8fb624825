#include "ui/platform/qt_prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

#include "commands/desktop_rules.h"
#include "commands/session.h"
#include "ui/dialogs/aantal_kopen_form.h"
#include "ui/dialogs/ask_dlg.h"
#include "ui/dialogs/calendar_dlg.h"
#include "ui/dialogs/dialog_look.h"
#include "ui/dialogs/kies_rek_dlg.h"
#include "ui/dialogs/message_form.h"
#include "ui/dialogs/save_form.h"
#include "ui/dialogs/show_mess_form.h"
#include "ui/dialogs/yes_no_dlg.h"
#include "ui/platform/window_position.h"
#include "ui/prices/csv_import_dialog.h"
#include "ui/prices/currency_dialogs.h"
#include "ui/prices/new_fund_forms.h"

namespace pelmar {

namespace {

// The file dialog's size when the platform has no dialog of its own: room
// for the name and the size, type and date columns, within the screen.
constexpr QSize kFileDialogSize(780, 460);

// The window a file dialog belongs to: the one the user works in (a report
// or chart window, say), so that it is in front again when the dialog
// closes; the main window when none is active.
QWidget* fileDialogOwner(QWidget* fallback) {
  QWidget* active = QApplication::activeWindow();
  return active ? active : fallback;
}

// Gives the program's own file dialog a size that shows every column whole
// and places it over its owner. A platform's native dialog sizes itself.
QString runFileDialog(QFileDialog& dialog) {
  const DialogArea area = DialogAreaOf(dialog.parentWidget());
  dialog.resize(kFileDialogSize.boundedTo(area.screen.size() * 9 / 10));
  PlaceDialog(&dialog, area);
  // The widgets exist once the dialog is shown, and only when it is ours.
  QTimer::singleShot(0, &dialog, [&dialog] {
    for (QTreeView* view : dialog.findChildren<QTreeView*>()) {
      QHeaderView* header = view->header();
      header->setStretchLastSection(false);
      header->setSectionResizeMode(QHeaderView::ResizeToContents);
      header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
  });
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles().value(0);
}

}  // namespace

QtPrompter::QtPrompter(const Session& session, QWidget* parent)
    : session_(session),
      parent_(parent),
      calendar_(std::make_unique<TCalendarDlg>(session, nullptr)),
      yesNo_(std::make_unique<TYesNoDlg>(session, nullptr)),
      ask_(std::make_unique<TAskDlg>(session, nullptr)),
      messageForm_(std::make_unique<TMessageForm>(nullptr)),
      notice_(std::make_unique<TShowMessForm>(nullptr)),
      saveForm_(std::make_unique<TSaveForm>(session, nullptr)),
      buySell_(std::make_unique<TAantalKopenForm>(session, nullptr)),
      chooser_(std::make_unique<TKiesRekDlg>(session, nullptr)),
      newFund_(std::make_unique<TNieuwFondsForm>(session, nullptr)),
      newFakeFund_(std::make_unique<TNewFakeFundForm>(session, nullptr)),
      csvImport_(std::make_unique<CsvImportDialog>(session, nullptr)),
      fundCurrency_(std::make_unique<TDlgValutaFonds>(session.language(), nullptr)) {
  buySell_->setTimedMessage([this](const QString& line1, const QString& line2, int ms) {
    timedMessage(line1, line2, ms);
  });
}

QtPrompter::~QtPrompter() = default;

void QtPrompter::setOwner(QWidget* owner) {
  parent_ = owner;
}

DialogArea QtPrompter::area() const {
  return DialogAreaOf(parent_);
}

Answer QtPrompter::question(const Question& q) {
  bool cancelled = false;
  const bool yes = yesNo_->Question(area(), q, cancelled);
  if (yes) return Answer::Yes;
  return cancelled ? Answer::Cancel : Answer::No;
}

InputResult QtPrompter::input(const QString& caption, const QString& prompt, const QString& text) {
  InputResult result{false, text};
  result.accepted = ask_->Ask(area(), result.text, prompt, caption);
  return result;
}

std::optional<QDateTime> QtPrompter::pickDate(const QString& caption, const QDateTime& proposal) {
  calendar_->HandleLanguage();
  if (!caption.isEmpty()) calendar_->setWindowTitle(caption);
  // A proposal that names no moment starts the calendar on now rather than
  // on the serial base day.
  calendar_->SetDateTime(dateTimeToSerial(proposal.isValid() ? proposal : session_.clock().now()));
  calendar_->adjustSize();
  PlaceDialog(calendar_.get(), area());
  if (!calendar_->Execute(true)) return std::nullopt;
  return serialToDateTime(calendar_->DateTime());
}

void QtPrompter::message(const QString& text) {
  QMessageBox::information(parent_, session_.text(TextId::ProductName), text);
}

void QtPrompter::timedMessage(const QString& line1, const QString& line2, int milliseconds) {
  messageForm_->ShowTimedMessage(area(), milliseconds, line1, line2);
}

void QtPrompter::showNotice(const QString& line1, const QString& line2) {
  notice_->showNotice(area(), line1, line2);
  // The long step that follows keeps the event loop busy: draw the notice now.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtPrompter::closeNotice() {
  notice_->close();
}

std::optional<QString> QtPrompter::openFileName(const QString& caption, const QString& folder,
                                                const QString& filter) {
  QFileDialog dialog(fileDialogOwner(parent_), caption, folder, filter);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QString name = runFileDialog(dialog);
  return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

std::optional<QString> QtPrompter::chooseFolder(const QString& caption, const QString& folder,
                                                const QString& mask) {
  // A folder is chosen; the files of the mask are shown to recognise it by.
  QFileDialog dialog(fileDialogOwner(parent_), caption, folder, mask);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, false);
  const QString name = runFileDialog(dialog);
  return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

std::optional<QString> QtPrompter::saveFileName(const QString& caption, const QString& proposal,
                                                const QString& filter) {
  QFileDialog dialog(fileDialogOwner(parent_), caption, proposal, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QString name = runFileDialog(dialog);
  return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

SaveChoice QtPrompter::savePrompt(const QString& message, SaveChoice defaultChoice) {
  return saveForm_->Execute(area(), message, defaultChoice);
}

TradeEntry QtPrompter::buySell(const TradeProposal& proposal) {
  return buySell_->Execute(area(), proposal);
}

AccountChoice QtPrompter::chooseAccount(const AccountChoice& proposal) {
  return chooser_->Execute(area(), proposal);
}

CheckedAnswer QtPrompter::questionWithCheck(const Question& q, const QString& checkText) {
  // The year-closing question: a message, Yes, No and Cancel, and the box.
  QMessageBox box(QMessageBox::Question, q.caption, q.message, QMessageBox::NoButton);
  const QStringList captions =
      AssignMnemonics({session_.text(TextId::ButtonYes), session_.text(TextId::ButtonNo),
                       session_.text(TextId::ButtonCancel)});
  QPushButton* yes = box.addButton(captions[0], QMessageBox::YesRole);
  QPushButton* no = box.addButton(captions[1], QMessageBox::NoRole);
  QPushButton* cancel = box.addButton(captions[2], QMessageBox::RejectRole);
  box.setDefaultButton(q.yesIsDefault ? yes : no);
  box.setEscapeButton(cancel);
  auto* check = new QCheckBox(checkText, &box);
  check->setObjectName(QStringLiteral("DontShowAgain"));
  box.setCheckBox(check);
  PlaceDialog(&box, area());
  box.exec();
  const Answer answer = box.clickedButton() == yes  ? Answer::Yes
                        : box.clickedButton() == no ? Answer::No
                                                    : Answer::Cancel;
  return {answer, check->isChecked()};
}

std::optional<StockLine> QtPrompter::pickStock(Market market) {
  return stockPicker_ ? stockPicker_(market) : std::nullopt;
}

NewFundEntry QtPrompter::newFund(const NewFundForm& form) {
  PlaceWhenShown(newFund_.get(), area());
  return newFund_->Execute(form);
}

std::optional<TableChoices> QtPrompter::importChoices(const QByteArray& bytes,
                                                      const QString& fileName,
                                                      const PriceTable& found) {
  PlaceDialog(csvImport_.get(), area());
  return csvImport_->Execute(bytes, fileName, found);
}

NewFundEntry QtPrompter::newManualFund() {
  PlaceWhenShown(newFakeFund_.get(), area());
  return newFakeFund_->Execute();
}

FundCurrencyChoice QtPrompter::chooseFundCurrency(const FundCurrencyProposal& proposal) {
  PlaceWhenShown(fundCurrency_.get(), area());
  return fundCurrency_->Execute(proposal);
}

}  // namespace pelmar
