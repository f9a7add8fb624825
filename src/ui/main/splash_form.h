#pragma once

#include <QTimer>
#include <QWidget>

namespace pelmar {

class Session;

// The start-up splash window: borderless and on top, a picture with one
// caption line under it. A click closes it, and so does its timer.
class TSplashForm : public QWidget {
  Q_OBJECT

 public:
  explicit TSplashForm(const Session& session, QWidget* parent = nullptr);

  // Shows it centred on the main window's stored rectangle.
  void showCentred();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const Session& session_;
  QTimer timer_;
};

}  // namespace pelmar
