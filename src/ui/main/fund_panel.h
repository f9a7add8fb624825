#pragma once

#include <QLabel>

class QFrame;
class QGroupBox;
class QPushButton;

namespace pelmar {

class FundGridWidget;
class FundListBox;
class Prompter;
class RealTimeBox;
class Session;
class TPanelTabs;
struct DataSetView;

// A label that reports clicks: the date panels.
class ClickLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// Gives a window part its background colour.
void setWindowColour(QWidget* widget, const QColor& colour);

// The window's body: the fund list beside the fund panel "FondsPanel" with
// the date panels, the grid, the currency boxes, the comparison tabs, the
// advice box, the real-time box and the service panel. It draws what the
// core decided for a dataset; the window wires its clicks to the core.
class FundPanel : public QWidget {
  Q_OBJECT

 public:
  FundPanel(Session& session, Prompter& prompter, QWidget* parent);

  // The fixed captions in the session's language.
  void HandleLanguage();
  // The DivirOzev and RividuDori labels for the modes the advice holds.
  void showModes();
  // Draws a dataset and its current fund.
  void ShowDataSet(const DataSetView& view);
  // The colour of the dataset shown (green on the last, yellow on older).
  void setColour(const QColor& colour);

  FundListBox* fondsenBox = nullptr;
  QFrame* fondsPanel = nullptr;
  QFrame* datumsPanel = nullptr;
  QLabel* datumLabel = nullptr;
  ClickLabel* datumPanel = nullptr;
  QLabel* cumDatumLabel = nullptr;
  ClickLabel* fCumDatumPanel = nullptr;
  ClickLabel* cumDatumPanel = nullptr;
  FundGridWidget* grid = nullptr;
  QGroupBox* boxValuta = nullptr;
  QLabel* label1 = nullptr;  // portfolio currency
  QLabel* label3 = nullptr;  // report currency
  QGroupBox* boxEurDol = nullptr;
  QLabel* label2 = nullptr;  // one euro in dollars
  QLabel* label4 = nullptr;  // one dollar in euros
  QLabel* labelTurbo = nullptr;
  QLabel* labelPremie = nullptr;
  QLabel* splitLabel = nullptr;
  TPanelTabs* tabs = nullptr;
  QGroupBox* adviesBox = nullptr;
  QLabel* adviesLabel = nullptr;
  QLabel* koopLabel = nullptr;
  QLabel* verkoopLabel = nullptr;
  QPushButton* adviesInfo = nullptr;
  RealTimeBox* realTime = nullptr;
  QLabel* servicePanel = nullptr;

 private:
  void createDatePanels();
  QLayout* createLeftColumn(Session& session, Prompter& prompter);
  QLayout* createRightColumn();

  Session& session_;
};

}  // namespace pelmar
