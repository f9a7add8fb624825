#pragma once

#include <QDialog>

#include "commands/prompter_dialogs.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace pelmar {

class Session;
struct NewFundFigures;

// The new-fund dialog of the download lists: a stock picked from either
// list with its price, and the first purchase as investment, number or
// value, recomputed once typing pauses.
class TNieuwFondsForm : public QDialog {
 public:
  TNieuwFondsForm(const Session& session, QWidget* parent = nullptr);

  NewFundEntry Execute(const NewFundForm& form);
  void BtnFondsen_us_nl_Click(Market market);
  void InvestmentTimerTimer();
  void NumberTimerTimer();
  void ValueTimerTimer();

  QLineEdit* CompanyEdit;
  QLineEdit* TickerEdit;
  QLineEdit* KoersEdit;
  QLineEdit* InvestmentEdit;
  QLineEdit* NumberEdit;
  QLineEdit* ValueEdit;
  QTimer* InvestmentTimer;
  QTimer* NumberTimer;
  QTimer* ValueTimer;
  QPushButton* BtnFondsen_nl;
  QPushButton* BtnFondsen_us;
  QPushButton* BtnOK;
  QPushButton* BtnCancel;

 private:
  void HandleLanguage();
  void clearFields();
  void setFigures(const NewFundFigures& figures);

  const Session& session_;
  NewFundForm form_;
  NewFundPick pick_;
  QList<QLabel*> currencyLabels_;
};

// The manual new-fund dialog: name, ticker, price and first purchase typed.
class TNewFakeFundForm : public QDialog {
 public:
  TNewFakeFundForm(const Session& session, QWidget* parent = nullptr);

  NewFundEntry Execute();

  QLineEdit* EditNaam;
  QLineEdit* EditTicker;
  QLineEdit* EditKoers;
  QLineEdit* EditInleg;
  QLineEdit* EditAantal;
  QLineEdit* EditWaarde;
  QPushButton* BtnOK;
  QPushButton* BtnCancel;

 private:
  const Session& session_;
};

}  // namespace pelmar
