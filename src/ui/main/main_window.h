#pragma once

#include <QMainWindow>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "commands/changes.h"
#include "engine/engine.h"
#include "prices/stock_list.h"

class QFrame;
class QLabel;
class QTimer;

namespace pelmar {

class FundGridWidget;
class FundListBox;
class FundPanel;
class HelpWindow;
class MainActions;
class Prompter;
class ReportWindow;
class Session;
class SettingsStore;
class TDownloadForm;
class TFondsenForm;
class HttpGet;
class TOptionsForm;
struct QuoteSwitches;
struct SettingsEffects;
class TGrafiekForm;
class QuoteController;
class TPanelTabs;
class TRekForm;
class TSplashForm;
// Splits, year closing and maintenance
class TDebugView;
class TServiceForm;
struct FileProgress;

// The program's one main window. It shows what the session holds and hands
// every command to the core; the core decides, the window draws.
class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  // `programFolder` holds the help page and the example folders "Port" and
  // "Prices"; `store`, when given, receives the settings on saving.
  TMainForm(Session& session, Prompter& prompter, const QString& programFolder,
            SettingsStore* store = nullptr, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The opening sequence of the first paint; runs once.
  void FormPaint();

  // Makes the fund record at `index` current and redraws the window.
  void ShowDataSet(int index);
  void EnableControls(bool isNew, bool opened, bool changed);
  void FillFondsenBox();
  void FondsenBoxClick();
  // Sets every caption, hint and label for the session's language.
  void HandleLanguage();
  // Fits the window to its contents after a change of texts or fonts.
  void FormResize();
  void ShowLatestPrices();
  // The fund grid's double click on a row: trade, attach an account.
  void FondsGridDblClick(int row);

  // The manual of the session's language, and the window that shows it
  // (nothing until help was asked for).
  QString helpFile() const;
  const HelpWindow* helpWindow() const { return helpWindow_; }
  // Shows the manual at the topic; in front of a modal dialog, which blocks
  // every other window, in a help window of the dialog's own.
  void openHelp(const QString& anchor);

  // New funds: the download list of the market in selection mode; the row
  // chosen, nothing when cancelled.
  std::optional<StockLine> pickStock(Market market);

  // Opens a portfolio file and shows it; false when it could not be read.
  bool openPortfolio(const QString& fileName);

  // The window's pieces: the commands with the menus and the tool bar, the
  // fund list with the fund panel, and the status line under them.
  const MainActions& actions() const { return *actions_; }
  const FundPanel& fundPanel() const { return *body_; }
  TServiceForm* serviceForm() const { return serviceForm_; }
  TDebugView* debugView() const { return debugView_; }
  FundGridWidget* grid() const;
  FundListBox* fundList() const;
  TPanelTabs* tabs() const;
  QFrame* statusPanel() const { return panelStatus_; }
  QLabel* statusLabel() const { return labelStatus_; }
  TRekForm* accounts() const { return rekForm_; }
  TDownloadForm* downloadForm() const { return downloadForm_; }
  TOptionsForm* optionsForm() const { return optionsForm_; }
  // The start-up splash window, made by the first paint.
  const TSplashForm* splash() const { return splash_; }

  // After the settings window's OK: every window follows what changed.
  void applySettings(const SettingsEffects& effects);
  // The live quotes' buttons, menu checks and box after the quote switches
  // changed; the timers follow in the quote controller.
  void applyQuoteSwitches(const QuoteSwitches& quotes);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  // Wires a menu or tool bar command to its handler.
  void wire(QAction* command, const std::function<void()>& handler);
  void connectCommands();
  void connectFileCommands();
  void connectDataSetCommands();
  void connectChartCommands();
  void connectFundCommands();
  void connectHelpAndSettings();
  void connectQuotes();
  // The session's one notification after a command: redraws what changed.
  void portfolioChanged(Changes changes);
  void connectPanel();
  void colourWindow(const QColor& colour);
  // After a file or dataset command: the list, the dataset and the controls.
  void showPortfolio();
  void showCurrentFund();
  void showNothingRead();
  // Draws the current dataset as the core last computed it.
  void drawDataSet();
  // After a change of the portfolio: the dataset and the controls.
  void showChange();
  // After opening or a new portfolio, whose command computed what is shown:
  // the list, the dataset as it stands and the controls.
  void showOpened();
  // The controls for the portfolio's state.
  void enableControls();
  void properties();
  void about();
  void recalculateAll();
  // Paints the progress of a recalculation of every dataset on the status
  // line.
  Engine::Progress recalcProgress();
  // Starts the download of both stock lists; downloadFinished() shows the
  // portfolio's new prices and advice.
  void download();
  void downloadFinished();
  // What takes no commands while the download runs.
  QList<QWidget*> lockedWhileBusy() const;
  // The one-shot start-up download: stops itself and downloads.
  void TimerDownloadTimer();
  void toggleDiagnostics();
  // Splits, reference value, year closing, the maintenance window
  // (method_commands.cpp); the progress of reading and recalculating, with
  // the debug view while the "Debug" switch is on.
  void connectMethodCommands();
  FileProgress fileProgress();

  Session& session_;
  Prompter& prompter_;
  QString programFolder_;
  int changeListener_ = 0;
  bool firstPaint_ = false;

  FundPanel* body_ = nullptr;
  QFrame* panelStatus_ = nullptr;
  QLabel* labelStatus_ = nullptr;
  std::unique_ptr<MainActions> actions_;
  TSplashForm* splash_ = nullptr;
  TRekForm* rekForm_ = nullptr;
  HelpWindow* helpWindow_ = nullptr;
  TDownloadForm* downloadForm_ = nullptr;
  QTimer* timerDownload_ = nullptr;
  TFondsenForm* fondsenNl_ = nullptr;
  // The clients of the US list's symbol look-up and of the settings' source
  // test, one each: aborting one window's fetch leaves the other's alone.
  // Both windows are deleted before them (see the destructor).
  std::unique_ptr<HttpGet> lookupHttp_;
  std::unique_ptr<HttpGet> sourceTestHttp_;
  TFondsenForm* fondsenUs_ = nullptr;
  QuoteController* quotes_ = nullptr;
  // Splits, year closing and maintenance
  TServiceForm* serviceForm_ = nullptr;
  TDebugView* debugView_ = nullptr;
  TOptionsForm* optionsForm_ = nullptr;
  // Charts: the chart window, made once.
  TGrafiekForm* grafiekForm_ = nullptr;
  // The two overview windows (area f), made when first opened.
  ReportWindow* printForm_ = nullptr;
  ReportWindow* pActiesForm_ = nullptr;
  void openReport(ReportWindow*& window, int kind);
};

}  // namespace pelmar
