#pragma once

#include <unordered_set>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QToolBar;

namespace pelmar {

class Portfolio;
class Session;
struct ControlStates;
struct Settings;

// The main window's commands: one action per menu item and tool bar button
// (a button and its menu item share one), the menus, and the tool bar
// "SpeedPanel" with the dataset number "NodePanel". All are made once from
// the tables in main_actions.cpp and never replaced. A command is enabled
// only once the window has wired it to the core; commands of later work are
// shown but stay off.
class MainActions {
 public:
  // Adds the menus and the tool bar to `window`, which owns every action.
  explicit MainActions(QMainWindow& window);
  MainActions(const MainActions&) = delete;
  MainActions& operator=(const MainActions&) = delete;

  // Bestand
  QAction* newFile = nullptr;
  QAction* nieuwFonds = nullptr;
  QAction* openFile = nullptr;
  QAction* saveFile = nullptr;
  QAction* saveAs = nullptr;
  QAction* overzichtPortefeuille = nullptr;
  QAction* overzichtActies = nullptr;
  QAction* eigenschappen = nullptr;
  QAction* einde = nullptr;
  // Acties
  QAction* delStock = nullptr;
  QAction* voegtoeFonds1 = nullptr;
  QAction* beheerDownloads = nullptr;
  QAction* nl1 = nullptr;
  QAction* us1 = nullptr;
  QAction* download = nullptr;
  QAction* importPrices = nullptr;
  QAction* kiesDollarIndex = nullptr;
  QAction* splitsen = nullptr;
  QAction* nieuweRefWaarde = nullptr;
  QAction* overzichtPortefeuille1 = nullptr;
  QAction* overzichtActies1 = nullptr;
  QAction* jaarafsluiting = nullptr;
  QAction* verwijderSet = nullptr;
  QAction* voegToeSet = nullptr;
  QAction* eersteDatum = nullptr;
  QAction* vorigeDatum = nullptr;
  QAction* volgendeDatum = nullptr;
  QAction* laatsteDatum = nullptr;
  QAction* toonRekeningen = nullptr;
  QAction* kiesValuta = nullptr;
  QAction* update = nullptr;
  // Grafieken
  QAction* koersFonds = nullptr;
  QAction* waardeFonds = nullptr;
  QAction* rendementFonds = nullptr;
  QAction* waardePort = nullptr;
  QAction* rendementPort = nullptr;
  QAction* twrFonds = nullptr;
  QAction* twrPort = nullptr;
  // Opties
  QAction* instellingen = nullptr;
  QAction* divirOzev = nullptr;
  QAction* rividuDori = nullptr;
  QAction* muisNaarKnop = nullptr;
  // Help
  QAction* hHelp = nullptr;
  QAction* about = nullptr;
  // Diagnostics (hidden until Shift+Alt+M in the grid)
  QAction* onderhoud = nullptr;
  QAction* downloadOn = nullptr;
  QAction* downloadDollarOn = nullptr;
  QAction* downloadAexOn = nullptr;
  QAction* portInDollar = nullptr;
  QAction* portInEuro = nullptr;
  QAction* rappInDollar = nullptr;
  QAction* rappInEuro = nullptr;
  // Tool bar buttons without a menu item
  QAction* speedReken = nullptr;
  QAction* buttonDollar = nullptr;
  QAction* buttonAex = nullptr;

  QMenu* bestand = nullptr;
  QMenu* acties = nullptr;
  QMenu* beheerDownloadsMenu = nullptr;
  QMenu* grafieken = nullptr;
  QMenu* opties = nullptr;
  QMenu* help = nullptr;
  QMenu* diagnostics = nullptr;

  QToolBar* speedPanel = nullptr;
  QLabel* nodePanel = nullptr;

  // Marks a command as connected to the core, so that it may be enabled.
  void markWired(const QAction* command) { wired_.insert(command); }
  // Enables a command only when it is wired.
  void setCommandEnabled(QAction* command, bool enabled) const;
  // Every wired command on, every other off: the state after wiring.
  void enableWired() const;
  // The states the core decided for the portfolio shown.
  void EnableControls(const ControlStates& states) const;
  // Every caption and hint in the session's language.
  void HandleLanguage(const Session& session) const;
  // Shows or hides the diagnostics menu with the current currency and
  // download choices checked.
  void toggleDiagnostics(const Portfolio& portfolio, const Settings& settings) const;

 private:
  void createActions(QMainWindow& window);
  void createMenus(QMainWindow& window);
  void createToolBar(QMainWindow& window);
  // Gives the menu bar's groups and every menu's items their Alt letters.
  void markMnemonics() const;

  std::unordered_set<const QAction*> wired_;
};

}  // namespace pelmar
