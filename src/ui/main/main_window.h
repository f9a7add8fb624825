#pragma once

#include <QMainWindow>

class QLabel;

namespace pelmar {

class Session;

// The program's one main window. It shows what the session holds and hands
// every command to the core.
class TMainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TMainForm(Session& session, QWidget* parent = nullptr);

  // Sets every caption and text for the session's language.
  void HandleLanguage();

  QLabel* nodePanel() const { return nodePanel_; }

 private:
  Session& session_;
  QLabel* nodePanel_;
};

}  // namespace pelmar
