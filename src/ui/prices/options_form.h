#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "commands/settings_edit.h"
#include "prices/stock_list.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace pelmar {

class FetchWorker;
class HttpGet;
class Prompter;
class Session;

// The settings window "Instellingen": four pages (portfolio, report,
// download, update) over the program's settings. It only draws and asks:
// VarToScreen fills it from the session, OK hands the edit to the core
// (OptionsOk) and tells the program what changed; Cancel drops the edit.
class TOptionsForm : public QDialog {
  Q_OBJECT

 public:
  TOptionsForm(Session& session, Prompter& prompter, QWidget* parent = nullptr);
  ~TOptionsForm() override;

  // InstellingenClick: shows the settings and the window, modal.
  void InstellingenClick();
  // The program's settings into the controls.
  void VarToScreen();
  // The controls as an edit for the core.
  SettingsEdit ScreenToEdit() const;
  void SetCaptions();

  void BtnOKClick();
  void BtnCancelClick();
  void BtnDefaultPortsClick();
  void ButtonDefaultPricesClick();
  void BtnBrowsePortsClick();
  void BtnBrowseKoersenClick();
  void BtnCheckClick();

  // The client the "Test" buttons fetch through; without one they do nothing.
  void setHttp(HttpGet* http);
  // Closing the window in any way ends a test in flight and drops its answer.
  void done(int result) override;

  // What the last OK changed.
  const SettingsEffects& effects() const { return effects_; }

  QTabWidget* pages = nullptr;
  // Portfolio page.
  QGroupBox* GroupFiles = nullptr;
  QLineEdit* PathEdit = nullptr;
  QLabel* LabelPathHint = nullptr;
  QLabel* LabelFileStatus = nullptr;
  QPushButton* BtnBrowsePorts = nullptr;
  QPushButton* BtnDefaultPorts = nullptr;
  QCheckBox* CheckCopyPorts = nullptr;
  QGroupBox* GroupLanguage = nullptr;
  QRadioButton* RadioSY = nullptr;
  QRadioButton* RadioNL = nullptr;
  QRadioButton* RadioUS = nullptr;
  QGroupBox* GroupDates = nullptr;
  QRadioButton* RadioJMD = nullptr;
  QRadioButton* RadioDMJ = nullptr;
  QRadioButton* RadioMDJ = nullptr;
  QGroupBox* GroupCurrency = nullptr;
  QRadioButton* RadioPortEuro = nullptr;
  QRadioButton* RadioPortDollar = nullptr;
  QGroupBox* GroupReturn = nullptr;
  QRadioButton* RadioROTAI = nullptr;
  QRadioButton* RadioROTAC = nullptr;
  QGroupBox* GroupCloseYear = nullptr;
  QCheckBox* CheckVerbergJaarAfsluiting = nullptr;
  // Report page.
  QLabel* LabelTitle = nullptr;
  QLineEdit* TitleEdit = nullptr;
  QLabel* LabelTitleNote = nullptr;
  QRadioButton* RadioRapEuro = nullptr;
  QRadioButton* RadioRapDollar = nullptr;
  // Download page.
  QLabel* LabelDownloadPath = nullptr;
  QLineEdit* DownloadPadEdit = nullptr;
  QPushButton* BtnBrowseKoersen = nullptr;
  QPushButton* ButtonDefaultPrices = nullptr;
  QCheckBox* CheckCopyPrices = nullptr;
  QLabel* LabelLastDownload = nullptr;
  QGroupBox* GroupAutomatic = nullptr;
  QCheckBox* CheckDownload = nullptr;
  QCheckBox* CheckDollar = nullptr;
  QCheckBox* CheckAEX = nullptr;
  QLabel* LabelMarkets = nullptr;
  QCheckBox* CheckNL = nullptr;
  QCheckBox* CheckUS = nullptr;
  QGroupBox* GroupDays = nullptr;
  QCheckBox* CheckLaatste = nullptr;
  QCheckBox* CheckMeer = nullptr;
  QLabel* LabelDagen = nullptr;
  QLineEdit* EditDagen = nullptr;
  QPushButton* BtnBeheer_nl = nullptr;
  QPushButton* BtnBeheer_us = nullptr;
  QGroupBox* GroupServices = nullptr;
  // One row per service address: label, edit, "Default" button.
  struct ServiceRow {
    QLabel* label = nullptr;
    QLineEdit* edit = nullptr;
    QPushButton* defaultButton = nullptr;
  };
  std::vector<ServiceRow> serviceRows;
  // The price source of each list, with a symbol to test it on.
  struct SourceRow {
    Market market = Market::Dutch;
    QLabel* label = nullptr;
    QComboBox* combo = nullptr;
    QLineEdit* symbol = nullptr;
    QPushButton* test = nullptr;
  };
  std::vector<SourceRow> sourceRows;
  QLabel* LabelRateSource = nullptr;
  QComboBox* ComboRateSource = nullptr;
  QLabel* LabelTestResult = nullptr;
  // Test: asks the row's source, with the addresses on screen, for its
  // symbol. The fetch runs on a worker; the test buttons wait until it
  // answers.
  void BtnTestClick(const SourceRow& row);
  bool testing() const;
  // Update page.
  QCheckBox* CheckUpdate = nullptr;
  QPushButton* BtnCheck = nullptr;
  QLabel* LabelUpdateInfo = nullptr;
  QPushButton* BtnOK = nullptr;
  QPushButton* BtnCancel = nullptr;

 signals:
  // OK took the settings over; the program follows what changed.
  void applied(const pelmar::SettingsEffects& effects);
  // A stock-list button: the market's list window is wanted.
  void stockListWanted(pelmar::Market market);
  // A hint for the status line.
  void promptChanged(const QString& text);
  // A source test answered; its result is shown.
  void sourceTested(const QString& result);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* portfolioPage();
  QWidget* reportPage();
  QWidget* downloadPage();
  QWidget* updatePage();
  QGroupBox* servicesGroup();
  void CheckDollarClick();
  void CheckAEXClick();
  void CheckLaatsteClick();
  void CheckMeerClick();
  // EditDagen and its label follow "Meer dagen".
  void enableDays();
  void browse(QLineEdit* edit, const QString& mask);
  void rememberPosition();
  // The test buttons wait while `symbol` is tested.
  void setTesting(bool testing, const QString& symbol = {});
  // Drops a test in flight.
  void endTest();

  Session& session_;
  Prompter& prompter_;
  SettingsEffects effects_;
  QLabel* labelProgress_ = nullptr;
  std::unique_ptr<FetchWorker> tests_;
};

}  // namespace pelmar
