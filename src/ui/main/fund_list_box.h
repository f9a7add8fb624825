#pragma once

#include <QListWidget>

namespace pelmar {

// The main window's fund list: one line per ticker, drawn by the window
// itself. The selected line stands on purple in the button-face colour,
// every other line in black on the window's colour, each 2 px in from the
// left and top of its cell.
class FundListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit FundListBox(QWidget* parent = nullptr);

  // Replaces the lines; the order is the caller's.
  void setTickers(const QStringList& tickers);
  // Selects the line with that text without reporting a click.
  void selectTicker(const QString& ticker);
  QStringList tickers() const;

  void setColour(const QColor& colour);
  const QColor& colour() const { return colour_; }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  // Lines are as high as "ÄQq" plus 2.
  void updateItemHeight();

  QColor colour_;
};

}  // namespace pelmar
