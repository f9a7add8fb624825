#pragma once

#include <QWidget>

#include "ui/platform/window_position.h"

class QLabel;

namespace pelmar {

// A borderless two-line notice with a blue frame that stays on screen while
// a long step runs; its caller shows it and closes it.
class TShowMessForm : public QWidget {
 public:
  explicit TShowMessForm(QWidget* parent = nullptr);

  // Fills the two labels and shows the notice centred on the area.
  void showNotice(const DialogArea& area, const QString& line1, const QString& line2);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* Label1;
  QLabel* Label2;
};

}  // namespace pelmar
