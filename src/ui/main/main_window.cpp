#include "ui/main/main_window.h"

#include <QLabel>
#include <QStatusBar>
#include <QToolBar>

#include "commands/session.h"

namespace pelmar {

TMainForm::TMainForm(Session& session, QWidget* parent)
    : QMainWindow(parent), session_(session), nodePanel_(new QLabel(this)) {
  nodePanel_->setObjectName(QStringLiteral("NodePanel"));
  auto* speedPanel = addToolBar(QStringLiteral("SpeedPanel"));
  speedPanel->setMovable(false);
  speedPanel->addWidget(nodePanel_);
  statusBar();
  const Settings& s = session_.settings();
  resize(s.mainWidth, s.mainHeight);
  HandleLanguage();
}

void TMainForm::HandleLanguage() {
  setWindowTitle(session_.caption());
  nodePanel_->setText(session_.text(TextId::NothingRead));
}

}  // namespace pelmar
