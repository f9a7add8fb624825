#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace pelmar {

// The anchor of the manual's topic for the part of the program the user is
// in: the help context of the focused control or of the nearest part
// around it (a grid's by its current row, an open menu's by its highlighted
// item), else the topic of its window; "start" when none has one.
QString FocusHelpAnchor(const QWidget* focus);

// F1 anywhere in the program, in every window and dialog (an open menu
// included): hands the topic of the focused part to `open`. Installed on
// the application.
class HelpKeyFilter : public QObject {
 public:
  using Open = std::function<void(const QString& anchor)>;
  HelpKeyFilter(Open open, QObject* parent);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Open open_;
};

}  // namespace pelmar
