#include "ui/main/fund_panel.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "commands/advice_box.h"
#include "commands/comparison_tabs.h"
#include "commands/dataset_view.h"
#include "commands/session.h"
#include "model/conversions.h"
#include "ui/main/fund_grid_widget.h"
#include "ui/main/fund_list_box.h"
#include "ui/main/help_context.h"
#include "ui/main/panel_tabs.h"
#include "ui/main/real_time_box.h"

namespace pelmar {

namespace {

ClickLabel* panelLabel(QWidget* parent, const char* name, int width, int help) {
  auto* label = new ClickLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignCenter);
  label->setMinimumWidth(width);
  label->setAutoFillBackground(true);
  setHelpContext(label, help);
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

// A group box with two labels, one above the other.
QGroupBox* twoLabelBox(QWidget* parent, const char* name, QLabel*& upper, const char* upperName,
                       QLabel*& lower, const char* lowerName) {
  QGroupBox* box = groupBox(parent, name);
  auto* lines = new QVBoxLayout(box);
  upper = plainLabel(box, upperName);
  lines->addWidget(upper);
  lower = plainLabel(box, lowerName);
  lines->addWidget(lower);
  return box;
}

}  // namespace

void ClickLabel::mousePressEvent(QMouseEvent*) {
  emit clicked();
}

void setWindowColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, colour);
  widget->setPalette(palette);
}

FundPanel::FundPanel(Session& session, Prompter& prompter, QWidget* parent)
    : QWidget(parent), session_(session) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  fondsenBox = new FundListBox(this);
  fondsenBox->setObjectName(QStringLiteral("FondsenBox"));
  fondsenBox->setFixedWidth(89);
  setHelpContext(fondsenBox, 33000);
  row->addWidget(fondsenBox);

  fondsPanel = new QFrame(this);
  fondsPanel->setObjectName(QStringLiteral("FondsPanel"));
  fondsPanel->setAutoFillBackground(true);
  setHelpContext(fondsPanel, 34000);
  row->addWidget(fondsPanel);
  auto* panel = new QVBoxLayout(fondsPanel);
  panel->setContentsMargins(5, 5, 15, 5);
  panel->setSpacing(5);
  createDatePanels();
  panel->addWidget(datumsPanel);

  auto* columns = new QHBoxLayout;
  columns->setSpacing(10);
  panel->addLayout(columns);
  // A larger window widens the grid and the tabs alike.
  columns->addLayout(createLeftColumn(session, prompter), 1);
  columns->addLayout(createRightColumn(), 1);
}

void FundPanel::createDatePanels() {
  datumsPanel = new QFrame(fondsPanel);
  datumsPanel->setObjectName(QStringLiteral("DatumsPanel"));
  datumsPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  datumsPanel->setAutoFillBackground(true);
  setHelpContext(datumsPanel, 34100);
  auto* dates = new QHBoxLayout(datumsPanel);
  dates->setContentsMargins(5, 3, 5, 3);
  datumLabel = plainLabel(datumsPanel, "DatumLabel");
  dates->addWidget(datumLabel);
  datumPanel = panelLabel(datumsPanel, "DatumPanel", 90, 34101);
  dates->addWidget(datumPanel);
  dates->addStretch();
  cumDatumLabel = plainLabel(datumsPanel, "CumDatumLabel");
  dates->addWidget(cumDatumLabel);
  fCumDatumPanel = panelLabel(datumsPanel, "FCumDatumPanel", 90, 34102);
  dates->addWidget(fCumDatumPanel);
  cumDatumPanel = panelLabel(datumsPanel, "CumDatumPanel", 90, 34103);
  dates->addWidget(cumDatumPanel);
}

QLayout* FundPanel::createLeftColumn(Session& session, Prompter& prompter) {
  auto* left = new QVBoxLayout;
  left->setSpacing(5);
  grid = new FundGridWidget(session, prompter, fondsPanel);
  grid->setObjectName(QStringLiteral("FondsGrid"));
  // The cells are padded to their width with blanks; clipping them keeps
  // the text whole where eliding would cut it to "B...".
  grid->setTextElideMode(Qt::ElideNone);
  // Rows as high as the grid sets them, not the style's minimum, so that
  // all fifteen fit in the grid's size.
  grid->verticalHeader()->setMinimumSectionSize(1);
  grid->HandleLanguage();
  // The grid takes the height a larger window gives this column.
  left->addWidget(grid, 1);

  boxValuta = twoLabelBox(fondsPanel, "BoxValuta", label1, "Label1", label3, "Label3");
  left->addWidget(boxValuta);
  boxEurDol = twoLabelBox(fondsPanel, "BoxEurDol", label2, "Label2", label4, "Label4");
  left->addWidget(boxEurDol);
  labelTurbo = plainLabel(fondsPanel, "LabelTurbo");
  left->addWidget(labelTurbo);
  labelPremie = plainLabel(fondsPanel, "LabelPremie");
  left->addWidget(labelPremie);
  splitLabel = plainLabel(fondsPanel, "SplitLabel");
  splitLabel->setStyleSheet(QStringLiteral("color: red"));
  left->addWidget(splitLabel);
  return left;
}

QLayout* FundPanel::createRightColumn() {
  auto* right = new QVBoxLayout;
  right->setSpacing(5);
  tabs = new TPanelTabs(fondsPanel);
  tabs->setObjectName(QStringLiteral("PanelTabs1"));
  // The tabs spread their columns over their width: they take the width a
  // larger window gives this column; their lines need no more height.
  tabs->setMinimumWidth(tabs->width());
  tabs->setMaximumWidth(QWIDGETSIZE_MAX);
  tabs->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  right->addWidget(tabs);

  adviesBox = groupBox(fondsPanel, "AdviesBox");
  auto* adviesLines = new QGridLayout(adviesBox);
  adviesLabel = plainLabel(adviesBox, "AdviesLabel");
  adviesLines->addWidget(adviesLabel, 0, 0);
  koopLabel = plainLabel(adviesBox, "KoopLabel");
  adviesLines->addWidget(koopLabel, 1, 0);
  verkoopLabel = plainLabel(adviesBox, "VerkoopLabel");
  adviesLines->addWidget(verkoopLabel, 2, 0);
  adviesInfo = new QPushButton(QStringLiteral("?"), adviesBox);
  adviesInfo->setObjectName(QStringLiteral("AdviesInfo"));
  adviesInfo->setFixedSize(25, 25);
  adviesLines->addWidget(adviesInfo, 0, 1, 3, 1, Qt::AlignTop);
  adviesLines->setColumnStretch(0, 1);
  right->addWidget(adviesBox);

  realTime = new RealTimeBox(session_, fondsPanel);
  right->addWidget(realTime);

  right->addSpacing(5);
  servicePanel = plainLabel(fondsPanel, "ServicePanel");
  servicePanel->setAutoFillBackground(true);
  servicePanel->setWordWrap(true);
  servicePanel->hide();
  right->addWidget(servicePanel);
  right->addStretch();
  return right;
}

void FundPanel::HandleLanguage() {
  const auto text = [this](TextId id) { return session_.text(id); };
  datumLabel->setText(text(TextId::DatumLabel));
  cumDatumLabel->setText(text(TextId::CumDatumLabel));
  boxValuta->setTitle(text(TextId::BoxValutaCaption));
  boxEurDol->setTitle(text(TextId::BoxEurDolCaption));
  adviesBox->setTitle(text(TextId::AdviesBoxCaption));
  // The capital of the tabs beside the balances of the accounts.
  tabs->PutHint(text(TextId::FiguresRelation));
  realTime->HandleLanguage();
  showModes();
  grid->HandleLanguage();
}

void FundPanel::showModes() {
  labelTurbo->setText(DivirOzevLabel(session_));
  labelPremie->setText(RividuDoriLabel(session_));
}

void FundPanel::setColour(const QColor& colour) {
  for (QWidget* part : std::initializer_list<QWidget*>{fondsPanel, datumsPanel, datumPanel,
                                                       cumDatumPanel, fCumDatumPanel, servicePanel})
    setWindowColour(part, colour);
  fondsenBox->setColour(colour);
  tabs->PutColorChanged(colour);
  for (int row = 0; row < grid->rowCount(); ++row) grid->item(row, 0)->setBackground(colour);
}

void FundPanel::ShowDataSet(const DataSetView& view) {
  const Portfolio& p = session_.portfolio();
  datumPanel->setText(view.datum);
  label1->setText(view.currency.portfolio);
  label3->setText(view.currency.report);
  label2->setText(view.currency.euro);
  label4->setText(view.currency.dollar);
  realTime->realTimeLabel->setText(view.currency.realTime);
  realTime->setVisible(view.showRealTime);
  splitLabel->setText(view.splitLabel);
  fCumDatumPanel->setText(view.fundCumDatum);

  grid->FillGrid();
  tabs->setUpdatesEnabled(false);
  tabs->PutText1(TabRotac(p, session_.language()).join(QLatin1Char('\n')));
  tabs->PutText2(TabRotai(p, session_.language()).join(QLatin1Char('\n')));
  tabs->PutText3(
      TabTrueReturns(p, session_.language(), dateFormatFromSetting(session_.settings().dateFormat))
          .join(QLatin1Char('\n')));
  tabs->PutHint(session_.text(TextId::TrueTabHint));
  tabs->setUpdatesEnabled(true);
  cumDatumPanel->setText(view.cumDatum);

  servicePanel->setText(view.servicePanel);
  servicePanel->setVisible(view.showServicePanel);

  adviesLabel->setText(view.advice.adviesLabel);
  adviesLabel->setStyleSheet(view.advice.adviesColour == AdviceColour::Blue
                                 ? QStringLiteral("color: blue")
                                 : QStringLiteral("color: red"));
  koopLabel->setText(view.advice.koopLabel);
  verkoopLabel->setText(view.advice.verkoopLabel);
  adviesInfo->setToolTip(view.advice.exhaustionHint);
  fondsenBox->selectTicker(TrimRightBlanks(p.koers().Ticker));
  grid->viewport()->update();
}

}  // namespace pelmar
