#pragma once

#include <QDialog>
#include <optional>

#include "commands/currencies.h"
#include "commands/prompter_dialogs.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace pelmar {

class Language;
class Prompter;
class Session;

// The stock picker: one stock from a sorted list of fixed-column lines
// (name, ticker, third field). Execute returns the pick after OK.
class TKoersForm : public QDialog {
 public:
  TKoersForm(const Language& language, QWidget* parent = nullptr);

  std::optional<PickedStock> Execute(const QStringList& lines);
  void OKBtnClick();

  QListWidget* KoersenListBox;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

 private:
  const Language& language_;
  std::optional<PickedStock> picked_;
};

// The currency-index fields both currency dialogs share: the index ticker,
// its price, the factor, the list button and the ratio group whose
// captions follow the price and the factor.
class CurrencyIndexBox : public QWidget {
 public:
  CurrencyIndexBox(const Language& language, QWidget* parent);

  void FactorEditChange();
  void HandleLanguage();

  QGroupBox* IndexGroupBox;
  QLineEdit* NaamKoersEdit;
  QLineEdit* KoersEdit;
  QLineEdit* FactorEdit;
  QPushButton* LijstBtn;
  QGroupBox* ValutaKoersGroupBox;
  QRadioButton* InDollarsRadio;
  QRadioButton* InEurosRadio;

 private:
  const Language& language_;
};

// The fund-currency dialog: the fund keeps the portfolio currency or takes
// the other one; the currency index may be picked from the stock lists.
class TDlgValutaFonds : public QDialog {
 public:
  TDlgValutaFonds(const Language& language, QWidget* parent = nullptr);

  FundCurrencyChoice Execute(const FundCurrencyProposal& proposal);
  void PortefeuilleValutaClick();
  void LijstBtnClick();

  QRadioButton* PortefeuilleValuta;
  QRadioButton* CustomValuta;
  QLineEdit* ValutaEdit;
  CurrencyIndexBox* Index;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  TKoersForm* Picker;

 private:
  void HandleLanguage();

  const Language& language_;
  FundCurrencyProposal proposal_;
  std::optional<QString> pickedIndex_;
};

// The currency-index dialog: the index whose price gives the dollar rate,
// its factor and direction, kept as the "Valuta" settings on OK.
class TDollarDlg : public QDialog {
 public:
  TDollarDlg(Session& session, Prompter& prompter, QWidget* parent = nullptr);

  // Shows the dialog filled from the settings; true after OK.
  bool Execute();
  void LijstBtnClick();
  void ValutaOKBtnClick();

  QLabel* ExplanationLabel;
  QLabel* RemarkLabel;
  CurrencyIndexBox* Index;
  QPushButton* ValutaOKBtn;
  QPushButton* ValutaCancelBtn;
  TKoersForm* Picker;

 private:
  void HandleLanguage();
  void showFields(const DollarIndexFields& fields);
  DollarIndexFields fieldsShown() const;

  Session& session_;
  Prompter& prompter_;
};

// Runs the currency-index dialog over the window; done after OK. The
// dataset's figures may have changed either way.
Report KiesDollarIndexClick(Session& session, Prompter& prompter, QWidget* window);

}  // namespace pelmar
