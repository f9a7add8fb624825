#include "ui/main/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <utility>

#include "commands/currencies.h"
#include "commands/dataset_view.h"
#include "commands/datasets.h"
#include "commands/download.h"
#include "commands/file_commands.h"
#include "commands/help.h"
#include "commands/latest_prices.h"
#include "commands/navigation.h"
#include "commands/new_fund.h"
#include "commands/properties.h"
#include "commands/refusal.h"
#include "commands/session.h"
#include "commands/settings_edit.h"
#include "commands/start_up.h"
#include "commands/trading.h"
#include "net/http_client.h"
#include "ui/charts/grafiek_form.h"
#include "ui/dialogs/help_window.h"
#include "ui/main/fund_grid_widget.h"
#include "ui/main/fund_list_box.h"
#include "ui/main/fund_panel.h"
#include "ui/main/help_context.h"
#include "ui/main/help_key.h"
#include "ui/main/main_actions.h"
#include "ui/main/panel_tabs.h"
#include "ui/main/quote_controller.h"
#include "ui/main/real_time_box.h"
#include "ui/main/rek_form.h"
#include "ui/main/splash_form.h"
#include "ui/platform/qt_translations.h"
#include "ui/platform/window_position.h"
#include "ui/prices/currency_dialogs.h"
#include "ui/prices/download_form.h"
#include "ui/prices/fondsen_form.h"
#include "ui/prices/options_form.h"
#include "ui/reports/report_window.h"

namespace pelmar {

namespace {

constexpr int kWindowHelpContext = 30000;
constexpr int kDefaultHelpContext = 1000;
constexpr int kPropertiesMs = 15000;
// The start-up download waits this long, so that the window is drawn and
// the user can look at the portfolio first.
constexpr int kStartDownloadMs = 30000;

QColor colourOf(unsigned rgb) {
  return QColor(QRgb(rgb));
}

}  // namespace

TMainForm::TMainForm(Session& session, Prompter& prompter, const QString& programFolder,
                     SettingsStore* store, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                              Qt::WindowCloseButtonHint),
      session_(session),
      prompter_(prompter),
      programFolder_(programFolder) {
  if (store) session_.setSettingsStore(store);
  // The main window hears of a change first, so that the windows it owns
  // redraw from the dataset it has computed.
  changeListener_ =
      session_.addChangeListener([this](Changes changes) { portfolioChanged(changes); });
  const TraceScope trace(session_.trace(), QStringLiteral("MainForm.FormCreate"));
  setObjectName(QStringLiteral("MainForm"));
  setHelpContext(this, kWindowHelpContext);
  setFont(QFont(QStringLiteral("Verdana"), 9));
  createControls();
  rekForm_ = new TRekForm(session_, prompter_, this);
  grafiekForm_ = new TGrafiekForm(session_, prompter_, this);
  // Charts: a yield chart follows the ROTAC/ROTAI tab.
  for (const auto tab : {&TPanelTabs::OnROTAC, &TPanelTabs::OnROTAI})
    connect(body_->tabs, tab, grafiekForm_, &TGrafiekForm::followReturnTab);
  downloadForm_ = new TDownloadForm(session_, this);
  connect(downloadForm_, &TDownloadForm::downloadFinished, this, [this] { downloadFinished(); });
  fondsenNl_ = new TFondsenForm(session_, prompter_, Market::Dutch, nullptr, this);
  lookupHttp_ = std::make_unique<NetworkHttpGet>();
  fondsenUs_ = new TFondsenForm(session_, prompter_, Market::Us, lookupHttp_.get(), this);
  optionsForm_ = new TOptionsForm(session_, prompter_, this);
  sourceTestHttp_ = std::make_unique<NetworkHttpGet>();
  optionsForm_->setHttp(sourceTestHttp_.get());
  timerDownload_ = new QTimer(this);
  timerDownload_->setObjectName(QStringLiteral("TimerDownload"));
  timerDownload_->setSingleShot(true);
  timerDownload_->setInterval(kStartDownloadMs);
  connect(timerDownload_, &QTimer::timeout, this, [this] { TimerDownloadTimer(); });
  actions_ = std::make_unique<MainActions>(*this);
  connectCommands();
  connectMethodCommands();
  connectPanel();
  connectQuotes();
  // Commands of later work are shown, never wired to a stand-in.
  actions_->enableWired();

  if (!QFileInfo::exists(helpFile()))
    prompter_.message(session_.text(TextId::HelpFileNotFound) + QStringLiteral("\r\n") +
                      QDir::toNativeSeparators(helpFile()));
  qApp->installEventFilter(
      new HelpKeyFilter([this](const QString& anchor) { openHelp(anchor); }, this));
  HandleLanguage();
  colourWindow(colourOf(kOlderDataSetColour));
  showNothingRead();

  const Settings& s = session_.settings();
  const QRect screen =
      this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
  move(ClampWindowPosition({s.mainLeft, s.mainTop}, frameGeometry().size(), screen));
}

TMainForm::~TMainForm() {
  session_.removeChangeListener(changeListener_);
  // Children go after the members: these two end their fetches while the
  // clients they use still exist.
  delete std::exchange(fondsenUs_, nullptr);
  delete std::exchange(optionsForm_, nullptr);
}

void TMainForm::openReport(ReportWindow*& window, int kind) {
  if (!window) window = new ReportWindow(session_, prompter_, ReportKind(kind), this);
  // The portfolio overview recalculates the dataset and may store its rate.
  (void)session_.report(window->openReport());
}

FundGridWidget* TMainForm::grid() const {
  return body_->grid;
}

FundListBox* TMainForm::fundList() const {
  return body_->fondsenBox;
}

TPanelTabs* TMainForm::tabs() const {
  return body_->tabs;
}

// --- Building the window -----------------------------------------------------

void TMainForm::createControls() {
  // The status panel stands under the fund list and the fund panel.
  auto* whole = new QWidget(this);
  auto* stack = new QVBoxLayout(whole);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->setSpacing(0);
  body_ = new FundPanel(session_, prompter_, whole);
  stack->addWidget(body_);
  panelStatus_ = new QFrame(whole);
  panelStatus_->setObjectName(QStringLiteral("PanelStatus"));
  panelStatus_->setAutoFillBackground(true);
  panelStatus_->setFixedHeight(38);
  auto* statusLine = new QHBoxLayout(panelStatus_);
  statusLine->setContentsMargins(5, 0, 5, 0);
  labelStatus_ = new QLabel(panelStatus_);
  labelStatus_->setObjectName(QStringLiteral("LabelStatus"));
  statusLine->addWidget(labelStatus_);
  stack->addWidget(panelStatus_);
  setCentralWidget(whole);
}

// The live quotes: the controller owns their timers and fills the real-time
// box; either quote button runs one tick, and a rate taken into the
// portfolio redraws the dataset.
void TMainForm::connectQuotes() {
  quotes_ = new QuoteController(session_, *body_->realTime, *actions_->buttonDollar,
                                *actions_->buttonAex, this);
  for (QAction* button : {actions_->buttonDollar, actions_->buttonAex}) {
    actions_->markWired(button);
    connect(button, &QAction::triggered, quotes_, &QuoteController::ButtonAEXDollarClick);
  }
  connect(quotes_, &QuoteController::portfolioChanged, this,
          [this] { (void)session_.report(Report(Outcome::done(), Change::Figures)); });
}

void TMainForm::wire(QAction* command, const std::function<void()>& handler) {
  actions_->markWired(command);
  connect(command, &QAction::triggered, this, handler);
}

// Each wired command: the core does the work and reports what it changed;
// every open window redraws from that one notification (portfolioChanged).
void TMainForm::connectCommands() {
  connectFileCommands();
  connectDataSetCommands();
  connectChartCommands();
  connectFundCommands();
  connectHelpAndSettings();
}

void TMainForm::connectFileCommands() {
  const MainActions& a = *actions_;
  // The overview windows (area f): each opening builds its report afresh.
  for (QAction* menu : {a.overzichtPortefeuille, a.overzichtPortefeuille1})
    wire(menu, [this] { openReport(printForm_, int(ReportKind::Portfolio)); });
  for (QAction* menu : {a.overzichtActies, a.overzichtActies1})
    wire(menu, [this] { openReport(pActiesForm_, int(ReportKind::Actions)); });
  wire(a.newFile, [this] { (void)session_.report(SpeedNewClick(session_, prompter_)); });
  wire(a.openFile,
       [this] { (void)session_.report(SpeedOpenClick(session_, prompter_, fileProgress())); });
  // Saving shows its own messages.
  wire(a.saveFile, [this] { (void)session_.report(SaveFileClick(session_, prompter_)); });
  wire(a.saveAs, [this] { (void)session_.report(SaveAsClick(session_, prompter_)); });
  wire(a.einde, [this] { close(); });
  wire(a.eigenschappen, [this] { properties(); });
}

void TMainForm::connectDataSetCommands() {
  const MainActions& a = *actions_;
  wire(a.delStock, [this] { (void)session_.report(SpeedDelFondsClick(session_, prompter_)); });
  wire(a.verwijderSet, [this] { (void)session_.report(SpeedDelClick(session_, prompter_)); });
  wire(a.voegToeSet, [this] { (void)session_.report(SpeedAddClick(session_, prompter_)); });
  const auto navigate = [this](Report (*step)(Session&)) {
    return [this, step] { (void)session_.report(step(session_)); };
  };
  wire(a.eersteDatum, navigate(&FirstDateBtnClick));
  wire(a.vorigeDatum, navigate(&PrevDateBtnClick));
  wire(a.volgendeDatum, navigate(&NextDateBtnClick));
  wire(a.laatsteDatum, navigate(&LastDateBtnClick));
  wire(a.speedReken, [this] { recalculateAll(); });
  // The import shows its own result or refusal.
  wire(a.importPrices, [this] { (void)session_.report(ImportPricesClick(session_, prompter_)); });
  // Currencies: the selected fund's currency; the core recalculates.
  wire(a.kiesValuta, [this] { (void)session_.report(KiesValutaClick(session_, prompter_)); });
  wire(a.kiesDollarIndex,
       [this] { (void)session_.report(KiesDollarIndexClick(session_, prompter_, this)); });
  wire(a.toonRekeningen, [this] { rekForm_->SpeedRekClick(); });
  connect(rekForm_, &TRekForm::promptChanged, labelStatus_, &QLabel::setText);
}

void TMainForm::connectChartCommands() {
  const MainActions& a = *actions_;
  // Charts: each menu item charts the selected fund or the portfolio.
  const auto chart = [this](ChartKind kind) {
    return [this, kind] { grafiekForm_->showKind(kind); };
  };
  wire(a.koersFonds, chart(ChartKind::FundPrice));
  wire(a.waardeFonds, chart(ChartKind::FundValue));
  wire(a.rendementFonds, chart(ChartKind::FundYield));
  wire(a.waardePort, chart(ChartKind::PortfolioValue));
  wire(a.rendementPort, chart(ChartKind::PortfolioYield));
  wire(a.twrFonds, chart(ChartKind::FundTwr));
  wire(a.twrPort, chart(ChartKind::PortfolioTwr));
  wire(a.download, [this] { download(); });
  actions_->markWired(a.beheerDownloads);
  wire(a.nl1, [this] { fondsenNl_->manage(); });
  wire(a.us1, [this] { fondsenUs_->manage(); });
}

void TMainForm::connectFundCommands() {
  const MainActions& a = *actions_;
  wire(a.divirOzev, [this] { (void)session_.report(DivirOzevClick(session_)); });
  wire(a.rividuDori, [this] { (void)session_.report(RividuDoriClick(session_)); });
  // New funds: the placeholder row's new-fund dialogs, from either menu item.
  const auto newFund = [this] {
    (void)session_.report(NieuwFondsClick(session_, prompter_, recalcProgress()));
  };
  wire(a.nieuwFonds, newFund);
  wire(a.voegtoeFonds1, newFund);
}

void TMainForm::connectHelpAndSettings() {
  const MainActions& a = *actions_;
  // The menu shows F1 beside the item, but the key is the program's own
  // (HelpKeyFilter): the item and the tool bar button open the manual at its
  // start, F1 at the topic of the control that has the focus.
  wire(a.hHelp, [this] { openHelp(HelpAnchor(kDefaultHelpContext)); });
  a.hHelp->setShortcutContext(Qt::WidgetShortcut);
  wire(a.about, [this] { about(); });
  // Settings: the window's OK hands what changed to every window; its
  // stock-list buttons run the menu's own commands.
  wire(a.instellingen, [this] {
    optionsForm_->BtnBeheer_us->setEnabled(actions_->us1->isEnabled());
    optionsForm_->InstellingenClick();
  });
  connect(optionsForm_, &TOptionsForm::applied, this,
          [this](const SettingsEffects& effects) { applySettings(effects); });
  connect(optionsForm_, &TOptionsForm::promptChanged, labelStatus_, &QLabel::setText);
  connect(optionsForm_, &TOptionsForm::stockListWanted, this, [this](Market market) {
    (market == Market::Dutch ? actions_->nl1 : actions_->us1)->trigger();
  });
}

void TMainForm::connectPanel() {
  FundListBox* fondsenBox = body_->fondsenBox;
  connect(fondsenBox, &QListWidget::itemClicked, this, [this] { FondsenBoxClick(); });
  connect(fondsenBox, &QListWidget::currentRowChanged, this, [this] { FondsenBoxClick(); });
  connect(body_->adviesInfo, &QPushButton::clicked, this,
          [this] { prompter_.message(body_->adviesInfo->toolTip()); });
  connect(body_->datumPanel, &ClickLabel::clicked, this,
          [this] { (void)session_.report(DatumPanelClick(session_, prompter_)); });
  connect(body_->fCumDatumPanel, &ClickLabel::clicked, this,
          [this] { (void)session_.report(FCumDatumPanelClick(session_, prompter_)); });

  FundGridWidget* grid = body_->grid;
  connect(grid, &FundGridWidget::promptChanged, labelStatus_, &QLabel::setText);
  // A value typed into the grid is reported by the grid; a key only moves
  // the controls' state.
  connect(grid, &FundGridWidget::edited, this, [this] { enableControls(); });
  connect(grid, &FundGridWidget::stepFund, this, [fondsenBox](int step) {
    const int row = fondsenBox->currentRow() + step;
    if (row >= 0 && row < fondsenBox->count()) fondsenBox->setCurrentRow(row);
  });
  connect(grid, &FundGridWidget::showDataSetWanted, this, [this] { showCurrentFund(); });
  connect(grid, &FundGridWidget::diagnosticsToggled, this, [this] { toggleDiagnostics(); });
  connect(grid, &FundGridWidget::latestPricesWanted, this, [this] { ShowLatestPrices(); });
  connect(grid, &FundGridWidget::rowDoubleClicked, this,
          [this](int row) { FondsGridDblClick(row); });
}

void TMainForm::FondsGridDblClick(int row) {
  // Refusals are shown by the command.
  (void)session_.report(pelmar::FondsGridDblClick(session_, prompter_, body_->grid->cellTexts(),
                                                  row, recalcProgress()));
}

void TMainForm::portfolioChanged(Changes changes) {
  if (!changes) return;
  if (changes & Change::Portfolio) {
    showOpened();
    return;
  }
  if (changes & (Change::Funds | Change::DataSet)) FillFondsenBox();
  // The mode switches' marks and labels follow the engine's advice.
  const Advice& advice = session_.engine().advice();
  actions_->divirOzev->setChecked(advice.divirOzevChecked());
  actions_->rividuDori->setChecked(advice.rividuDoriChecked());
  body_->showModes();
  // A fund chosen from the list was computed by its command already.
  if (changes == Change::Fund) {
    drawDataSet();
  } else {
    showCurrentFund();
  }
  enableControls();
}

// --- Language ---------------------------------------------------------------------

void TMainForm::HandleLanguage() {
  // Qt's own dialogs and menus speak the program's language too.
  (void)UseQtTranslations(session_.language(), programFolder_);
  actions_->HandleLanguage(session_);
  body_->HandleLanguage();
  grafiekForm_->HandleLanguage();
  if (session_.portfolio().bPortOpened() || session_.portfolio().bPortNew()) {
    showPortfolio();
  } else {
    showNothingRead();
  }
  FormResize();
}

void TMainForm::FormResize() {
  // The window is as large as its contents, which the language's texts
  // and the grid's font decide.
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  centralWidget()->adjustSize();
  adjustSize();
  // Never smaller than its contents; larger or maximised, the grid and the
  // tabs take the room (FundPanel), the fund list its height.
  const QSize natural = sizeHint();
  setMinimumSize(natural);
  if (!isMaximized() && !isFullScreen()) resize(natural);
}

// --- Showing a dataset ------------------------------------------------------------

void TMainForm::colourWindow(const QColor& colour) {
  setWindowColour(actions_->speedPanel, colour);
  setWindowColour(panelStatus_, colour);
  body_->setColour(colour);
}

void TMainForm::ShowDataSet(int index) {
  pelmar::ShowDataSet(session_, index);
  drawDataSet();
}

void TMainForm::drawDataSet() {
  const DataSetView view = DataSetViewOf(session_, CurrentFileName(session_));
  colourWindow(colourOf(WindowColour(session_.portfolio())));
  setWindowTitle(view.caption);
  actions_->nodePanel->setText(view.nodePanel);
  body_->ShowDataSet(view);
  // A price the user set that a later daily file replaced is told.
  if (const std::vector<PriceReplacement> replaced = session_.engine().takeReplacedPrices();
      !replaced.empty())
    labelStatus_->setText(PricesReplacedText(session_, replaced));
}

void TMainForm::showCurrentFund() {
  const Portfolio& p = session_.portfolio();
  if (!p.bPortOpened() && !p.bPortNew()) return;
  ShowDataSet(p.pKoersRec());
}

void TMainForm::showPortfolio() {
  FillFondsenBox();
  showCurrentFund();
  enableControls();
}

void TMainForm::showChange() {
  showCurrentFund();
  enableControls();
}

void TMainForm::showOpened() {
  FillFondsenBox();
  drawDataSet();
  enableControls();
}

void TMainForm::showNothingRead() {
  actions_->nodePanel->setText(session_.text(TextId::NothingRead));
  setWindowTitle(session_.caption());
  EnableControls(false, false, false);
}

void TMainForm::enableControls() {
  const Portfolio& p = session_.portfolio();
  EnableControls(p.bPortNew(), p.bPortOpened(), p.bPortChanged());
}

void TMainForm::EnableControls(bool isNew, bool opened, bool changed) {
  actions_->EnableControls(pelmar::EnableControls(session_, isNew, opened, changed));
}

// --- Fund list --------------------------------------------------------------------

void TMainForm::FillFondsenBox() {
  body_->fondsenBox->setTickers(pelmar::FillFondsenBox(session_.portfolio()));
}

void TMainForm::FondsenBoxClick() {
  const Portfolio& p = session_.portfolio();
  if (!p.bPortOpened() && !p.bPortNew()) {
    actions_->nodePanel->setText(session_.text(TextId::NothingRead));
  } else if (QListWidgetItem* item = body_->fondsenBox->currentItem()) {
    (void)session_.report(pelmar::FondsenBoxClick(session_, item->text()));
  }
  enableControls();
  body_->grid->setFocus();
}

// --- Start-up ---------------------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!firstPaint_) QTimer::singleShot(0, this, &TMainForm::FormPaint);
}

void TMainForm::FormPaint() {
  if (firstPaint_) return;
  firstPaint_ = true;
  body_->tabs->bindSettings(&session_.settings());
  splash_ = new TSplashForm(session_, this);
  splash_->showCentred();
  HandleLanguage();

  QApplication::setOverrideCursor(Qt::WaitCursor);
  // The splash stays on top of every window: it is closed before the start
  // asks or tells anything (the year question, a failed copy, the open
  // dialog), so the question is seen, and seen over the main window.
  SplashClosingPrompter startPrompter(prompter_, splash_);
  const Outcome started = StartUp(session_, startPrompter, programFolder_, fileProgress());
  QApplication::restoreOverrideCursor();
  splash_->close();
  // The price files are worth filling with or without a portfolio.
  if (DownloadAtStart(session_)) timerDownload_->start();
  quotes_->ApplyQuoteSwitches(QuoteEffect(session_.settings(), session_.settings()));
  if (!started) {
    showNothingRead();
    return;
  }
  showOpened();
  ShowLatestPrices();
}

bool TMainForm::openPortfolio(const QString& fileName) {
  const Report opened = Report::ifDone(LoadPortfolio(session_, prompter_, fileName, fileProgress()),
                                       Change::Portfolio);
  return session_.report(opened).ok();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  // A running download holds the portfolio: it is asked to stop first.
  if (downloadForm_->running()) {
    downloadForm_->BtnCancelClick();
    event->ignore();
    return;
  }
  if (!FormClose(session_, prompter_)) {
    event->ignore();
    return;
  }
  // The window opens where it was left next time.
  Settings& settings = session_.settings();
  settings.mainLeft = x();
  settings.mainTop = y();
  Tell(session_, prompter_, session_.storeSettings());
  event->accept();
}

// --- Status line, properties, help ---------------------------------------------------

void TMainForm::ShowLatestPrices() {
  const LatestPricesLines lines =
      pelmar::ShowLatestPrices(session_, session_.prices().latestPriceDays(), QString(),
                               session_.prices().NewestFileDay(session_.clock().today()));
  labelStatus_->setText(lines.status);
}

void TMainForm::properties() {
  const QString fileName = CurrentFileName(session_);
  prompter_.timedMessage(session_.text(TextId::PropertiesHeading),
                         PropertiesText(session_, fileName, QFileInfo(fileName).size()),
                         kPropertiesMs);
}

void TMainForm::about() {
  prompter_.message(session_.caption().trimmed() + QStringLiteral("\r\n\r\n") +
                    session_.text(TextId::AboutText));
}

QString TMainForm::helpFile() const {
  return QDir(programFolder_).filePath(HelpFileName(session_.language()));
}

void TMainForm::openHelp(const QString& anchor) {
  QWidget* modal = QApplication::activeModalWidget();
  HelpWindow* window =
      modal ? modal->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : helpWindow_;
  if (!window) window = new HelpWindow(modal ? modal : this);
  if (!modal) helpWindow_ = window;
  if (!window->showTopic(helpFile(), anchor, session_.language()))
    prompter_.message(session_.text(TextId::HelpFileNotFound) + QStringLiteral("\r\n") +
                      QDir::toNativeSeparators(helpFile()));
}

Engine::Progress TMainForm::recalcProgress() {
  // The progress is painted at once, without running the event loop: a
  // timer or a click must not reach the engine half-way. Input waits until
  // the recalculation is done.
  return [this](int done, int total) {
    // Once every dataset is done the line tells the prices again.
    if (done >= total) {
      ShowLatestPrices();
      return;
    }
    labelStatus_->setText(session_.text(TextId::RecalculatingAll) +
                          QStringLiteral(" %1/%2").arg(done).arg(total));
    labelStatus_->repaint();
  };
}

void TMainForm::recalculateAll() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const Report recalculated = RecalculateAllClick(session_, recalcProgress());
  QApplication::restoreOverrideCursor();
  ShowLatestPrices();
  (void)session_.report(recalculated);
}

void TMainForm::download() {
  if (downloadForm_->running()) {
    downloadForm_->raise();
    return;
  }
  // While the session is busy the download alone changes the portfolio's
  // prices: the main window takes no commands, only the download window
  // (Cancel) stays usable.
  for (QWidget* w : lockedWhileBusy()) w->setEnabled(false);
  downloadForm_->start(std::make_unique<NetworkHttpGet>());
}

QList<QWidget*> TMainForm::lockedWhileBusy() const {
  // The windows that write the portfolio, the lists or the settings too.
  return {centralWidget(), menuBar(),  actions_->speedPanel, rekForm_,
          fondsenNl_,      fondsenUs_, optionsForm_};
}

void TMainForm::downloadFinished() {
  // The download rewrote the lists: the list windows read their files again,
  // the chart window's stock list is filled again (its chart follows below).
  fondsenNl_->markNotLoaded();
  fondsenUs_->markNotLoaded();
  grafiekForm_->refreshStockList();
  for (QWidget* w : lockedWhileBusy()) w->setEnabled(true);
  ShowLatestPrices();
  // Whatever it finished with, the download may have stored prices of every
  // dataset.
  (void)session_.report(Report(Outcome::done(), Change::Prices | Change::Figures | Change::Funds));
}

void TMainForm::TimerDownloadTimer() {
  timerDownload_->stop();
  download();
}

void TMainForm::toggleDiagnostics() {
  actions_->toggleDiagnostics(session_.portfolio(), session_.settings());
}

// --- Settings -------------------------------------------------------------------------

void TMainForm::applySettings(const SettingsEffects& effects) {
  if (effects.language) {
    HandleLanguage();
    rekForm_->HandleLanguage();
    downloadForm_->HandleLanguage();
    // Every other window that follows the language hears of it at once.
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window == this || window == rekForm_ || window == downloadForm_) continue;
      QEvent change(QEvent::LanguageChange);
      QCoreApplication::sendEvent(window, &change);
    }
  }
  // The list window reads the lists of the folder and format in use.
  if (effects.priceFolder || effects.dateFormat) {
    fondsenNl_->markNotLoaded();
    fondsenUs_->markNotLoaded();
  }
  const Portfolio& p = session_.portfolio();
  actions_->portInDollar->setChecked(p.bPortInDollar());
  actions_->portInEuro->setChecked(!p.bPortInDollar());
  actions_->rappInDollar->setChecked(p.bRapInDollar());
  actions_->rappInEuro->setChecked(!p.bRapInDollar());
  applyQuoteSwitches(effects.quotes);
  ShowLatestPrices();
  (void)session_.report(Report(Outcome::done(), Change::Settings));
}

void TMainForm::applyQuoteSwitches(const QuoteSwitches& quotes) {
  // The controller shows the quote buttons, runs the timers and clears a
  // box whose quote was switched off.
  quotes_->ApplyQuoteSwitches(quotes);
  actions_->downloadOn->setChecked(quotes.automaticDownload);
  actions_->downloadDollarOn->setChecked(quotes.dollar);
  actions_->downloadAexOn->setChecked(quotes.aex);
  // A quote switched off leaves no stale value behind; the box itself is
  // shown by the dataset view while a quote is on.
  if (quotes.clearDollar || quotes.clearAex) {
    body_->realTime->setTitle(quotes.label.isEmpty() ? QStringLiteral(" * ") : quotes.label);
    body_->realTime->tijdLabel->clear();
  }
}

// New funds: a download list in selection mode for the new-fund dialog.
std::optional<StockLine> TMainForm::pickStock(Market market) {
  return market == Market::Dutch ? fondsenNl_->selectStock() : fondsenUs_->selectStock();
}

}  // namespace pelmar
