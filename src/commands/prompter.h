#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

#include "commands/prompter_dialogs.h"
#include "prices/price_table.h"

namespace pelmar {

// A question with up to three buttons and free button texts.
struct Question {
  QString caption;
  QString message;
  QString yesText;
  QString noText;
  QString cancelText;
  bool showCancel = false;
  bool yesIsDefault = true;
};

enum class Answer { Yes, No, Cancel };

// A question with a check box under its message (the year-closing
// question's "Don't show this message again"): the button and the box.
struct CheckedAnswer {
  Answer answer = Answer::Cancel;
  bool checked = false;
};

// The button that ended the save prompt.
enum class SaveChoice { SaveChanges, SaveWithNew, CloseWithoutSaving, Cancel };

// The result of a one-line text input: the edit's text is handed back
// whether or not the user pressed OK.
struct InputResult {
  bool accepted = false;
  QString text;
};

// Everything a command asks the user goes through this interface. The
// desktop program answers with real dialogs; tests answer from a script.
// Larger dialogs get one method each, returning the dialog's result.
class Prompter {
 public:
  virtual ~Prompter() = default;

  virtual Answer question(const Question& question) = 0;
  // The portfolio being opened is in use by another program: Yes opens it
  // read-only, No not at all. Asked as any question unless a prompter
  // answers it otherwise.
  virtual Answer portfolioInUse(const Question& inUse) { return question(inUse); }
  virtual InputResult input(const QString& caption, const QString& prompt, const QString& text) = 0;
  // The date picker with its caption: the chosen moment, or nothing when
  // cancelled.
  virtual std::optional<QDateTime> pickDate(const QString& caption, const QDateTime& proposal) = 0;
  // A plain message with an OK button.
  virtual void message(const QString& text) = 0;
  // A message that closes itself after the given time.
  virtual void timedMessage(const QString& line1, const QString& line2, int milliseconds) = 0;
  // A notice that stays on screen while a long step runs, until closeNotice.
  virtual void showNotice(const QString& line1, const QString& line2) = 0;
  virtual void closeNotice() = 0;
  // File dialogs: the chosen path, or nothing when cancelled.
  virtual std::optional<QString> openFileName(const QString& caption, const QString& folder,
                                              const QString& filter) = 0;
  virtual std::optional<QString> saveFileName(const QString& caption, const QString& proposal,
                                              const QString& filter) = 0;
  // The save prompt with its message: save the changes, save them with the
  // dataset "Nieuw", close without saving, or cancel. `defaultChoice` is the
  // focused button, which Enter takes.
  virtual SaveChoice savePrompt(const QString& message, SaveChoice defaultChoice) = 0;

  // The folder-browse window, showing the files that match `mask`: the
  // chosen folder, or nothing. A prompter without one chooses nothing.
  virtual std::optional<QString> chooseFolder(const QString& caption, const QString& folder,
                                              const QString& mask) {
    (void)caption, (void)folder, (void)mask;
    return std::nullopt;
  }

  // Trading and accounts: the buy/sell dialog and the account chooser.
  virtual TradeEntry buySell(const TradeProposal& proposal) = 0;
  virtual AccountChoice chooseAccount(const AccountChoice& proposal) = 0;

  // Currencies: the fund-currency dialog with its stock picker. A prompter
  // without that dialog cancels it.
  virtual FundCurrencyChoice chooseFundCurrency(const FundCurrencyProposal&) { return {}; }
  // Year closing: a question with Yes, No and Cancel and a check box.
  virtual CheckedAnswer questionWithCheck(const Question& question, const QString& checkText) = 0;
  // New funds: a row of a download list in its selection mode (nothing
  // when cancelled; the list returns to its management mode either way),
  // the new-fund dialog of the download lists and the manual one.
  virtual std::optional<StockLine> pickStock(Market market) = 0;
  virtual NewFundEntry newFund(const NewFundForm& form) = 0;
  virtual NewFundEntry newManualFund() = 0;
  // The price import: the file's first rows with the columns and the date
  // order found, which the user confirms or chooses (the dialog reads the
  // bytes again with each choice). Nothing when cancelled. A prompter
  // without the dialog takes a table the file settles and cancels another.
  virtual std::optional<TableChoices> importChoices(const QByteArray& /*bytes*/,
                                                    const QString& /*fileName*/,
                                                    const PriceTable& found) {
    if (found.refused) return std::nullopt;
    return TableChoices{found.dateOrder, found.dateColumn, found.closeColumn};
  }
};

}  // namespace pelmar
