#include "ui/main/main_actions.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

#include "commands/dataset_view.h"
#include "commands/desktop_rules.h"
#include "commands/navigation.h"
#include "commands/session.h"
#include "ui/main/help_context.h"

namespace pelmar {

namespace {

using A = MainActions;

// One menu group of the menu bar, in the bar's order.
struct GroupSpec {
  QMenu* A::*menu;
  const char* name;
  TextId caption;
  int help;
};
const GroupSpec kGroups[] = {
    {&A::bestand, "Bestand", TextId::MenuBestand, 31100},
    {&A::acties, "Acties", TextId::MenuActies, 31200},
    {&A::grafieken, "Grafieken", TextId::MenuGrafieken, 31400},
    {&A::opties, "Opties", TextId::MenuOpties, 31500},
    {&A::help, "Help", TextId::MenuHelp, 31900},
    {&A::diagnostics, "Diagnostics", TextId::MenuDiagnostics, 0},
};

// Every action: its member, the menu it stands in (in the table's order),
// its name, caption, key and help context, and whether it is checked.
// A row without action is a separator; a row without menu is a tool bar
// button of its own, without caption.
struct ActionSpec {
  QAction* A::*action;
  QMenu* A::*menu;
  const char* name;
  TextId caption;
  const char* key;
  int help;
  bool checkable;
};
constexpr TextId kNone = TextId::Count;
const ActionSpec kActions[] = {
    {&A::newFile, &A::bestand, "NewFile", TextId::MenuNewFile, "", 31120, false},
    {&A::nieuwFonds, &A::bestand, "NieuwFonds", TextId::MenuNieuwFonds, "", 31125, false},
    {&A::openFile, &A::bestand, "OpenFile", TextId::MenuOpenFile, "", 31130, false},
    {&A::saveFile, &A::bestand, "SaveFile", TextId::MenuSaveFile, "", 31135, false},
    {&A::saveAs, &A::bestand, "SaveAs", TextId::MenuSaveAs, "", 31140, false},
    {nullptr, &A::bestand, nullptr, kNone, "", 0, false},
    {&A::overzichtPortefeuille, &A::bestand, "OverzichtPortefeuille",
     TextId::MenuOverzichtPortefeuille, "", 31142, false},
    {&A::overzichtActies, &A::bestand, "OverzichtActies", TextId::MenuOverzichtActies, "", 31145,
     false},
    {&A::eigenschappen, &A::bestand, "Eigenschappen", TextId::MenuEigenschappen, "", 31147, false},
    {nullptr, &A::bestand, nullptr, kNone, "", 0, false},
    {&A::einde, &A::bestand, "Einde", TextId::MenuEinde, "F10", 31150, false},

    {&A::delStock, &A::acties, "DelStock", TextId::MenuDelStock, "", 31210, false},
    {&A::voegtoeFonds1, &A::acties, "VoegtoeFonds1", TextId::MenuVoegtoeFonds, "", 0, false},
    {&A::beheerDownloads, &A::acties, "BeheerDownloads", TextId::MenuBeheerDownloads, "", 31215,
     false},
    {&A::download, &A::acties, "Download", TextId::MenuDownload, "", 31220, false},
    {&A::importPrices, &A::acties, "ImportPrices", TextId::MenuImportPrices, "", 31220, false},
    {&A::kiesDollarIndex, &A::acties, "KiesDollarIndex", TextId::MenuKiesDollarIndex, "", 0, false},
    {&A::splitsen, &A::acties, "Splitsen", TextId::MenuSplitsen, "", 31230, false},
    {&A::nieuweRefWaarde, &A::acties, "NieuweRefWaarde", TextId::MenuNieuweRefWaarde, "", 31232,
     false},
    {&A::overzichtPortefeuille1, &A::acties, "OverzichtPortefeuille1",
     TextId::MenuOverzichtPortefeuille1, "", 31233, false},
    {&A::overzichtActies1, &A::acties, "OverzichtActies1", TextId::MenuOverzichtActies1, "", 31234,
     false},
    {&A::jaarafsluiting, &A::acties, "Jaarafsluiting", TextId::MenuJaarafsluiting, "", 31235,
     false},
    {nullptr, &A::acties, nullptr, kNone, "", 0, false},
    {&A::verwijderSet, &A::acties, "VerwijderSet", TextId::MenuVerwijderSet, "", 31240, false},
    {&A::voegToeSet, &A::acties, "VoegToeSet", TextId::MenuVoegToeSet, "", 31275, false},
    {&A::eersteDatum, &A::acties, "EersteDatum", TextId::MenuEersteDatum, "", 31245, false},
    {&A::vorigeDatum, &A::acties, "VorigeDatum", TextId::MenuVorigeDatum, "F7", 31250, false},
    {&A::volgendeDatum, &A::acties, "VolgendeDatum", TextId::MenuVolgendeDatum, "F8", 31260, false},
    {&A::laatsteDatum, &A::acties, "LaatsteDatum", TextId::MenuLaatsteDatum, "", 31270, false},
    {nullptr, &A::acties, nullptr, kNone, "", 0, false},
    {&A::toonRekeningen, &A::acties, "ToonRekeningen", TextId::MenuToonRekeningen, "F3", 31280,
     false},
    {&A::kiesValuta, &A::acties, "KiesValuta", TextId::MenuKiesValuta, "", 31290, false},
    {&A::update, &A::acties, "Update", TextId::MenuUpdate, "", 31292, false},

    // BeheerDownloads opens the two stock lists.
    {&A::nl1, &A::beheerDownloadsMenu, "nl1", TextId::MenuNl, "", 0, false},
    {&A::us1, &A::beheerDownloadsMenu, "us1", TextId::MenuUs, "", 0, false},

    {&A::koersFonds, &A::grafieken, "KoersFonds", TextId::MenuKoersFonds, "", 31410, false},
    {&A::waardeFonds, &A::grafieken, "WaardeFonds", TextId::MenuWaardeFonds, "", 31420, false},
    {&A::rendementFonds, &A::grafieken, "RendementFonds", TextId::MenuRendementFonds, "", 31430,
     false},
    {&A::waardePort, &A::grafieken, "WaardePort", TextId::MenuWaardePort, "", 31440, false},
    {&A::rendementPort, &A::grafieken, "RendementPort", TextId::MenuRendementPort, "", 31450,
     false},
    {&A::twrFonds, &A::grafieken, "TwrFonds", TextId::MenuTwrFonds, "", 31460, false},
    {&A::twrPort, &A::grafieken, "TwrPort", TextId::MenuTwrPort, "", 31470, false},

    {&A::instellingen, &A::opties, "Instellingen", TextId::MenuInstellingen, "", 31501, false},
    {&A::divirOzev, &A::opties, "DivirOzev", TextId::MenuDivirOzev, "", 31502, true},
    {&A::rividuDori, &A::opties, "RividuDori", TextId::MenuRividuDori, "", 31503, true},

    {&A::hHelp, &A::help, "HHelp", TextId::MenuHHelp, "F1", 31910, false},
    {&A::about, &A::help, "About", TextId::MenuAbout, "", 50000, false},

    {&A::onderhoud, &A::diagnostics, "Onderhoud", TextId::MenuOnderhoud, "F11", 0, false},
    {&A::downloadOn, &A::diagnostics, "DownloadOn", TextId::MenuDownloadOn, "", 0, true},
    {&A::downloadDollarOn, &A::diagnostics, "DownloadDollarOn", TextId::MenuDownloadDollarOn, "", 0,
     true},
    {&A::downloadAexOn, &A::diagnostics, "DownloadAEXOn", TextId::MenuDownloadAEXOn, "", 0, true},
    {&A::portInDollar, &A::diagnostics, "PortInDollar", TextId::MenuPortInDollar, "", 0, true},
    {&A::portInEuro, &A::diagnostics, "PortInEuro", TextId::MenuPortInEuro, "", 0, true},
    {&A::rappInDollar, &A::diagnostics, "RappInDollar", TextId::MenuRappInDollar, "", 0, true},
    {&A::rappInEuro, &A::diagnostics, "RappInEuro", TextId::MenuRappInEuro, "", 0, true},

    {&A::speedReken, nullptr, "SpeedReken", kNone, "", 0, false},
    {&A::buttonDollar, nullptr, "ButtonDollar", kNone, "", 0, false},
    {&A::buttonAex, nullptr, "ButtonAEX", kNone, "", 0, false},
};

// Tool bar buttons in their order: the action, the button's name, its hint
// (kNone for none) and its standard icon. A row without action is a
// separator.
struct ButtonSpec {
  QAction* A::*action;
  const char* name;
  TextId hint;
  QStyle::StandardPixmap icon;
};
const ButtonSpec kButtons[] = {
    {&A::newFile, "SpeedNew", TextId::HintSpeedNew, QStyle::SP_FileIcon},
    {&A::openFile, "SpeedOpen", TextId::HintSpeedOpen, QStyle::SP_DialogOpenButton},
    {&A::saveFile, "SpeedSave", TextId::HintSpeedSave, QStyle::SP_DialogSaveButton},
    {nullptr, nullptr, kNone, QStyle::SP_CustomBase},
    {&A::toonRekeningen, "SpeedRek", TextId::HintSpeedRek, QStyle::SP_FileDialogDetailedView},
    {&A::delStock, "SpeedDelFonds", TextId::HintSpeedDelFonds, QStyle::SP_TrashIcon},
    {&A::splitsen, "SpeedSplits", TextId::HintSpeedSplits, QStyle::SP_ArrowDown},
    {&A::nieuweRefWaarde, "SpeedRefWaarde", TextId::RefWaardeCalculate, QStyle::SP_ArrowUp},
    {&A::jaarafsluiting, "SpeedJaar", TextId::HintSpeedJaar, QStyle::SP_DialogApplyButton},
    {nullptr, nullptr, kNone, QStyle::SP_CustomBase},
    {&A::eersteDatum, "FirstDateBtn", TextId::HintFirstDate, QStyle::SP_MediaSkipBackward},
    {&A::vorigeDatum, "PrevDateBtn", TextId::HintPrevDate, QStyle::SP_MediaSeekBackward},
    {&A::volgendeDatum, "NextDateBtn", TextId::HintNextDate, QStyle::SP_MediaSeekForward},
    {&A::laatsteDatum, "LastDateBtn", TextId::HintLastDate, QStyle::SP_MediaSkipForward},
    {&A::verwijderSet, "SpeedDel", TextId::HintSpeedDel, QStyle::SP_DialogDiscardButton},
    {&A::voegToeSet, "SpeedAdd", TextId::HintSpeedAdd, QStyle::SP_FileDialogNewFolder},
    {&A::speedReken, "SpeedReken", kNone, QStyle::SP_BrowserReload},
    {nullptr, nullptr, kNone, QStyle::SP_CustomBase},
    {&A::buttonDollar, "ButtonDollar", TextId::HintButtonDollar, QStyle::SP_ArrowRight},
    {&A::buttonAex, "ButtonAEX", TextId::HintButtonAEX, QStyle::SP_ArrowRight},
    {&A::hHelp, "SpeedHelp", TextId::HintSpeedHelp, QStyle::SP_DialogHelpButton},
    {&A::einde, "SpeedEinde", TextId::HintSpeedEinde, QStyle::SP_DialogCloseButton},
};

QKeySequence::StandardKey qtKey(StandardKey key) {
  switch (key) {
    case StandardKey::New:
      return QKeySequence::New;
    case StandardKey::Open:
      return QKeySequence::Open;
    case StandardKey::Save:
      return QKeySequence::Save;
    case StandardKey::SaveAs:
      return QKeySequence::SaveAs;
    case StandardKey::Quit:
      return QKeySequence::Quit;
    case StandardKey::None:
      break;
  }
  return QKeySequence::UnknownKey;
}

// Gives the captions of the actions their Alt letters, as one group.
void markGroup(const QList<QAction*>& group) {
  QList<QAction*> shown;
  QStringList captions;
  for (QAction* action : group) {
    if (action->isSeparator() || action->text().isEmpty()) continue;
    shown << action;
    captions << action->text();
  }
  const QStringList marked = AssignMnemonics(captions);
  for (qsizetype i = 0; i < shown.size(); ++i) shown[i]->setText(marked[i]);
}

}  // namespace

MainActions::MainActions(QMainWindow& window) {
  createActions(window);
  createMenus(window);
  createToolBar(window);
}

void MainActions::createActions(QMainWindow& window) {
  for (const ActionSpec& entry : kActions) {
    if (!entry.action) continue;
    auto* action = new QAction(&window);
    action->setObjectName(QString::fromLatin1(entry.name));
    if (entry.menu) {
      // The command's own key first, then the platform's standard keys.
      QList<QKeySequence> keys;
      if (*entry.key) keys << QKeySequence(QString::fromLatin1(entry.key));
      if (const CommandStandardKey standard = StandardKeyOf(QString::fromLatin1(entry.name));
          standard.key != StandardKey::None) {
        const QList<QKeySequence> platform = QKeySequence::keyBindings(qtKey(standard.key));
        keys << (platform.isEmpty() ? QList{QKeySequence(standard.fallback.toString())} : platform);
      }
      action->setShortcuts(keys);
      action->setIconVisibleInMenu(false);
    }
    action->setCheckable(entry.checkable);
    if (entry.help) setHelpContext(action, entry.help);
    this->*entry.action = action;
  }
}

void MainActions::createMenus(QMainWindow& window) {
  for (const GroupSpec& entry : kGroups) {
    QMenu* menu = window.menuBar()->addMenu(QString());
    menu->setObjectName(QString::fromLatin1(entry.name));
    menu->menuAction()->setObjectName(QString::fromLatin1(entry.name));
    if (entry.help) setHelpContext(menu, entry.help);
    this->*entry.menu = menu;
  }
  beheerDownloadsMenu = new QMenu(&window);
  beheerDownloadsMenu->setObjectName(QStringLiteral("BeheerDownloadsMenu"));
  for (const ActionSpec& entry : kActions) {
    if (!entry.menu) continue;
    QMenu* menu = this->*entry.menu;
    if (entry.action)
      menu->addAction(this->*entry.action);
    else
      menu->addSeparator();
  }
  beheerDownloads->setMenu(beheerDownloadsMenu);
  muisNaarKnop = opties->addAction(QString());
  muisNaarKnop->setObjectName(QStringLiteral("MuisNaarKnop"));
  muisNaarKnop->setVisible(false);
  diagnostics->menuAction()->setVisible(false);
}

void MainActions::createToolBar(QMainWindow& window) {
  speedPanel = window.addToolBar(QStringLiteral("SpeedPanel"));
  speedPanel->setObjectName(QStringLiteral("SpeedPanel"));
  speedPanel->setMovable(false);
  speedPanel->setFloatable(false);
  speedPanel->setFixedHeight(33);
  speedPanel->setIconSize(QSize(18, 18));
  speedPanel->setAutoFillBackground(true);
  setHelpContext(speedPanel, 32000);
  for (const ButtonSpec& entry : kButtons) {
    if (!entry.action) {
      speedPanel->addSeparator();
      continue;
    }
    QAction* button = this->*entry.action;
    button->setIcon(window.style()->standardIcon(entry.icon));
    speedPanel->addAction(button);
    QWidget* widget = speedPanel->widgetForAction(button);
    widget->setObjectName(QString::fromLatin1(entry.name));
    widget->setFixedSize(25, 25);
    if (button == speedReken) {
      nodePanel = new QLabel(speedPanel);
      nodePanel->setObjectName(QStringLiteral("NodePanel"));
      nodePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      nodePanel->setMinimumWidth(100);
      nodePanel->setAlignment(Qt::AlignCenter);
      setHelpContext(nodePanel, 32230);
      speedPanel->addSeparator();
      speedPanel->addWidget(nodePanel);
    }
  }
  // The currency and AEX buttons stand in one place, one visible at a time.
  buttonAex->setVisible(false);
}

void MainActions::setCommandEnabled(QAction* command, bool enabled) const {
  command->setEnabled(enabled && wired_.contains(command));
}

void MainActions::enableWired() const {
  for (const ActionSpec& entry : kActions)
    if (entry.action) setCommandEnabled(this->*entry.action, true);
}

void MainActions::EnableControls(const ControlStates& states) const {
  const NavButtons& nav = states.nav;
  setCommandEnabled(saveFile, states.save);
  for (QAction* command : {toonRekeningen, delStock, nieuweRefWaarde, splitsen, jaarafsluiting,
                           verwijderSet, voegToeSet, saveAs, overzichtPortefeuille, overzichtActies,
                           kiesValuta, eigenschappen, nieuwFonds, voegtoeFonds1, speedReken})
    setCommandEnabled(command, states.any);
  for (QMenu* group : {acties, grafieken}) group->menuAction()->setEnabled(states.any);
  setCommandEnabled(eersteDatum, nav.FirstDateBtn);
  setCommandEnabled(vorigeDatum, nav.PrevDateBtn);
  setCommandEnabled(volgendeDatum, nav.NextDateBtn);
  setCommandEnabled(laatsteDatum, nav.LastDateBtn);
  nieuweRefWaarde->setText(states.refWaarde);
  nieuweRefWaarde->setToolTip(states.refWaarde);
  markGroup(acties->actions());
  // Always at hand: new, open, help and exit (settings once they exist).
  for (QAction* command :
       {newFile, openFile, hHelp, about, einde, divirOzev, rividuDori, instellingen})
    setCommandEnabled(command, true);
}

void MainActions::HandleLanguage(const Session& session) const {
  for (const GroupSpec& entry : kGroups)
    (this->*entry.menu)->menuAction()->setText(session.text(entry.caption));
  for (const ActionSpec& entry : kActions)
    if (entry.action && entry.caption != kNone)
      (this->*entry.action)->setText(session.text(entry.caption));
  for (const ButtonSpec& entry : kButtons)
    if (entry.action && entry.hint != kNone)
      (this->*entry.action)->setToolTip(session.text(entry.hint));
  markMnemonics();
}

void MainActions::markMnemonics() const {
  QList<QAction*> groups;
  for (const GroupSpec& entry : kGroups) groups << (this->*entry.menu)->menuAction();
  markGroup(groups);
  for (const GroupSpec& entry : kGroups) markGroup((this->*entry.menu)->actions());
  markGroup(beheerDownloadsMenu->actions());
}

void MainActions::toggleDiagnostics(const Portfolio& portfolio, const Settings& settings) const {
  QAction* group = diagnostics->menuAction();
  group->setVisible(!group->isVisible());
  portInDollar->setChecked(portfolio.bPortInDollar());
  portInEuro->setChecked(!portfolio.bPortInDollar());
  rappInDollar->setChecked(portfolio.bRapInDollar());
  rappInEuro->setChecked(!portfolio.bRapInDollar());
  downloadOn->setChecked(settings.downloadAtStart);
  downloadDollarOn->setChecked(settings.downloadDollarQuote);
  downloadAexOn->setChecked(settings.downloadAexQuote);
}

}  // namespace pelmar
