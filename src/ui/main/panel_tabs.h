#pragma once

#include <QColor>
#include <QWidget>

#include "commands/comparison_tabs.h"

namespace pelmar {

// The tab panel of the main window: tab images "ROTAC", "ROTAI" and
// "TWR/IRR" (the true returns) at the top, under them the text image of the
// selected tab. Each text is a
// set of five-field lines (label; value A; suffix A; value B; suffix B)
// drawn in three right-aligned columns.
class TPanelTabs : public QWidget {
  Q_OBJECT

 public:
  explicit TPanelTabs(QWidget* parent = nullptr);

  void PutText1(const QString& text);
  void PutText2(const QString& text);
  void PutText3(const QString& text);
  // The hint of the true-returns tab, shown while it is selected.
  void PutHint(const QString& hint);
  // The background follows the main window's colour.
  void PutColorChanged(const QColor& color);

  const QString& Text1() const { return text1_; }
  const QString& Text2() const { return text2_; }
  const QString& Text3() const { return text3_; }

  // With settings bound, the stored return family selects the tab and a
  // tab click makes its family the settings' choice.
  void bindSettings(Settings* settings);
  void selectTab(ReturnTab tab);
  ReturnTab currentTab() const { return current_; }
  QRect tabRect(ReturnTab tab) const;

  // Where the three columns of a line end in a text image of the given
  // width: the label, value A with its suffix, value B with its suffix.
  struct Columns {
    int labelRight;
    int valueARight;
    int valueBRight;
  };
  static Columns columnsFor(int width);

 signals:
  void OnROTAC();
  void OnROTAI();

 public slots:
  void ImageTab1Click();
  void ImageTab2Click();
  void ImageTab3Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void choose(ReturnTab tab);

  QString text1_;
  QString text2_;
  QString text3_;
  QString hint_;
  QColor color_;
  ReturnTab current_ = ReturnTab::Rotac;
  Settings* settings_ = nullptr;
};

}  // namespace pelmar
