#include "ui/charts/grafiek_form.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include "commands/chart_export.h"
#include "commands/prompter.h"
#include "commands/session.h"
#include "rendering/chart_painter.h"
#include "ui/platform/window_position.h"

namespace pelmar {

namespace {

// The registry names the installed spreadsheet program's version on Windows;
// elsewhere there is no such text.
std::optional<QString> SpreadsheetVersionText() {
#ifdef Q_OS_WIN
  const QSettings registry(QStringLiteral("HKEY_CLASSES_ROOT\\Excel.Application\\CurVer"),
                           QSettings::NativeFormat);
  return registry.value(QStringLiteral("Default")).toString();
#else
  return std::nullopt;
#endif
}

}  // namespace

// The plot: draws the picture with the shared painter and the read-out
// under the mouse.
class ChartView : public QWidget {
 public:
  ChartView(Session& session, const ChartState& state, QWidget* parent)
      : QWidget(parent), session_(session), state_(state) {
    setObjectName(QStringLiteral("ChartView"));
    setMouseTracking(true);
    setMinimumSize(400, 250);
  }
  ChartPicture picture;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    PaintChart(p, size(), picture);
    if (index_ < 0 || picture.empty()) return;
    const QRect plot = ChartPlotRect(size());
    const int count = int(picture.values.size());
    const double x = ChartIndexX(plot, count, index_);
    const double y = ChartValueY(plot, picture.range, picture.values[std::size_t(index_)]);
    p.setPen(Qt::darkGray);
    p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    p.drawEllipse(QPointF(x, y), 3, 3);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    const QPointF at = event->position();
    index_ = ChartIndexAt(ChartPlotRect(size()), int(picture.values.size()), at.x(), at.y());
    if (index_ >= 0)
      QToolTip::showText(event->globalPosition().toPoint(), ChartReadOut(session_, state_, index_),
                         this);
    else
      QToolTip::hideText();
    update();
  }
  void leaveEvent(QEvent*) override {
    index_ = -1;
    update();
  }

 private:
  Session& session_;
  const ChartState& state_;
  int index_ = -1;
};

TGrafiekForm::TGrafiekForm(Session& session, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), prompter_(prompter) {
  setObjectName(QStringLiteral("GrafiekForm"));
  view_ = new ChartView(session_, state_, this);
  koersListBox_ = new QListWidget(this);
  koersListBox_->setObjectName(QStringLiteral("KoersListBox"));
  koersListBox_->setFixedWidth(150);
  koersListBox_->hide();
  fondsListBox_ = new QListWidget(this);
  fondsListBox_->setObjectName(QStringLiteral("FondsListBox"));
  fondsListBox_->setFixedWidth(180);
  spinEdit_ = new QSpinBox(this);
  spinEdit_->setRange(1, 36500);
  spinEdit_->setValue(session_.settings().chartDays);
  radioNormaal_ = new QRadioButton(this);
  radioRelatief_ = new QRadioButton(this);
  (session_.settings().chartNormal ? radioNormaal_ : radioRelatief_)->setChecked(true);
  pricesBtn_ = new QPushButton(this);
  exportBtn_ = new QPushButton(this);
  pngBtn_ = new QPushButton(this);
  pngBtn_->setObjectName(QStringLiteral("SavePngBtn"));
  closeBtn_ = new QPushButton(this);
  daysLabel_ = new QLabel(this);
  timerDagen_ = new QTimer(this);
  timerDagen_->setSingleShot(true);
  timerDagen_->setInterval(2000);

  auto* bar = new QHBoxLayout;
  bar->addWidget(daysLabel_);
  bar->addWidget(spinEdit_);
  bar->addWidget(radioNormaal_);
  bar->addWidget(radioRelatief_);
  bar->addStretch();
  bar->addWidget(pricesBtn_);
  bar->addWidget(exportBtn_);
  bar->addWidget(pngBtn_);
  bar->addWidget(closeBtn_);
  auto* body = new QHBoxLayout;
  body->addWidget(fondsListBox_);
  body->addWidget(view_, 1);
  body->addWidget(koersListBox_);
  auto* whole = new QVBoxLayout(this);
  whole->addLayout(bar);
  whole->addLayout(body, 1);
  resize(session_.settings().chartWidth.value_or(900),
         session_.settings().chartHeight.value_or(600));
  if (session_.settings().chartLeft && session_.settings().chartTop)
    move(*session_.settings().chartLeft, *session_.settings().chartTop);
  FitOnScreen(this);

  // Each change of the days restarts the timer: one rebuild, 2 s after the last.
  connect(spinEdit_, &QSpinBox::valueChanged, timerDagen_, qOverload<>(&QTimer::start));
  connect(timerDagen_, &QTimer::timeout, this, [this] { TimerDagenTimer(); });
  connect(radioNormaal_, &QRadioButton::toggled, this, [this](bool normal) {
    session_.settings().chartNormal = normal;
    redraw();
  });
  connect(pricesBtn_, &QPushButton::clicked, this, [this] { PricesBtnClick(); });
  connect(exportBtn_, &QPushButton::clicked, this, [this] {
    (void)ExportBtnClick(session_, prompter_, state_.request.kind,
                         ChartExportName(session_, state_), state_.series, DesktopFolder(),
                         ExportLineFormatFor(SpreadsheetVersionText()));
  });
  // A double click or Return (or Enter) on the stock list charts the stock.
  connect(fondsListBox_, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { FondsListBoxDblClick(item); });
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
    auto* shortcut = new QShortcut(key, fondsListBox_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(shortcut, &QShortcut::activated, this,
            [this] { FondsListBoxDblClick(fondsListBox_->currentItem()); });
  }
  connect(pngBtn_, &QPushButton::clicked, this, [this] { SavePngClick(); });
  connect(closeBtn_, &QPushButton::clicked, this, &QWidget::close);
  HandleLanguage();
  changeListener_ = session_.addChangeListener([this](Changes changes) {
    const Portfolio& p = session_.portfolio();
    if (changes && isVisible() && (p.bPortOpened() || p.bPortNew())) follow();
  });
}

TGrafiekForm::~TGrafiekForm() {
  session_.removeChangeListener(changeListener_);
}

void TGrafiekForm::showKind(ChartKind kind) {
  if (!stockListFilled_) refreshStockList();
  bool shown = false;
  switch (kind) {
    case ChartKind::FundPrice:
      shown = KoersFondsClick(session_, state_);
      break;
    case ChartKind::FundValue:
      shown = WaardeFondsClick(session_, state_);
      break;
    case ChartKind::FundYield:
      shown = RendementFondsClick(session_, state_);
      break;
    case ChartKind::PortfolioValue:
      shown = WaardePortClick(session_, state_);
      break;
    case ChartKind::PortfolioYield:
      shown = RendementPortClick(session_, state_);
      break;
    case ChartKind::FundTwr:
      shown = TwrFondsClick(session_, state_);
      break;
    case ChartKind::PortfolioTwr:
      shown = TwrPortClick(session_, state_);
      break;
  }
  if (!shown) return;
  redraw();
  // Placed again now that the main window's frame is known.
  if (!isVisible()) FitOnScreen(this);
  show();
  raise();
}

void TGrafiekForm::HandleLanguage() {
  radioNormaal_->setText(session_.text(TextId::ChartNormal));
  radioRelatief_->setText(session_.text(TextId::ChartRelative));
  pricesBtn_->setText(session_.text(koersListBox_->isVisible() ? TextId::ChartHidePrices
                                                               : TextId::ChartShowPrices));
  exportBtn_->setText(session_.text(TextId::ChartExport));
  pngBtn_->setText(session_.text(TextId::ChartSavePng));
  closeBtn_->setText(session_.text(TextId::ChartClose));
  daysLabel_->setText(session_.text(TextId::ChartDays));
  // A chart on screen is built again: its caption, axes and read-out.
  if (!isVisible()) return;
  (void)RebuildChart(session_, state_);
  redraw();
}

void TGrafiekForm::follow() {
  if (isFundChart(state_.request.kind)) {
    const std::optional<QString> fund = SelectedChartFund(session_);
    if (fund) state_.request.ticker = *fund;
  }
  (void)RebuildChart(session_, state_);
  redraw();
}

void TGrafiekForm::followReturnTab() {
  if (!ChartFollowsReturnTab(session_, state_)) return;
  (void)RebuildChart(session_, state_);
  redraw();
}

void TGrafiekForm::refreshStockList() {
  fondsListBox_->clear();
  QStringList unreadable;
  const std::vector<ChartStock> stocks = ChartStockList(session_, unreadable);
  for (const QString& path : unreadable)
    prompter_.message(
        session_.text(TextId::StockListUnreadable).arg(QDir::toNativeSeparators(path)));
  for (const ChartStock& stock : stocks) {
    auto* item = new QListWidgetItem(stock.name.isEmpty() ? stock.ticker : stock.name);
    item->setData(Qt::UserRole, stock.ticker);
    item->setToolTip(stock.ticker);
    fondsListBox_->addItem(item);
  }
  stockListFilled_ = true;
}

void TGrafiekForm::FondsListBoxDblClick(QListWidgetItem* item) {
  if (!item) return;
  if (pelmar::FondsListBoxDblClick(session_, state_, item->data(Qt::UserRole).toString())) redraw();
}

void TGrafiekForm::TimerDagenTimer() {
  timerDagen_->stop();
  session_.settings().chartDays = spinEdit_->value();
  (void)RebuildChart(session_, state_);
  redraw();
}

void TGrafiekForm::PricesBtnClick() {
  koersListBox_->setVisible(!koersListBox_->isVisible());
  pricesBtn_->setText(session_.text(koersListBox_->isVisible() ? TextId::ChartHidePrices
                                                               : TextId::ChartShowPrices));
  redraw();
}

void TGrafiekForm::SavePngClick() {
  // The same painter at the plot's size, so the file shows what the window does.
  (void)pelmar::SavePngClick(session_, prompter_, state_, DesktopFolder(),
                             [this] { return ChartPng(view_->picture, view_->size()); });
}

void TGrafiekForm::redraw() {
  setWindowTitle(state_.texts.caption);
  koersListBox_->clear();
  koersListBox_->addItems(SeriesLines(state_.series, session_.language()));
  if (koersListBox_->count() > 0) koersListBox_->setCurrentRow(koersListBox_->count() - 1);
  view_->picture = ChartPictureOf(session_, state_);
  view_->update();
  if (view_->picture.empty() && isVisible())
    prompter_.timedMessage(session_.text(TextId::ChartNotPlotted1),
                           session_.text(TextId::ChartNotPlotted2), 5000);
}

void TGrafiekForm::closeEvent(QCloseEvent* event) {
  Settings& s = session_.settings();
  s.chartTop = y();
  s.chartLeft = x();
  s.chartWidth = width();
  s.chartHeight = height();
  event->accept();
}

void TGrafiekForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace pelmar
