#include "ui/prices/options_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "commands/fetch_worker.h"
#include "commands/file_commands.h"
#include "commands/session.h"
#include "commands/source_test.h"
#include "prices/price_source.h"
#include "ui/dialogs/dialog_look.h"
#include "ui/platform/window_position.h"

namespace pelmar {
namespace {

QPushButton* button(const char* name, QWidget* parent) {
  return new TColorButton(QLatin1String(name), parent);
}

// A group of radio buttons one under the other.
QGroupBox* radioGroup(const char* name, std::initializer_list<QRadioButton**> radios,
                      std::initializer_list<const char*> names, QWidget* parent) {
  auto* group = named(new QGroupBox(parent), name);
  auto* lines = new QVBoxLayout(group);
  auto nameIt = names.begin();
  for (QRadioButton** radio : radios) {
    *radio = named(new QRadioButton(group), *nameIt++);
    lines->addWidget(*radio);
  }
  return group;
}

}  // namespace

TOptionsForm::TOptionsForm(Session& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent), session_(session), prompter_(prompter) {
  setObjectName(QStringLiteral("OptionsForm"));
  setModal(true);
  applyDialogLook(this);
  auto* whole = new QVBoxLayout(this);
  pages = named(new QTabWidget(this), "PageControl");
  pages->addTab(portfolioPage(), QString());
  pages->addTab(reportPage(), QString());
  pages->addTab(downloadPage(), QString());
  pages->addTab(updatePage(), QString());
  whole->addWidget(pages);
  auto* bottom = new QHBoxLayout;
  labelProgress_ = named(new QLabel(this), "LabelProgress");
  bottom->addWidget(labelProgress_, 1);
  BtnOK = button("BtnOK", this);
  BtnOK->setText(QStringLiteral("OK"));
  BtnOK->setDefault(true);
  BtnCancel = button("BtnCancel", this);
  bottom->addWidget(BtnOK);
  bottom->addWidget(BtnCancel);
  whole->addLayout(bottom);

  connect(BtnOK, &QPushButton::clicked, this, &TOptionsForm::BtnOKClick);
  connect(BtnCancel, &QPushButton::clicked, this, &TOptionsForm::BtnCancelClick);
  connect(BtnDefaultPorts, &QPushButton::clicked, this, &TOptionsForm::BtnDefaultPortsClick);
  connect(ButtonDefaultPrices, &QPushButton::clicked, this,
          &TOptionsForm::ButtonDefaultPricesClick);
  connect(BtnBrowsePorts, &QPushButton::clicked, this, &TOptionsForm::BtnBrowsePortsClick);
  connect(BtnBrowseKoersen, &QPushButton::clicked, this, &TOptionsForm::BtnBrowseKoersenClick);
  connect(BtnCheck, &QPushButton::clicked, this, &TOptionsForm::BtnCheckClick);
  connect(CheckDollar, &QCheckBox::clicked, this, &TOptionsForm::CheckDollarClick);
  connect(CheckAEX, &QCheckBox::clicked, this, &TOptionsForm::CheckAEXClick);
  connect(CheckLaatste, &QCheckBox::clicked, this, &TOptionsForm::CheckLaatsteClick);
  connect(CheckMeer, &QCheckBox::clicked, this, &TOptionsForm::CheckMeerClick);
  connect(BtnBeheer_nl, &QPushButton::clicked, this,
          [this] { emit stockListWanted(Market::Dutch); });
  connect(BtnBeheer_us, &QPushButton::clicked, this, [this] { emit stockListWanted(Market::Us); });
  // Double clicks browse; entering an edit puts its hint on the status line.
  for (QLineEdit* edit : {PathEdit, DownloadPadEdit, TitleEdit}) edit->installEventFilter(this);
  SetCaptions();
  VarToScreen();
}

QWidget* TOptionsForm::portfolioPage() {
  auto* page = new QWidget(this);
  auto* grid = new QGridLayout(page);
  GroupFiles = named(new QGroupBox(page), "GroupFiles");
  auto* files = new QGridLayout(GroupFiles);
  PathEdit = named(new QLineEdit(GroupFiles), "PathEdit");
  LabelPathHint = named(new QLabel(GroupFiles), "LabelPathHint");
  LabelFileStatus = named(new QLabel(GroupFiles), "LabelFileStatus");
  BtnBrowsePorts = button("BtnBrowsePorts", GroupFiles);
  BtnDefaultPorts = button("BtnDefaultPorts", GroupFiles);
  CheckCopyPorts = named(new QCheckBox(GroupFiles), "CheckCopyPorts");
  files->addWidget(PathEdit, 0, 0, 1, 3);
  files->addWidget(LabelPathHint, 1, 0);
  files->addWidget(BtnBrowsePorts, 1, 1);
  files->addWidget(BtnDefaultPorts, 1, 2);
  files->addWidget(CheckCopyPorts, 2, 0, 1, 3);
  files->addWidget(LabelFileStatus, 3, 0, 1, 3);
  grid->addWidget(GroupFiles, 0, 0, 1, 3);
  GroupLanguage = radioGroup("GroupLanguage", {&RadioSY, &RadioNL, &RadioUS},
                             {"RadioSY", "RadioNL", "RadioUS"}, page);
  GroupDates = radioGroup("GroupDates", {&RadioJMD, &RadioDMJ, &RadioMDJ},
                          {"RadioJMD", "RadioDMJ", "RadioMDJ"}, page);
  GroupCurrency = radioGroup("GroupCurrency", {&RadioPortEuro, &RadioPortDollar},
                             {"RadioPortEuro", "RadioPortDollar"}, page);
  GroupReturn =
      radioGroup("GroupReturn", {&RadioROTAI, &RadioROTAC}, {"RadioROTAI", "RadioROTAC"}, page);
  grid->addWidget(GroupLanguage, 1, 0);
  grid->addWidget(GroupDates, 1, 1);
  grid->addWidget(GroupCurrency, 1, 2);
  GroupCloseYear = named(new QGroupBox(page), "GroupCloseYear");
  CheckVerbergJaarAfsluiting = named(new QCheckBox(GroupCloseYear), "CheckVerbergJaarAfsluiting");
  (new QVBoxLayout(GroupCloseYear))->addWidget(CheckVerbergJaarAfsluiting);
  grid->addWidget(GroupCloseYear, 2, 0, 1, 2);
  grid->addWidget(GroupReturn, 2, 2);
  grid->setRowStretch(3, 1);
  return page;
}

QWidget* TOptionsForm::reportPage() {
  auto* page = new QWidget(this);
  auto* lines = new QVBoxLayout(page);
  LabelTitle = named(new QLabel(page), "LabelTitle");
  TitleEdit = named(new QLineEdit(page), "TitleEdit");
  LabelTitleNote = named(new QLabel(page), "LabelTitleNote");
  lines->addWidget(LabelTitle);
  lines->addWidget(TitleEdit);
  lines->addWidget(LabelTitleNote);
  RadioRapEuro = named(new QRadioButton(page), "RadioRapEuro");
  RadioRapDollar = named(new QRadioButton(page), "RadioRapDollar");
  lines->addWidget(RadioRapEuro);
  lines->addWidget(RadioRapDollar);
  lines->addStretch(1);
  return page;
}

QWidget* TOptionsForm::downloadPage() {
  auto* page = new QWidget(this);
  auto* grid = new QGridLayout(page);
  LabelDownloadPath = named(new QLabel(page), "LabelDownloadPath");
  DownloadPadEdit = named(new QLineEdit(page), "DownloadPadEdit");
  BtnBrowseKoersen = button("BtnBrowseKoersen", page);
  ButtonDefaultPrices = button("ButtonDefaultPrices", page);
  CheckCopyPrices = named(new QCheckBox(page), "CheckCopyPrices");
  LabelLastDownload = named(new QLabel(page), "LabelLastDownload");
  grid->addWidget(LabelDownloadPath, 0, 0);
  grid->addWidget(DownloadPadEdit, 0, 1, 1, 3);
  grid->addWidget(CheckCopyPrices, 1, 1);
  grid->addWidget(BtnBrowseKoersen, 1, 2);
  grid->addWidget(ButtonDefaultPrices, 1, 3);
  grid->addWidget(LabelLastDownload, 2, 1, 1, 3);

  GroupAutomatic = named(new QGroupBox(page), "GroupAutomatic");
  auto* automatic = new QGridLayout(GroupAutomatic);
  CheckDownload = named(new QCheckBox(GroupAutomatic), "CheckDownload");
  CheckDollar = named(new QCheckBox(GroupAutomatic), "CheckDollar");
  CheckAEX = named(new QCheckBox(GroupAutomatic), "CheckAEX");
  LabelMarkets = named(new QLabel(GroupAutomatic), "LabelMarkets");
  CheckNL = named(new QCheckBox(GroupAutomatic), "CheckNL");
  CheckUS = named(new QCheckBox(GroupAutomatic), "CheckUS");
  automatic->addWidget(CheckDownload, 0, 0, 1, 3);
  automatic->addWidget(CheckDollar, 1, 0, 1, 3);
  automatic->addWidget(CheckAEX, 2, 0, 1, 3);
  automatic->addWidget(LabelMarkets, 3, 0);
  automatic->addWidget(CheckNL, 3, 1);
  automatic->addWidget(CheckUS, 3, 2);
  grid->addWidget(GroupAutomatic, 3, 0, 1, 4);

  GroupDays = named(new QGroupBox(page), "GroupDays");
  auto* days = new QGridLayout(GroupDays);
  CheckLaatste = named(new QCheckBox(GroupDays), "CheckLaatste");
  CheckMeer = named(new QCheckBox(GroupDays), "CheckMeer");
  LabelDagen = named(new QLabel(GroupDays), "LabelDagen");
  EditDagen = named(new QLineEdit(GroupDays), "EditDagen");
  EditDagen->setMaximumWidth(60);
  days->addWidget(CheckLaatste, 0, 0, 1, 3);
  days->addWidget(CheckMeer, 1, 0);
  days->addWidget(LabelDagen, 1, 1, Qt::AlignRight);
  days->addWidget(EditDagen, 1, 2);
  grid->addWidget(GroupDays, 4, 0, 1, 2);
  BtnBeheer_nl = button("BtnBeheer_nl", page);
  BtnBeheer_us = button("BtnBeheer_us", page);
  auto* lists = new QVBoxLayout;
  lists->addWidget(BtnBeheer_nl);
  lists->addWidget(BtnBeheer_us);
  grid->addLayout(lists, 4, 2, 1, 2);
  grid->addWidget(servicesGroup(), 5, 0, 1, 4);
  grid->setRowStretch(6, 1);
  return page;
}

QGroupBox* TOptionsForm::servicesGroup() {
  GroupServices = named(new QGroupBox(this), "GroupServices");
  auto* rows = new QGridLayout(GroupServices);
  for (Market market : {Market::Dutch, Market::Us}) {
    SourceRow row;
    row.market = market;
    row.label = new QLabel(GroupServices);
    row.combo = named(new QComboBox(GroupServices),
                      market == Market::Dutch ? "ComboSourceNl" : "ComboSourceUs");
    for (const SourceInfo& source : PriceSources()) row.combo->addItem(QString(), source.id);
    row.symbol = new QLineEdit(GroupServices);
    row.symbol->setMaximumWidth(100);
    row.test = new TColorButton(QStringLiteral("BtnTestSource"), GroupServices);
    connect(row.test, &QPushButton::clicked, this,
            [this, i = sourceRows.size()] { BtnTestClick(sourceRows[i]); });
    const int r = static_cast<int>(sourceRows.size());
    rows->addWidget(row.label, r, 0);
    rows->addWidget(row.combo, r, 1);
    rows->addWidget(row.symbol, r, 2);
    rows->addWidget(row.test, r, 3);
    sourceRows.push_back(row);
  }
  LabelRateSource = new QLabel(GroupServices);
  ComboRateSource = named(new QComboBox(GroupServices), "ComboRateSource");
  ComboRateSource->addItem(QString(), SourceId::None);
  ComboRateSource->addItem(QString(), SourceId::Ecb);
  LabelTestResult = named(new QLabel(GroupServices), "LabelTestResult");
  LabelTestResult->setWordWrap(true);
  rows->addWidget(LabelRateSource, 2, 0);
  rows->addWidget(ComboRateSource, 2, 1);
  rows->addWidget(LabelTestResult, 3, 0, 1, 4);
  const Settings defaults{};
  for (const ServiceAddress& service : ServiceAddresses()) {
    ServiceRow row;
    row.label = new QLabel(GroupServices);
    row.edit = new QLineEdit(GroupServices);
    row.edit->setMinimumWidth(260);
    row.defaultButton = new TColorButton(QStringLiteral("BtnDefaultService"), GroupServices);
    const QString address = defaults.*service.member;
    QLineEdit* edit = row.edit;
    connect(row.defaultButton, &QPushButton::clicked, this,
            [edit, address] { edit->setText(address); });
    const int r = static_cast<int>(serviceRows.size()) + 4;
    rows->addWidget(row.label, r, 0);
    rows->addWidget(row.edit, r, 1, 1, 2);
    rows->addWidget(row.defaultButton, r, 3);
    serviceRows.push_back(row);
  }
  return GroupServices;
}

QWidget* TOptionsForm::updatePage() {
  auto* page = new QWidget(this);
  auto* lines = new QVBoxLayout(page);
  CheckUpdate = named(new QCheckBox(page), "CheckUpdate");
  BtnCheck = button("BtnCheck", page);
  LabelUpdateInfo = named(new QLabel(page), "LabelUpdateInfo");
  lines->addWidget(CheckUpdate);
  lines->addWidget(LabelUpdateInfo);
  lines->addWidget(BtnCheck, 0, Qt::AlignLeft);
  lines->addStretch(1);
  return page;
}

void TOptionsForm::SetCaptions() {
  const auto t = [this](TextId id) { return session_.text(id); };
  setWindowTitle(t(TextId::ProductName) + t(TextId::OptCaption));
  pages->setTabText(0, t(TextId::OptTabPortfolio));
  pages->setTabText(1, t(TextId::OptTabReport));
  pages->setTabText(2, t(TextId::OptTabDownload));
  pages->setTabText(3, t(TextId::OptTabUpdate));
  const std::vector<std::pair<QWidget*, TextId>> captions = {
      {GroupFiles, TextId::OptGroupFiles},
      {GroupLanguage, TextId::OptGroupLanguage},
      {GroupDates, TextId::OptGroupDates},
      {GroupCurrency, TextId::OptGroupCurrency},
      {GroupCloseYear, TextId::OptGroupCloseYear},
      {GroupReturn, TextId::OptGroupReturn},
      {RadioSY, TextId::OptRadioSystem},
      {RadioNL, TextId::OptRadioDutch},
      {RadioUS, TextId::OptRadioEnglish},
      {LabelPathHint, TextId::OptPathHint},
      {BtnBrowsePorts, TextId::OptBrowse},
      {BtnDefaultPorts, TextId::OptDefault},
      {CheckCopyPorts, TextId::OptCopyPorts},
      {RadioJMD, TextId::OptDateYMD},
      {RadioDMJ, TextId::OptDateDMY},
      {RadioMDJ, TextId::OptDateMDY},
      {RadioPortEuro, TextId::OptPortEuro},
      {RadioPortDollar, TextId::OptPortDollar},
      {CheckVerbergJaarAfsluiting, TextId::OptHideYearWarning},
      {LabelDownloadPath, TextId::OptDownloadPath},
      {CheckCopyPrices, TextId::OptCopyPrices},
      {BtnBrowseKoersen, TextId::OptBrowse},
      {ButtonDefaultPrices, TextId::OptDefault},
      {GroupAutomatic, TextId::OptGroupAutomatic},
      {CheckDownload, TextId::OptDownloadAtStart},
      {CheckDollar, TextId::OptDollarQuote},
      {CheckAEX, TextId::OptAexQuote},
      {LabelMarkets, TextId::OptMarketsFrom},
      {CheckNL, TextId::OptNetherlands},
      {CheckUS, TextId::OptUsa},
      {GroupDays, TextId::OptGroupDays},
      {CheckLaatste, TextId::OptFromLastDate},
      {CheckMeer, TextId::OptMoreDays},
      {LabelDagen, TextId::OptDaysLabel},
      {BtnBeheer_nl, TextId::OptManageNl},
      {BtnBeheer_us, TextId::OptManageUs},
      {GroupServices, TextId::OptGroupServices},
      {LabelTitle, TextId::OptTitle},
      {LabelTitleNote, TextId::OptTitleNote},
      {RadioRapEuro, TextId::OptReportEuro},
      {RadioRapDollar, TextId::OptReportDollar},
      {CheckUpdate, TextId::OptCheckUpdate},
      {BtnCheck, TextId::OptCheckNow},
      {LabelUpdateInfo, TextId::OptUpdateExplanation},
      {BtnCancel, TextId::OptCancel},
  };
  for (const auto& [widget, id] : captions)
    widget->setProperty(qobject_cast<QGroupBox*>(widget) ? "title" : "text", t(id));
  RadioROTAI->setText(QStringLiteral("ROTAI"));
  RadioROTAC->setText(QStringLiteral("ROTAC"));
  for (size_t i = 0; i < serviceRows.size(); ++i) {
    serviceRows[i].label->setText(t(ServiceAddresses()[i].label));
    serviceRows[i].defaultButton->setText(t(TextId::OptDefault));
  }
  for (const SourceRow& row : sourceRows) {
    row.label->setText(t(row.market == Market::Dutch ? TextId::OptSourceNl : TextId::OptSourceUs));
    row.test->setText(t(TextId::OptTest));
    for (int i = 0; i < row.combo->count(); ++i)
      row.combo->setItemText(i, t(PriceSources()[static_cast<size_t>(i)].name));
  }
  LabelRateSource->setText(t(TextId::OptRateSource));
  ComboRateSource->setItemText(0, t(TextId::SourceNone));
  ComboRateSource->setItemText(1, t(TextId::SourceEcb));
  LabelFileStatus->setText(session_.portfolio().bPortOpened()
                               ? QDir::toNativeSeparators(CurrentFileName(session_)) + u' ' +
                                     t(TextId::OptFileRead)
                               : t(TextId::OptNoFileRead));
  LabelLastDownload->setText(LastDownloadText(session_));
}

void TOptionsForm::VarToScreen() {
  const SettingsEdit edit = pelmar::VarToScreen(session_);
  const Settings& s = edit.settings;
  PathEdit->setText(QDir::toNativeSeparators(s.portfolioPath));
  CheckCopyPorts->setChecked(s.copyPorts);
  RadioSY->setChecked(s.language == Language::kSettingSystem);
  RadioNL->setChecked(s.language == Language::kSettingDutch);
  RadioUS->setChecked(s.language == Language::kSettingEnglish);
  const DateFormat dates = dateFormatFromSetting(s.dateFormat);
  RadioJMD->setChecked(dates == DateFormat::YearMonthDay);
  RadioDMJ->setChecked(dates == DateFormat::DayMonthYear);
  RadioMDJ->setChecked(dates == DateFormat::MonthDayYear);
  // The currencies belong to the open portfolio.
  const bool open = session_.portfolio().bPortOpened() || session_.portfolio().bPortNew();
  for (QWidget* w : {static_cast<QWidget*>(GroupCurrency), static_cast<QWidget*>(RadioRapEuro),
                     static_cast<QWidget*>(RadioRapDollar)})
    w->setEnabled(open);
  RadioPortDollar->setChecked(edit.portInDollar);
  RadioPortEuro->setChecked(!edit.portInDollar);
  RadioRapDollar->setChecked(edit.rapInDollar);
  RadioRapEuro->setChecked(!edit.rapInDollar);
  RadioROTAI->setChecked(s.showRotai);
  RadioROTAC->setChecked(!s.showRotai);
  CheckVerbergJaarAfsluiting->setChecked(s.hideYearClosingWarning);
  TitleEdit->setText(s.reportTitle);
  DownloadPadEdit->setText(QDir::toNativeSeparators(s.pricePath));
  CheckCopyPrices->setChecked(s.copyPrices);
  CheckDownload->setChecked(s.downloadAtStart);
  CheckDollar->setChecked(s.downloadDollarQuote);
  CheckAEX->setChecked(s.downloadAexQuote);
  CheckNL->setChecked(s.downloadDutchList);
  CheckUS->setChecked(s.downloadUsList);
  CheckLaatste->setChecked(s.downloadFromLastDate);
  CheckMeer->setChecked(!s.downloadFromLastDate);
  EditDagen->setText(edit.daysText);
  enableDays();
  for (size_t i = 0; i < serviceRows.size(); ++i)
    serviceRows[i].edit->setText(s.*ServiceAddresses()[i].member);
  for (const SourceRow& row : sourceRows) {
    row.combo->setCurrentIndex(
        std::max(0, row.combo->findData(row.market == Market::Dutch ? s.dutchSource : s.usSource)));
    row.symbol->setText(ProposedTestSymbol(session_, row.market));
  }
  ComboRateSource->setCurrentIndex(std::max(0, ComboRateSource->findData(s.rateSource)));
  LabelTestResult->clear();
  CheckUpdate->setChecked(s.automaticUpdate);
  labelProgress_->clear();
  SetCaptions();
}

SettingsEdit TOptionsForm::ScreenToEdit() const {
  SettingsEdit edit = pelmar::VarToScreen(session_);
  Settings& s = edit.settings;
  s.portfolioPath = PathEdit->text();
  s.copyPorts = CheckCopyPorts->isChecked();
  s.language = RadioNL->isChecked()   ? Language::kSettingDutch
               : RadioUS->isChecked() ? Language::kSettingEnglish
                                      : Language::kSettingSystem;
  s.dateFormat = dateFormatSetting(RadioDMJ->isChecked()   ? DateFormat::DayMonthYear
                                   : RadioMDJ->isChecked() ? DateFormat::MonthDayYear
                                                           : DateFormat::YearMonthDay);
  edit.portInDollar = RadioPortDollar->isChecked();
  edit.rapInDollar = RadioRapDollar->isChecked();
  s.showRotai = RadioROTAI->isChecked();
  s.hideYearClosingWarning = CheckVerbergJaarAfsluiting->isChecked();
  s.reportTitle = TitleEdit->text();
  s.pricePath = DownloadPadEdit->text();
  s.copyPrices = CheckCopyPrices->isChecked();
  s.downloadAtStart = CheckDownload->isChecked();
  s.downloadDollarQuote = CheckDollar->isChecked();
  s.downloadAexQuote = CheckAEX->isChecked();
  s.downloadDutchList = CheckNL->isChecked();
  s.downloadUsList = CheckUS->isChecked();
  s.downloadFromLastDate = CheckLaatste->isChecked();
  edit.daysText = EditDagen->text();
  for (size_t i = 0; i < serviceRows.size(); ++i)
    s.*ServiceAddresses()[i].member = serviceRows[i].edit->text();
  s.dutchSource = sourceRows[0].combo->currentData().toString();
  s.usSource = sourceRows[1].combo->currentData().toString();
  s.rateSource = ComboRateSource->currentData().toString();
  s.automaticUpdate = CheckUpdate->isChecked();
  return edit;
}

TOptionsForm::~TOptionsForm() = default;

void TOptionsForm::setHttp(HttpGet* http) {
  tests_ = http ? std::make_unique<FetchWorker>(*http) : nullptr;
}

bool TOptionsForm::testing() const {
  return tests_ && tests_->running();
}

void TOptionsForm::BtnTestClick(const SourceRow& row) {
  if (!tests_) return;
  setTesting(true, row.symbol->text().trimmed());
  tests_->fetch(SourceTestFetch(session_, ScreenToEdit().settings,
                                row.combo->currentData().toString(), row.symbol->text()),
                [this](const QString& result) {
                  setTesting(false);
                  LabelTestResult->setText(result);
                  emit sourceTested(result);
                });
}

void TOptionsForm::setTesting(bool testing, const QString& symbol) {
  for (const SourceRow& row : sourceRows) row.test->setEnabled(!testing);
  LabelTestResult->setText(testing ? session_.text(TextId::DownloadFetching).arg(symbol)
                                   : QString());
}

void TOptionsForm::done(int result) {
  endTest();
  QDialog::done(result);
}

void TOptionsForm::endTest() {
  if (!testing()) return;
  tests_->drop();
  setTesting(false);
}

void TOptionsForm::InstellingenClick() {
  VarToScreen();
  const Settings& s = session_.settings();
  if (s.optionsLeft && s.optionsTop) move(*s.optionsLeft, *s.optionsTop);
  FitOnScreen(this);
  exec();
}

void TOptionsForm::BtnOKClick() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const auto progress = [this](int done, int total) {
    labelProgress_->setText(session_.text(TextId::OptCopying).arg(done).arg(total));
    labelProgress_->repaint();
  };
  const Outcome outcome = OptionsOk(session_, prompter_, ScreenToEdit(), effects_, progress);
  QApplication::restoreOverrideCursor();
  labelProgress_->clear();
  // A folder that could not be used shows the one still in use.
  if (effects_.keptPortfolioFolder)
    PathEdit->setText(QDir::toNativeSeparators(session_.settings().portfolioPath));
  if (effects_.keptPriceFolder)
    DownloadPadEdit->setText(QDir::toNativeSeparators(session_.settings().pricePath));
  // A refused edit stays on screen to be put right; a store that could not
  // keep the settings has been told, and the settings are in effect.
  if (outcome.isFailure() && outcome.reason()->id != TextId::SettingsNotSaved) return;
  if (effects_.language) SetCaptions();
  emit applied(effects_);
  rememberPosition();
  accept();
}

void TOptionsForm::BtnCancelClick() {
  VarToScreen();
  rememberPosition();
  reject();
}

void TOptionsForm::closeEvent(QCloseEvent* event) {
  // Closing the window is Cancel.
  VarToScreen();
  rememberPosition();
  QDialog::closeEvent(event);
}

void TOptionsForm::rememberPosition() {
  session_.settings().optionsLeft = x();
  session_.settings().optionsTop = y();
}

void TOptionsForm::BtnDefaultPortsClick() {
  PathEdit->setText(
      QDir::toNativeSeparators(Settings::defaults(session_.dataDirectory()).portfolioPath));
}

void TOptionsForm::ButtonDefaultPricesClick() {
  DownloadPadEdit->setText(
      QDir::toNativeSeparators(Settings::defaults(session_.dataDirectory()).pricePath));
}

void TOptionsForm::browse(QLineEdit* edit, const QString& mask) {
  const std::optional<QString> folder =
      prompter_.chooseFolder(session_.text(TextId::OptBrowseCaption), edit->text(), mask);
  if (folder)
    edit->setText(QDir::toNativeSeparators(NormalizeFilePathName(*folder, PathKind::Folder)));
}

void TOptionsForm::BtnBrowsePortsClick() {
  browse(PathEdit, QStringLiteral("*.xml"));
}

void TOptionsForm::BtnBrowseKoersenClick() {
  browse(DownloadPadEdit, QStringLiteral("*.csv"));
}

void TOptionsForm::BtnCheckClick() {
  pelmar::BtnCheckClick(session_, prompter_);
}

void TOptionsForm::CheckDollarClick() {
  // Only one live quote at a time.
  if (CheckDollar->isChecked()) CheckAEX->setChecked(false);
}

void TOptionsForm::CheckAEXClick() {
  if (CheckAEX->isChecked()) CheckDollar->setChecked(false);
}

void TOptionsForm::CheckLaatsteClick() {
  CheckMeer->setChecked(!CheckLaatste->isChecked());
  enableDays();
}

void TOptionsForm::CheckMeerClick() {
  CheckLaatste->setChecked(!CheckMeer->isChecked());
  enableDays();
}

void TOptionsForm::enableDays() {
  EditDagen->setEnabled(CheckMeer->isChecked());
  LabelDagen->setEnabled(CheckMeer->isChecked());
}

bool TOptionsForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    if (watched == PathEdit) BtnBrowsePortsClick();
    if (watched == DownloadPadEdit) BtnBrowseKoersenClick();
  } else if (event->type() == QEvent::FocusIn) {
    if (watched == PathEdit) emit promptChanged(session_.text(TextId::OptPathPrompt));
    if (watched == TitleEdit) emit promptChanged(session_.text(TextId::OptTitlePrompt));
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace pelmar
