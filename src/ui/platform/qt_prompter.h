#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "commands/prompter.h"

namespace pelmar {

class CsvImportDialog;
class Session;
class TAantalKopenForm;
class TAskDlg;
class TKiesRekDlg;
class TNieuwFondsForm;
class TNewFakeFundForm;
class TCalendarDlg;
class TDlgValutaFonds;
class TMessageForm;
class TSaveForm;
class TShowMessForm;
class TYesNoDlg;
struct DialogArea;

// Answers the commands' questions with the program's dialogs, centred over
// the owner window (which may be null: then over the screen). The dialogs are made once and reused;
// they take their texts from the session's language and "today" from its clock.
class QtPrompter : public Prompter {
 public:
  QtPrompter(const Session& session, QWidget* parent);
  ~QtPrompter() override;
  QtPrompter(const QtPrompter&) = delete;
  QtPrompter& operator=(const QtPrompter&) = delete;

  Answer question(const Question& question) override;
  InputResult input(const QString& caption, const QString& prompt, const QString& text) override;
  std::optional<QDateTime> pickDate(const QString& caption, const QDateTime& proposal) override;
  void message(const QString& text) override;
  void timedMessage(const QString& line1, const QString& line2, int milliseconds) override;
  void showNotice(const QString& line1, const QString& line2) override;
  void closeNotice() override;
  std::optional<QString> openFileName(const QString& caption, const QString& folder,
                                      const QString& filter) override;
  std::optional<QString> chooseFolder(const QString& caption, const QString& folder,
                                      const QString& mask) override;
  std::optional<QString> saveFileName(const QString& caption, const QString& proposal,
                                      const QString& filter) override;
  SaveChoice savePrompt(const QString& message, SaveChoice defaultChoice) override;
  TradeEntry buySell(const TradeProposal& proposal) override;
  AccountChoice chooseAccount(const AccountChoice& proposal) override;
  CheckedAnswer questionWithCheck(const Question& question, const QString& checkText) override;
  std::optional<StockLine> pickStock(Market market) override;
  NewFundEntry newFund(const NewFundForm& form) override;
  NewFundEntry newManualFund() override;
  FundCurrencyChoice chooseFundCurrency(const FundCurrencyProposal& proposal) override;
  std::optional<TableChoices> importChoices(const QByteArray& bytes, const QString& fileName,
                                            const PriceTable& found) override;
  // The stock lists are the main window's: it hands the prompter how to
  // show one in selection mode.
  void setStockPicker(std::function<std::optional<StockLine>(Market)> picker) {
    stockPicker_ = std::move(picker);
  }

  // The window the dialogs open over; it may go before the prompter does.
  void setOwner(QWidget* owner);

  TCalendarDlg* calendar() const { return calendar_.get(); }
  TYesNoDlg* yesNo() const { return yesNo_.get(); }
  TAskDlg* ask() const { return ask_.get(); }
  TMessageForm* messageForm() const { return messageForm_.get(); }
  TShowMessForm* notice() const { return notice_.get(); }
  TAantalKopenForm* buySellForm() const { return buySell_.get(); }
  TKiesRekDlg* accountChooser() const { return chooser_.get(); }
  TDlgValutaFonds* fundCurrencyDialog() const { return fundCurrency_.get(); }
  CsvImportDialog* csvImportDialog() const { return csvImport_.get(); }

 private:
  DialogArea area() const;

  const Session& session_;
  QPointer<QWidget> parent_;
  // The prompter's own windows, without a Qt parent (which would delete
  // them a second time); the parent only places them.
  std::unique_ptr<TCalendarDlg> calendar_;
  std::unique_ptr<TYesNoDlg> yesNo_;
  std::unique_ptr<TAskDlg> ask_;
  std::unique_ptr<TMessageForm> messageForm_;
  std::unique_ptr<TShowMessForm> notice_;
  std::unique_ptr<TSaveForm> saveForm_;
  std::unique_ptr<TAantalKopenForm> buySell_;
  std::unique_ptr<TKiesRekDlg> chooser_;
  std::unique_ptr<TNieuwFondsForm> newFund_;
  std::unique_ptr<TNewFakeFundForm> newFakeFund_;
  std::unique_ptr<CsvImportDialog> csvImport_;
  std::unique_ptr<TDlgValutaFonds> fundCurrency_;
  std::function<std::optional<StockLine>(Market)> stockPicker_;
};

}  // namespace pelmar
