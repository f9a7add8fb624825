#include "ui/main/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

#include "commands/comparison_tabs.h"
#include "commands/file_commands.h"
#include "commands/navigation.h"
#include "commands/session.h"
#include "model/conversions.h"
#include "ui/main/delta_image.h"
#include "ui/main/fund_grid_widget.h"
#include "ui/main/fund_list_box.h"
#include "ui/main/panel_tabs.h"
#include "ui/main/splash_form.h"

namespace pelmar {

namespace {

constexpr int kWindowHelpContext = 30000;
constexpr int kDefaultHelpContext = 1000;
constexpr int kPropertiesMs = 15000;
const char* const kHelpContext = "helpContext";
const char* const kWired = "wired";
const char* const kCaption = "captionText";
const char* const kHint = "hintText";

const char* const kGroup = "menuGroup";

// One item of the main menu: its name, caption, key and help context.
// Items with a tool bar twin share their action with the button.
struct ItemSpec {
  const char* name;
  TextId caption;
  const char* key;
  int help;
};

// nullptr names a separator.
const ItemSpec kBestand[] = {
    {"NewFile", TextId::MenuNewFile, "", 31120},
    {"NieuwFonds", TextId::MenuNieuwFonds, "", 31125},
    {"OpenFile", TextId::MenuOpenFile, "", 31130},
    {"SaveFile", TextId::MenuSaveFile, "", 31135},
    {"SaveAs", TextId::MenuSaveAs, "", 31140},
    {nullptr, TextId::MenuBestand, "", 0},
    {"OverzichtPortefeuille", TextId::MenuOverzichtPortefeuille, "", 31142},
    {"OverzichtActies", TextId::MenuOverzichtActies, "", 31145},
    {"Eigenschappen", TextId::MenuEigenschappen, "", 31147},
    {nullptr, TextId::MenuBestand, "", 0},
    {"Einde", TextId::MenuEinde, "F10", 31150},
};
const ItemSpec kActies[] = {
    {"DelStock", TextId::MenuDelStock, "", 31210},
    {"VoegtoeFonds1", TextId::MenuVoegtoeFonds, "", 0},
    {"BeheerDownloads", TextId::MenuBeheerDownloads, "", 31215},
    {"Download", TextId::MenuDownload, "", 31220},
    {"KiesDollarIndex", TextId::MenuKiesDollarIndex, "", 0},
    {"Splitsen", TextId::MenuSplitsen, "", 31230},
    {"NieuweRefWaarde", TextId::MenuNieuweRefWaarde, "", 31232},
    {"OverzichtPortefeuille1", TextId::MenuOverzichtPortefeuille1, "", 31233},
    {"OverzichtActies1", TextId::MenuOverzichtActies1, "", 31234},
    {"Jaarafsluiting", TextId::MenuJaarafsluiting, "", 31235},
    {nullptr, TextId::MenuActies, "", 0},
    {"VerwijderSet", TextId::MenuVerwijderSet, "", 31240},
    {"VoegToeSet", TextId::MenuVoegToeSet, "", 31275},
    {"EersteDatum", TextId::MenuEersteDatum, "", 31245},
    {"VorigeDatum", TextId::MenuVorigeDatum, "F7", 31250},
    {"VolgendeDatum", TextId::MenuVolgendeDatum, "F8", 31260},
    {"LaatsteDatum", TextId::MenuLaatsteDatum, "", 31270},
    {nullptr, TextId::MenuActies, "", 0},
    {"ToonRekeningen", TextId::MenuToonRekeningen, "F3", 31280},
    {"KiesValuta", TextId::MenuKiesValuta, "", 31290},
    {"Update", TextId::MenuUpdate, "", 31292},
};
const ItemSpec kGrafieken[] = {
    {"KoersFonds", TextId::MenuKoersFonds, "", 31410},
    {"WaardeFonds", TextId::MenuWaardeFonds, "", 31420},
    {"RendementFonds", TextId::MenuRendementFonds, "", 31430},
    {"WaardePort", TextId::MenuWaardePort, "", 31440},
    {"RendementPort", TextId::MenuRendementPort, "", 31450},
};
const ItemSpec kOpties[] = {
    {"Instellingen", TextId::MenuInstellingen, "", 31501},
    {"DivirOzev", TextId::MenuDivirOzev, "", 31502},
    {"RividuDori", TextId::MenuRividuDori, "", 31503},
};
const ItemSpec kHelp[] = {
    {"HHelp", TextId::MenuHHelp, "F1", 31910},
    {"About", TextId::MenuAbout, "", 50000},
};
const ItemSpec kDiagnostics[] = {
    {"Onderhoud", TextId::MenuOnderhoud, "F11", 0},
    {"DownloadOn", TextId::MenuDownloadOn, "", 0},
    {"DownloadDollarOn", TextId::MenuDownloadDollarOn, "", 0},
    {"DownloadAEXOn", TextId::MenuDownloadAEXOn, "", 0},
    {"PortInDollar", TextId::MenuPortInDollar, "", 0},
    {"PortInEuro", TextId::MenuPortInEuro, "", 0},
    {"RappInDollar", TextId::MenuRappInDollar, "", 0},
    {"RappInEuro", TextId::MenuRappInEuro, "", 0},
};

struct GroupSpec {
  const char* name;
  TextId caption;
  int help;
};

// Tool bar buttons: the button, the menu item it shares its action with
// (or nullptr for a button of its own), its hint (TextId::Count for none)
// and its standard icon.
struct ButtonSpec {
  const char* name;
  const char* twin;
  TextId hint;
  QStyle::StandardPixmap icon;
};
const ButtonSpec kButtons[] = {
    {"SpeedNew", "NewFile", TextId::HintSpeedNew, QStyle::SP_FileIcon},
    {"SpeedOpen", "OpenFile", TextId::HintSpeedOpen, QStyle::SP_DialogOpenButton},
    {"SpeedSave", "SaveFile", TextId::HintSpeedSave, QStyle::SP_DialogSaveButton},
    {nullptr, nullptr, TextId::HintSpeedNew, QStyle::SP_CustomBase},
    {"SpeedRek", "ToonRekeningen", TextId::HintSpeedRek, QStyle::SP_FileDialogDetailedView},
    {"SpeedDelFonds", "DelStock", TextId::HintSpeedDelFonds, QStyle::SP_TrashIcon},
    {"SpeedSplits", "Splitsen", TextId::HintSpeedSplits, QStyle::SP_ArrowDown},
    {"SpeedRefWaarde", "NieuweRefWaarde", TextId::RefWaardeCalculate, QStyle::SP_ArrowUp},
    {"SpeedJaar", "Jaarafsluiting", TextId::HintSpeedJaar, QStyle::SP_DialogApplyButton},
    {nullptr, nullptr, TextId::HintSpeedNew, QStyle::SP_CustomBase},
    {"FirstDateBtn", "EersteDatum", TextId::HintFirstDate, QStyle::SP_MediaSkipBackward},
    {"PrevDateBtn", "VorigeDatum", TextId::HintPrevDate, QStyle::SP_MediaSeekBackward},
    {"NextDateBtn", "VolgendeDatum", TextId::HintNextDate, QStyle::SP_MediaSeekForward},
    {"LastDateBtn", "LaatsteDatum", TextId::HintLastDate, QStyle::SP_MediaSkipForward},
    {"SpeedDel", "VerwijderSet", TextId::HintSpeedDel, QStyle::SP_DialogDiscardButton},
    {"SpeedAdd", "VoegToeSet", TextId::HintSpeedAdd, QStyle::SP_FileDialogNewFolder},
    {"SpeedReken", nullptr, TextId::Count, QStyle::SP_BrowserReload},
    {nullptr, nullptr, TextId::HintSpeedNew, QStyle::SP_CustomBase},
    {"ButtonDollar", nullptr, TextId::HintButtonDollar, QStyle::SP_ArrowRight},
    {"ButtonAEX", nullptr, TextId::HintButtonAEX, QStyle::SP_ArrowRight},
    {"SpeedHelp", "HHelp", TextId::HintSpeedHelp, QStyle::SP_DialogHelpButton},
    {"SpeedEinde", "Einde", TextId::HintSpeedEinde, QStyle::SP_DialogCloseButton},
};

QColor colourOf(unsigned rgb) {
  return QColor(QRgb(rgb));
}

void setHelp(QObject* object, int context) {
  object->setProperty(kHelpContext, context);
}

// A label that reports clicks: the two date panels.
class ClickLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> clicked;

 protected:
  void mousePressEvent(QMouseEvent*) override {
    if (clicked) clicked();
  }
};

QLabel* panelLabel(QWidget* parent, const char* name, int width, int help) {
  auto* label = new ClickLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignCenter);
  label->setMinimumWidth(width);
  label->setAutoFillBackground(true);
  if (help) setHelp(label, help);
  return label;
}

QLabel* plainLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

QGroupBox* groupBox(QWidget* parent, const char* name) {
  auto* box = new QGroupBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

}  // namespace

TMainForm::TMainForm(Session& session, Prompter& prompter, const QString& programFolder,
                     SettingsStore* store, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      session_(session),
      prompter_(prompter),
      programFolder_(programFolder),
      store_(store),
      files_(std::make_unique<FileCommands>(session, prompter, store)) {
  const TraceScope trace(session_.trace(), QStringLiteral("MainForm.FormCreate"));
  setObjectName(QStringLiteral("MainForm"));
  setHelp(this, kWindowHelpContext);
  setFont(QFont(QStringLiteral("Verdana"), 9));
  createControls();
  createMenus();
  createToolBar();
  connectCommands();
  // Commands of later work are shown, never wired to a stand-in.
  for (QAction* command : findChildren<QAction*>()) {
    if (command->property(kCaption).isValid() && !command->property(kGroup).toBool())
      setCommandEnabled(command, true);
    else if (command->property(kHint).isValid() || command->objectName() == "SpeedReken")
      setCommandEnabled(command, true);
  }

  const QString helpFile = QDir(programFolder_).filePath(QStringLiteral("help/pelmar.html"));
  if (!QFileInfo::exists(helpFile))
    prompter_.message(session_.text(TextId::HelpFileNotFound) + QStringLiteral("\r\n") +
                      QDir::toNativeSeparators(helpFile));
  HandleLanguage();
  colourWindow(colourOf(kOlderDataSetColour));
  showNothingRead();

  const Settings& s = session_.settings();
  const QRect screen =
      this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
  move(ClampWindowPosition({s.mainLeft, s.mainTop}, frameGeometry().size(), screen));
}

TMainForm::~TMainForm() = default;

// --- Building the window -----------------------------------------------------

void TMainForm::createControls() {
  auto* central = new QWidget(this);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  fondsenBox_ = new FundListBox(central);
  fondsenBox_->setObjectName(QStringLiteral("FondsenBox"));
  fondsenBox_->setFixedWidth(89);
  setHelp(fondsenBox_, 33000);
  row->addWidget(fondsenBox_);

  auto* fondsPanel = new QFrame(central);
  fondsPanel->setObjectName(QStringLiteral("FondsPanel"));
  fondsPanel->setAutoFillBackground(true);
  setHelp(fondsPanel, 34000);
  row->addWidget(fondsPanel);
  auto* panel = new QVBoxLayout(fondsPanel);
  panel->setContentsMargins(5, 5, 15, 5);
  panel->setSpacing(5);

  auto* datums = new QFrame(fondsPanel);
  datums->setObjectName(QStringLiteral("DatumsPanel"));
  datums->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  datums->setAutoFillBackground(true);
  setHelp(datums, 34100);
  auto* dates = new QHBoxLayout(datums);
  dates->setContentsMargins(5, 3, 5, 3);
  dates->addWidget(plainLabel(datums, "DatumLabel"));
  dates->addWidget(panelLabel(datums, "DatumPanel", 90, 34101));
  dates->addStretch();
  dates->addWidget(plainLabel(datums, "CumDatumLabel"));
  dates->addWidget(panelLabel(datums, "FCumDatumPanel", 90, 34102));
  dates->addWidget(panelLabel(datums, "CumDatumPanel", 90, 34103));
  panel->addWidget(datums);

  auto* columns = new QHBoxLayout;
  columns->setSpacing(10);
  panel->addLayout(columns);

  auto* left = new QVBoxLayout;
  left->setSpacing(5);
  columns->addLayout(left);
  grid_ = new FundGridWidget(session_, session_.engine(), prompter_, fondsPanel);
  grid_->setObjectName(QStringLiteral("FondsGrid"));
  // The cells are padded to their width with blanks; clipping them keeps
  // the text whole where eliding would cut it to "B...".
  grid_->setTextElideMode(Qt::ElideNone);
  // Rows as high as the grid sets them, not the style's minimum, so that
  // all fifteen fit in the grid's size.
  grid_->verticalHeader()->setMinimumSectionSize(1);
  grid_->HandleLanguage();
  left->addWidget(grid_);

  auto* valuta = groupBox(fondsPanel, "BoxValuta");
  auto* valutaLines = new QVBoxLayout(valuta);
  valutaLines->addWidget(plainLabel(valuta, "Label1"));
  valutaLines->addWidget(plainLabel(valuta, "Label3"));
  left->addWidget(valuta);
  auto* eurDol = groupBox(fondsPanel, "BoxEurDol");
  auto* eurDolLines = new QVBoxLayout(eurDol);
  eurDolLines->addWidget(plainLabel(eurDol, "Label2"));
  eurDolLines->addWidget(plainLabel(eurDol, "Label4"));
  left->addWidget(eurDol);
  left->addWidget(plainLabel(fondsPanel, "LabelTurbo"));
  left->addWidget(plainLabel(fondsPanel, "LabelPremie"));
  auto* split = plainLabel(fondsPanel, "SplitLabel");
  split->setStyleSheet(QStringLiteral("color: red"));
  left->addWidget(split);
  left->addStretch();

  auto* right = new QVBoxLayout;
  right->setSpacing(5);
  columns->addLayout(right);
  tabs_ = new TPanelTabs(fondsPanel);
  tabs_->setObjectName(QStringLiteral("PanelTabs1"));
  right->addWidget(tabs_);

  auto* advies = groupBox(fondsPanel, "AdviesBox");
  auto* adviesLines = new QGridLayout(advies);
  adviesLines->addWidget(plainLabel(advies, "AdviesLabel"), 0, 0);
  adviesLines->addWidget(plainLabel(advies, "KoopLabel"), 1, 0);
  adviesLines->addWidget(plainLabel(advies, "VerkoopLabel"), 2, 0);
  adviesInfo_ = new QPushButton(QStringLiteral("?"), advies);
  adviesInfo_->setObjectName(QStringLiteral("AdviesInfo"));
  adviesInfo_->setFixedSize(25, 25);
  adviesLines->addWidget(adviesInfo_, 0, 1, 3, 1, Qt::AlignTop);
  adviesLines->setColumnStretch(0, 1);
  right->addWidget(advies);

  boxRealTime_ = groupBox(fondsPanel, "BoxRealTime");
  boxRealTime_->setFixedSize(218, 88);
  auto* realTime = new QVBoxLayout(boxRealTime_);
  realTime->setContentsMargins(4, 4, 4, 4);
  realTime->setSpacing(1);
  realTime->addWidget(plainLabel(boxRealTime_, "RealTimeLabel"));
  deltaImage_ = new DeltaImage(boxRealTime_);
  deltaImage_->setObjectName(QStringLiteral("DeltaImage"));
  realTime->addWidget(deltaImage_);
  auto* tijd = plainLabel(boxRealTime_, "TijdLabel");
  tijd->setAlignment(Qt::AlignCenter);
  tijd->setFixedWidth(210);
  realTime->addWidget(tijd);
  boxRealTime_->hide();
  right->addWidget(boxRealTime_);

  right->addSpacing(5);
  servicePanel_ = plainLabel(fondsPanel, "ServicePanel");
  servicePanel_->setAutoFillBackground(true);
  servicePanel_->setWordWrap(true);
  servicePanel_->hide();
  right->addWidget(servicePanel_);
  right->addStretch();

  setCentralWidget(central);

  auto* status = new QFrame(this);
  status->setObjectName(QStringLiteral("PanelStatus"));
  status->setAutoFillBackground(true);
  status->setFixedHeight(38);
  auto* statusLine = new QHBoxLayout(status);
  statusLine->setContentsMargins(5, 0, 5, 0);
  statusLine->addWidget(plainLabel(status, "LabelStatus"));
  // The status panel stands under the window's contents.
  auto* whole = new QWidget(this);
  auto* stack = new QVBoxLayout(whole);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->setSpacing(0);
  stack->addWidget(takeCentralWidget());
  stack->addWidget(status);
  setCentralWidget(whole);
}

void TMainForm::createMenus() {
  const auto addItems = [this](QMenu* menu, const auto& items) {
    for (const ItemSpec& entry : items) {
      if (!entry.name) {
        menu->addSeparator();
        continue;
      }
      auto* action = new QAction(this);
      action->setObjectName(QString::fromLatin1(entry.name));
      action->setProperty(kCaption, static_cast<int>(entry.caption));
      action->setShortcut(QKeySequence(QString::fromLatin1(entry.key)));
      action->setIconVisibleInMenu(false);
      if (entry.help) setHelp(action, entry.help);
      menu->addAction(action);
    }
  };
  const auto addGroup = [this](const GroupSpec& entry) {
    auto* menu = menuBar()->addMenu(QString());
    menu->setObjectName(QString::fromLatin1(entry.name));
    menu->menuAction()->setObjectName(QString::fromLatin1(entry.name));
    menu->menuAction()->setProperty(kCaption, static_cast<int>(entry.caption));
    menu->menuAction()->setProperty(kGroup, true);
    if (entry.help) setHelp(menu, entry.help);
    return menu;
  };
  addItems(addGroup({"Bestand", TextId::MenuBestand, 31100}), kBestand);
  QMenu* acties = addGroup({"Acties", TextId::MenuActies, 31200});
  addItems(acties, kActies);
  // BeheerDownloads opens the two stock lists.
  auto* downloads = new QMenu(this);
  downloads->setObjectName(QStringLiteral("BeheerDownloadsMenu"));
  addItems(downloads, std::initializer_list<ItemSpec>{{"nl1", TextId::MenuNl, "", 0},
                                                      {"us1", TextId::MenuUs, "", 0}});
  action(QStringLiteral("BeheerDownloads"))->setMenu(downloads);
  addItems(addGroup({"Grafieken", TextId::MenuGrafieken, 31400}), kGrafieken);
  QMenu* opties = addGroup({"Opties", TextId::MenuOpties, 31500});
  addItems(opties, kOpties);
  auto* muis = opties->addAction(QString());
  muis->setObjectName(QStringLiteral("MuisNaarKnop"));
  muis->setVisible(false);
  addItems(addGroup({"Help", TextId::MenuHelp, 31900}), kHelp);
  QMenu* diagnostics = addGroup({"Diagnostics", TextId::MenuDiagnostics, 0});
  addItems(diagnostics, kDiagnostics);
  diagnostics->menuAction()->setVisible(false);
  for (const char* name :
       {"DivirOzev", "RividuDori", "DownloadOn", "DownloadDollarOn", "DownloadAEXOn",
        "PortInDollar", "PortInEuro", "RappInDollar", "RappInEuro"})
    action(QString::fromLatin1(name))->setCheckable(true);
}

void TMainForm::createToolBar() {
  auto* speedPanel = addToolBar(QStringLiteral("SpeedPanel"));
  speedPanel->setObjectName(QStringLiteral("SpeedPanel"));
  speedPanel->setMovable(false);
  speedPanel->setFloatable(false);
  speedPanel->setFixedHeight(33);
  speedPanel->setIconSize(QSize(18, 18));
  speedPanel->setAutoFillBackground(true);
  setHelp(speedPanel, 32000);
  for (const ButtonSpec& entry : kButtons) {
    if (!entry.name) {
      speedPanel->addSeparator();
      continue;
    }
    QAction* button = entry.twin ? action(QString::fromLatin1(entry.twin)) : new QAction(this);
    if (!entry.twin) button->setObjectName(QString::fromLatin1(entry.name));
    button->setIcon(style()->standardIcon(entry.icon));
    if (entry.hint != TextId::Count) button->setProperty(kHint, static_cast<int>(entry.hint));
    speedPanel->addAction(button);
    QWidget* widget = speedPanel->widgetForAction(button);
    widget->setObjectName(QString::fromLatin1(entry.name));
    widget->setFixedSize(25, 25);
    if (QString::fromLatin1(entry.name) == QLatin1String("SpeedReken")) {
      nodePanel_ = new QLabel(speedPanel);
      nodePanel_->setObjectName(QStringLiteral("NodePanel"));
      nodePanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      nodePanel_->setMinimumWidth(100);
      nodePanel_->setAlignment(Qt::AlignCenter);
      setHelp(nodePanel_, 32230);
      speedPanel->addSeparator();
      speedPanel->addWidget(nodePanel_);
    }
  }
  // The currency and AEX buttons stand in one place, one visible at a time.
  action(QStringLiteral("ButtonAEX"))->setVisible(false);
}

void TMainForm::connectCommands() {
  // Each wired command: the core does the work, then the window redraws.
  const auto wire = [this](const char* name, auto&& handler) {
    QAction* command = action(QString::fromLatin1(name));
    command->setProperty(kWired, true);
    connect(command, &QAction::triggered, this, handler);
  };
  wire("NewFile", [this] {
    if (files_->SpeedNewClick()) showPortfolio();
  });
  wire("OpenFile", [this] {
    if (files_->SpeedOpenClick()) showPortfolio();
  });
  wire("SaveFile", [this] {
    files_->SpeedSaveClick();
    runChange(false);
  });
  wire("SaveAs", [this] {
    files_->SaveAsClick();
    runChange(false);
  });
  wire("Einde", [this] { close(); });
  wire("Eigenschappen", [this] { properties(); });
  wire("DelStock", [this] {
    if (SpeedDelFondsClick(session_, prompter_)) showPortfolio();
  });
  wire("VerwijderSet", [this] {
    if (SpeedDelClick(session_, prompter_)) showPortfolio();
  });
  wire("VoegToeSet", [this] {
    if (SpeedAddClick(session_, prompter_)) showPortfolio();
  });
  const auto navigate = [this](bool (*step)(Session&)) {
    return [this, step] {
      if (step(session_)) showPortfolio();
    };
  };
  wire("EersteDatum", navigate(&FirstDateBtnClick));
  wire("VorigeDatum", navigate(&PrevDateBtnClick));
  wire("VolgendeDatum", navigate(&NextDateBtnClick));
  wire("LaatsteDatum", navigate(&LastDateBtnClick));
  wire("SpeedReken", [this] { recalculateAll(); });
  wire("DivirOzev", [this] {
    label(QStringLiteral("LabelTurbo"))->setText(session_.engine().advice().DivirOzevClick());
    action(QStringLiteral("DivirOzev"))->setChecked(session_.engine().advice().divirOzevChecked());
    runChange(true);
  });
  wire("RividuDori", [this] {
    label(QStringLiteral("LabelPremie"))->setText(session_.engine().advice().RividuDoriClick());
    action(QStringLiteral("RividuDori"))
        ->setChecked(session_.engine().advice().rividuDoriChecked());
    showCurrentFund();
  });
  wire("HHelp", [this] { openHelp(focusHelpContext()); });
  wire("About", [this] { about(); });

  connect(fondsenBox_, &QListWidget::itemClicked, this, [this] { FondsenBoxClick(); });
  connect(fondsenBox_, &QListWidget::currentRowChanged, this, [this] { FondsenBoxClick(); });
  connect(adviesInfo_, &QPushButton::clicked, this,
          [this] { prompter_.message(adviesInfo_->toolTip()); });

  auto* datum = static_cast<ClickLabel*>(label(QStringLiteral("DatumPanel")));
  datum->clicked = [this] {
    if (session_.portfolio().bPortOpened && DatumPanelClick(session_, prompter_)) showPortfolio();
  };
  auto* fundDatum = static_cast<ClickLabel*>(label(QStringLiteral("FCumDatumPanel")));
  fundDatum->clicked = [this] {
    if (session_.portfolio().bPortOpened && FCumDatumPanelClick(session_, prompter_))
      showPortfolio();
  };

  connect(grid_, &FundGridWidget::promptChanged, label(QStringLiteral("LabelStatus")),
          &QLabel::setText);
  connect(grid_, &FundGridWidget::edited, this, [this] { runChange(false); });
  connect(grid_, &FundGridWidget::fundCommitted, this, [this](bool fundsChanged) {
    if (fundsChanged) FillFondsenBox();
    showCurrentFund();
  });
  connect(grid_, &FundGridWidget::stepFund, this, [this](int step) {
    const int row = fondsenBox_->currentRow() + step;
    if (row >= 0 && row < fondsenBox_->count()) fondsenBox_->setCurrentRow(row);
  });
  connect(grid_, &FundGridWidget::showDataSetWanted, this, [this] { showCurrentFund(); });
  connect(grid_, &FundGridWidget::diagnosticsToggled, this, [this] { toggleDiagnostics(); });
  connect(grid_, &FundGridWidget::latestPricesWanted, this, [this] { ShowLatestPrices(); });
}

// --- Language ---------------------------------------------------------------------

void TMainForm::HandleLanguage() {
  const auto text = [this](TextId id) { return session_.text(id); };
  for (QAction* command : findChildren<QAction*>()) {
    const QVariant caption = command->property(kCaption);
    if (caption.isValid()) command->setText(text(static_cast<TextId>(caption.toInt())));
    const QVariant hint = command->property(kHint);
    if (hint.isValid()) command->setToolTip(text(static_cast<TextId>(hint.toInt())));
  }
  label(QStringLiteral("DatumLabel"))->setText(text(TextId::DatumLabel));
  label(QStringLiteral("CumDatumLabel"))->setText(text(TextId::CumDatumLabel));
  findChild<QGroupBox*>(QStringLiteral("BoxValuta"))->setTitle(text(TextId::BoxValutaCaption));
  findChild<QGroupBox*>(QStringLiteral("BoxEurDol"))->setTitle(text(TextId::BoxEurDolCaption));
  findChild<QGroupBox*>(QStringLiteral("AdviesBox"))->setTitle(text(TextId::AdviesBoxCaption));
  boxRealTime_->setTitle(QStringLiteral(" * "));
  label(QStringLiteral("RealTimeLabel"))->setText(text(TextId::RealTimeLabel));
  const Advice& advice = session_.engine().advice();
  label(QStringLiteral("LabelTurbo"))
      ->setText(text(advice.divirOzevChecked() ? TextId::DivirOzevOn : TextId::DivirOzevOff));
  label(QStringLiteral("LabelPremie"))
      ->setText(text(advice.rividuDoriChecked() ? TextId::RividuDoriOn : TextId::RividuDoriOff));
  grid_->HandleLanguage();
  if (session_.portfolio().bPortOpened || session_.portfolio().bPortNew) {
    showPortfolio();
  } else {
    showNothingRead();
  }
  FormResize();
}

void TMainForm::FormResize() {
  // The window is as large as its contents, which the language's texts
  // and the grid's font decide; the user cannot resize it.
  setMinimumSize(0, 0);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  centralWidget()->adjustSize();
  adjustSize();
  setFixedSize(sizeHint());
}

// --- Showing a dataset ------------------------------------------------------------

void TMainForm::colourWindow(const QColor& colour) {
  const QStringList names = {"SpeedPanel",    "FondsPanel",     "DatumsPanel", "DatumPanel",
                             "CumDatumPanel", "FCumDatumPanel", "PanelStatus", "ServicePanel"};
  for (const QString& name : names) {
    auto* widget = findChild<QWidget*>(name);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
  }
  fondsenBox_->setColour(colour);
  tabs_->PutColorChanged(colour);
  for (int row = 0; row < grid_->rowCount(); ++row) grid_->item(row, 0)->setBackground(colour);
}

void TMainForm::ShowDataSet(int index) {
  const DataSetView view = pelmar::ShowDataSet(session_, index, files_->currentFileName());
  const Portfolio& p = session_.portfolio();
  colourWindow(colourOf(WindowColour(p)));
  setWindowTitle(view.caption);
  label(QStringLiteral("DatumPanel"))->setText(view.datum);
  nodePanel_->setText(view.nodePanel);
  label(QStringLiteral("Label1"))->setText(view.currency.portfolio);
  label(QStringLiteral("Label3"))->setText(view.currency.report);
  label(QStringLiteral("Label2"))->setText(view.currency.euro);
  label(QStringLiteral("Label4"))->setText(view.currency.dollar);
  label(QStringLiteral("RealTimeLabel"))->setText(view.currency.realTime);
  const Settings& s = session_.settings();
  boxRealTime_->setVisible(view.atLastSet && (s.downloadDollarQuote || s.downloadAexQuote));
  label(QStringLiteral("SplitLabel"))->setText(view.splitLabel);
  label(QStringLiteral("FCumDatumPanel"))->setText(view.fundCumDatum);

  grid_->FillGrid();
  tabs_->setUpdatesEnabled(false);
  tabs_->PutText1(TabRotac(p, session_.language()).join(QLatin1Char('\n')));
  tabs_->PutText2(TabRotai(p, session_.language()).join(QLatin1Char('\n')));
  tabs_->setUpdatesEnabled(true);
  label(QStringLiteral("CumDatumPanel"))->setText(view.cumDatum);

  servicePanel_->setText(view.servicePanel);
  servicePanel_->setVisible(s.servicePanel);

  QLabel* advies = label(QStringLiteral("AdviesLabel"));
  advies->setText(view.advice.adviesLabel);
  advies->setStyleSheet(view.advice.adviesColour == AdviceColour::Blue
                            ? QStringLiteral("color: blue")
                            : QStringLiteral("color: red"));
  label(QStringLiteral("KoopLabel"))->setText(view.advice.koopLabel);
  label(QStringLiteral("VerkoopLabel"))->setText(view.advice.verkoopLabel);
  adviesInfo_->setToolTip(view.advice.exhaustionHint);
  fondsenBox_->selectTicker(TrimRightBlanks(p.koers().Ticker));
  grid_->viewport()->update();
}

void TMainForm::showCurrentFund() {
  const Portfolio& p = session_.portfolio();
  if (!p.bPortOpened && !p.bPortNew) return;
  ShowDataSet(p.FirstKoersIndex + p.SelFonds);
}

void TMainForm::showPortfolio() {
  FillFondsenBox();
  showCurrentFund();
  const Portfolio& p = session_.portfolio();
  EnableControls(p.bPortNew, p.bPortOpened, p.bPortChanged);
}

void TMainForm::runChange(bool changed) {
  Portfolio& p = session_.portfolio();
  if (changed) p.bPortChanged = true;
  showCurrentFund();
  EnableControls(p.bPortNew, p.bPortOpened, p.bPortChanged);
}

void TMainForm::showNothingRead() {
  nodePanel_->setText(session_.text(TextId::NothingRead));
  setWindowTitle(session_.caption());
  EnableControls(false, false, false);
}

void TMainForm::setCommandEnabled(QAction* command, bool enabled) {
  command->setEnabled(enabled && command->property(kWired).toBool());
}

void TMainForm::EnableControls(bool isNew, bool opened, bool changed) {
  const ControlStates states = pelmar::EnableControls(session_, isNew, opened, changed);
  setCommandEnabled(action(QStringLiteral("SaveFile")), states.save);
  for (const char* name :
       {"ToonRekeningen", "DelStock", "NieuweRefWaarde", "Splitsen", "Jaarafsluiting",
        "VerwijderSet", "VoegToeSet", "SaveAs", "OverzichtPortefeuille", "OverzichtActies",
        "KiesValuta", "Eigenschappen", "NieuwFonds", "VoegtoeFonds1", "SpeedReken"})
    setCommandEnabled(action(QString::fromLatin1(name)), states.any);
  for (const char* group : {"Acties", "Grafieken"})
    menu(QString::fromLatin1(group))->menuAction()->setEnabled(states.any);
  const NavButtons nav = states.any ? SetNavBtns(session_.portfolio()) : NavButtons{};
  setCommandEnabled(action(QStringLiteral("EersteDatum")), nav.FirstDateBtn);
  setCommandEnabled(action(QStringLiteral("VorigeDatum")), nav.PrevDateBtn);
  setCommandEnabled(action(QStringLiteral("VolgendeDatum")), nav.NextDateBtn);
  setCommandEnabled(action(QStringLiteral("LaatsteDatum")), nav.LastDateBtn);
  QAction* refWaarde = action(QStringLiteral("NieuweRefWaarde"));
  refWaarde->setText(states.refWaarde);
  refWaarde->setToolTip(states.refWaarde);
  // Always at hand: new, open, help and exit (settings once they exist).
  for (const char* name : {"NewFile", "OpenFile", "HHelp", "About", "Einde", "DivirOzev",
                           "RividuDori", "Instellingen"})
    setCommandEnabled(action(QString::fromLatin1(name)), true);
}

// --- Fund list --------------------------------------------------------------------

void TMainForm::FillFondsenBox() {
  fondsenBox_->setTickers(pelmar::FillFondsenBox(session_.portfolio()));
}

void TMainForm::FondsenBoxClick() {
  Portfolio& p = session_.portfolio();
  if (!p.bPortOpened && !p.bPortNew) {
    nodePanel_->setText(session_.text(TextId::NothingRead));
  } else if (QListWidgetItem* item = fondsenBox_->currentItem()) {
    const int offset = FundOffsetOf(p, item->text());
    if (offset >= 0) {
      p.SelFonds = offset;
      ShowDataSet(p.FirstKoersIndex + offset);
    }
  }
  EnableControls(p.bPortNew, p.bPortOpened, p.bPortChanged);
  grid_->setFocus();
}

// --- Start-up ---------------------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!firstPaint_) QTimer::singleShot(0, this, &TMainForm::FormPaint);
}

void TMainForm::FormPaint() {
  if (firstPaint_) return;
  firstPaint_ = true;
  Settings& settings = session_.settings();
  tabs_->bindSettings(&settings);
  splash_ = new TSplashForm(session_, this);
  splash_->showCentred();
  HandleLanguage();

  const QDir program(programFolder_);
  const QStringList startPrices = {QStringLiteral("*.csv"), QStringLiteral("*.txt")};
  if (!FolderHolds(settings.portfolioPath, QStringLiteral("*.xml")))
    CopyExamplePrices(programFolder_, settings.pricePath, startPrices);
  const bool opened = files_->OpenAtStart(program.filePath(QStringLiteral("Port")));
  splash_->close();
  if (!opened) {
    showNothingRead();
    return;
  }
  if (!FolderHolds(settings.pricePath, QStringLiteral("*.csv"))) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CopyExamplePrices(programFolder_, settings.pricePath,
                      {QStringLiteral("*.csv"), QStringLiteral("*.bak"), QStringLiteral("*.txt")});
    QApplication::restoreOverrideCursor();
  }
  session_.prices().refresh();
  showPortfolio();
  ShowLatestPrices();
  if (FolderHolds(settings.pricePath, QStringLiteral("*.csv"))) {
    session_.portfolio().bPortChanged = false;
    const Portfolio& p = session_.portfolio();
    EnableControls(p.bPortNew, p.bPortOpened, p.bPortChanged);
  } else {
    prompter_.message(session_.text(TextId::NoPriceFiles));
  }
}

bool TMainForm::openPortfolio(const QString& fileName) {
  if (!files_->LoadPortfolio(fileName)) return false;
  showPortfolio();
  return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!files_->FormClose()) {
    event->ignore();
    return;
  }
  // The window opens where it was left next time.
  Settings& settings = session_.settings();
  settings.mainLeft = x();
  settings.mainTop = y();
  if (store_) session_.saveSettings(*store_);
  event->accept();
}

// --- Status line, properties, help ---------------------------------------------------

void TMainForm::ShowLatestPrices() {
  const LatestPricesLines lines =
      pelmar::ShowLatestPrices(session_, ReadLastPrices(session_.settings().pricePath), QString());
  label(QStringLiteral("LabelStatus"))->setText(lines.status);
}

void TMainForm::properties() {
  const QString fileName = files_->currentFileName();
  prompter_.timedMessage(session_.text(TextId::PropertiesHeading),
                         PropertiesText(session_, fileName, QFileInfo(fileName).size()),
                         kPropertiesMs);
}

void TMainForm::about() {
  prompter_.message(session_.caption().trimmed() + QStringLiteral("\r\n\r\n") +
                    session_.text(TextId::AboutText));
}

QUrl TMainForm::helpUrl(int helpContext) const {
  QUrl url = QUrl::fromLocalFile(QDir(programFolder_).filePath(QStringLiteral("help/pelmar.html")));
  url.setFragment(HelpAnchor(helpContext));
  return url;
}

int TMainForm::focusHelpContext() const {
  if (QApplication::focusWidget() == grid_) return grid_->helpContext();
  for (const QWidget* widget = QApplication::focusWidget(); widget;
       widget = widget->parentWidget()) {
    const QVariant context = widget->property(kHelpContext);
    if (context.isValid() && widget != this) return context.toInt();
  }
  return kDefaultHelpContext;
}

void TMainForm::openHelp(int helpContext) {
  QDesktopServices::openUrl(helpUrl(helpContext));
}

void TMainForm::recalculateAll() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QLabel* status = label(QStringLiteral("LabelStatus"));
  session_.engine().SpeedRekenClick([status, this](int done, int total) {
    status->setText(session_.text(TextId::RecalculatingAll) +
                    QStringLiteral(" %1/%2").arg(done).arg(total));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  });
  QApplication::restoreOverrideCursor();
  ShowLatestPrices();
  runChange(true);
}

void TMainForm::toggleDiagnostics() {
  QAction* group = menu(QStringLiteral("Diagnostics"))->menuAction();
  group->setVisible(!group->isVisible());
  const Portfolio& p = session_.portfolio();
  action(QStringLiteral("PortInDollar"))->setChecked(p.bPortInDollar);
  action(QStringLiteral("PortInEuro"))->setChecked(!p.bPortInDollar);
  action(QStringLiteral("RappInDollar"))->setChecked(p.bRapInDollar);
  action(QStringLiteral("RappInEuro"))->setChecked(!p.bRapInDollar);
  const Settings& s = session_.settings();
  action(QStringLiteral("DownloadOn"))->setChecked(s.downloadAtStart);
  action(QStringLiteral("DownloadDollarOn"))->setChecked(s.downloadDollarQuote);
  action(QStringLiteral("DownloadAEXOn"))->setChecked(s.downloadAexQuote);
}

// --- Real-time box --------------------------------------------------------------------

void TMainForm::ShowDollarQuote(QuoteSender sender, double rate, const QString& timeStamp) {
  quotes_.dollarQuote(session_.portfolio().koers().Ticker, rate,
                      sender == QuoteSender::TimerDollar);
  deltaImage_->setMarks(quotes_.marks());
  QLabel* tijd = label(QStringLiteral("TijdLabel"));
  tijd->setStyleSheet(QStringLiteral("color: black"));
  tijd->setText(DollarTimeText(session_.language(), timeStamp));
}

void TMainForm::ShowAEXQuote(double value, const QString& change, const QString& percent,
                             const QString& time) {
  quotes_.aexQuote(value);
  deltaImage_->setMarks(quotes_.marks());
  boxRealTime_->setTitle(QStringLiteral(" AEX "));
  const AexTimeText text = AexQuoteText(session_.language(), value, change, percent, time);
  QLabel* tijd = label(QStringLiteral("TijdLabel"));
  tijd->setStyleSheet(text.falling ? QStringLiteral("color: red") : QStringLiteral("color: green"));
  tijd->setText(text.text);
}

// --- Lookup -------------------------------------------------------------------------

QAction* TMainForm::action(const QString& name) const {
  return findChild<QAction*>(name);
}

QMenu* TMainForm::menu(const QString& name) const {
  return findChild<QMenu*>(name);
}

QLabel* TMainForm::label(const QString& name) const {
  return findChild<QLabel*>(name);
}

}  // namespace pelmar
