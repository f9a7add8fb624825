#include "ui/main/panel_tabs.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace pelmar {

namespace {

constexpr int kTabWidth = 80;
constexpr int kTabHeight = 22;
constexpr int kColumnGap = 10;
constexpr int kShownTabDarker = 125;  // per cent, QColor::darker
constexpr int kFirstLineY = 10;
const QColor kLightGreen(0xE0, 0xFF, 0xE0);

QFont captionFont(const QFont& base) {
  QFont font(QStringLiteral("Bookman Old Style"), base.pointSize());
  font.setBold(true);
  return font;
}

QFont textFont(const QFont& base) {
  return QFont(QStringLiteral("Verdana"), base.pointSize());
}

}  // namespace

TPanelTabs::TPanelTabs(QWidget* parent) : QWidget(parent), color_(kLightGreen) {
  setFixedSize(376, 231);
}

void TPanelTabs::PutText1(const QString& text) {
  text1_ = text;
  update();
}

void TPanelTabs::PutText2(const QString& text) {
  text2_ = text;
  update();
}

void TPanelTabs::PutText3(const QString& text) {
  text3_ = text;
  update();
}

void TPanelTabs::PutHint(const QString& hint) {
  hint_ = hint;
  selectTab(current_);
}

void TPanelTabs::PutColorChanged(const QColor& color) {
  color_ = color;
  update();
}

void TPanelTabs::bindSettings(Settings* settings) {
  settings_ = settings;
  if (settings_) selectTab(StoredReturnTab(*settings_));
}

void TPanelTabs::selectTab(ReturnTab tab) {
  current_ = tab;
  // The hint explains the true returns and shows on their tab.
  setToolTip(tab == ReturnTab::TrueReturns ? hint_ : QString());
  update();
}

QRect TPanelTabs::tabRect(ReturnTab tab) const {
  const int index = static_cast<int>(tab) - 1;
  return QRect(index * (kTabWidth + 2), 0, kTabWidth, kTabHeight);
}

void TPanelTabs::choose(ReturnTab tab) {
  selectTab(tab);
  if (settings_) ChooseReturnTab(*settings_, tab);
  if (tab == ReturnTab::Rotac)
    emit OnROTAC();
  else if (tab == ReturnTab::Rotai)
    emit OnROTAI();
}

void TPanelTabs::ImageTab1Click() {
  choose(ReturnTab::Rotac);
}
void TPanelTabs::ImageTab2Click() {
  choose(ReturnTab::Rotai);
}
void TPanelTabs::ImageTab3Click() {
  choose(ReturnTab::TrueReturns);
}

void TPanelTabs::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (tabRect(ReturnTab::Rotac).contains(at))
    ImageTab1Click();
  else if (tabRect(ReturnTab::Rotai).contains(at))
    ImageTab2Click();
  else if (tabRect(ReturnTab::TrueReturns).contains(at))
    ImageTab3Click();
  QWidget::mousePressEvent(event);
}

TPanelTabs::Columns TPanelTabs::columnsFor(int width) {
  return {width / 4, static_cast<int>(std::lround(0.63 * width)) - kColumnGap / 2,
          width - kColumnGap};
}

void TPanelTabs::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());

  for (const ReturnTab tab : {ReturnTab::Rotac, ReturnTab::Rotai, ReturnTab::TrueReturns}) {
    const QRect area = tabRect(tab);
    // The tab whose figures are shown stands out: darker and in bold.
    QFont caption = captionFont(font());
    caption.setBold(tab == current_);
    painter.setFont(caption);
    painter.fillRect(area, tab == current_ ? color_.darker(kShownTabDarker) : color_);
    painter.setPen(Qt::black);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.drawText(area, Qt::AlignCenter,
                     tab == ReturnTab::Rotac   ? QStringLiteral("ROTAC")
                     : tab == ReturnTab::Rotai ? QStringLiteral("ROTAI")
                                               : QStringLiteral("TWR/IRR"));
  }

  const QRect image(0, kTabHeight, width(), height() - kTabHeight);
  painter.fillRect(image, color_);
  const QFont font = textFont(this->font());
  painter.setFont(font);
  const QFontMetrics metrics(font);
  const int lineStep = static_cast<int>(std::lround(1.7 * font.pointSizeF()));
  const Columns columns = columnsFor(image.width());
  const QString percent = QStringLiteral(" %");
  const auto drawRight = [&](int right, int top, const QString& text) {
    const int textWidth = metrics.horizontalAdvance(text);
    painter.drawText(QRect(right - textWidth, top, textWidth, metrics.height()),
                     Qt::AlignRight | Qt::AlignTop, text);
  };
  // Value and suffix end at the column, a suffix other than " %" shifted by
  // the width difference: so the value's digits always end where a " %"
  // starts, and the digits of every row line up.
  // A value too wide for its column shows as asterisks, like a return that
  // cannot be shown, instead of running over the column before it.
  const auto drawValue = [&](int columnLeft, int columnRight, int top, const QString& value,
                             const QString& suffix) {
    const int digitsRight = columnRight - metrics.horizontalAdvance(percent);
    const bool fits = metrics.horizontalAdvance(value) <= digitsRight - columnLeft;
    drawRight(digitsRight, top, fits ? value : QStringLiteral("*********"));
    painter.drawText(QPoint(digitsRight, top + metrics.ascent()), suffix);
  };

  const QString& text = current_ == ReturnTab::Rotac   ? text1_
                        : current_ == ReturnTab::Rotai ? text2_
                                                       : text3_;
  int top = image.top() + kFirstLineY;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    const TabLine fields = SplitTabLine(line);
    drawRight(columns.labelRight, top, fields.label);
    drawValue(columns.labelRight + kColumnGap, columns.valueARight, top, fields.valueA,
              fields.suffixA);
    drawValue(columns.valueARight + kColumnGap, columns.valueBRight, top, fields.valueB,
              fields.suffixB);
    top += lineStep;
  }
}

}  // namespace pelmar
