#pragma once

#include <QDialog>
#include <functional>

#include "commands/prompter_dialogs.h"
#include "ui/platform/window_position.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace pelmar {

class Session;
class TColorButton;

// The buy/sell dialog: the quantity to trade (negative sells), the
// transaction price and the fixed costs, with the value and the total
// costs they come to. It ends only through its buttons (Esc counts as
// Cancel); Enter in an edit recomputes the panels after typing, and is OK
// when nothing was typed since.
class TAantalKopenForm : public QDialog {
 public:
  // `timedMessage` shows the refusal of an empty price.
  using TimedMessage = std::function<void(const QString&, const QString&, int)>;

  explicit TAantalKopenForm(const Session& session, QWidget* parent = nullptr);

  void setTimedMessage(TimedMessage show) { timedMessage_ = std::move(show); }

  // Shows the dialog for the proposal over the area; the entry it ended with.
  TradeEntry Execute(const DialogArea& area, const TradeProposal& proposal);
  // Sets the texts and the proposal (FormShow), without showing the dialog.
  void prepare(const DialogArea& area, const TradeProposal& proposal);
  TradeEntry entry() const { return entry_; }

  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Reads the three edits, then rewrites them and the two panels.
  void refresh();
  void PremiRadioClick();
  void BtnOKClick();
  void BtnCancelClick();
  QString number(double value) const;

  const Session& session_;
  TimedMessage timedMessage_;
  TradeProposal proposal_;
  TradeEntry entry_;
  double price_ = 0;
  double costs_ = 0;
  // Typed into an edit since the panels were last recomputed.
  bool edited_ = false;

  QGroupBox* Kopen_volgens;
  QRadioButton* MarktRadio;
  QRadioButton* PremiRadio;
  QGroupBox* Corrigeer_Aantal;
  QLabel* AantalLabel;
  QLineEdit* AantalEdit;
  QLabel* KoersLabel;
  QLineEdit* KoersEdit;
  QLabel* WaardeLabel;
  QLabel* WaardePanel;
  QLabel* KostenLabel;
  QLineEdit* KostenEdit;
  QLabel* LabelKostenTotaal;
  QLabel* PanelKostenTotaal;
  TColorButton* BtnOK;
  TColorButton* BtnCancel;
};

}  // namespace pelmar
