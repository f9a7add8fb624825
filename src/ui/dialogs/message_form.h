#pragma once

#include <QTimer>
#include <QWidget>

#include "ui/platform/window_position.h"

class QFrame;
class QPlainTextEdit;

namespace pelmar {

// The timed message window: one or two lines over the calling window that
// close by themselves after a given time, without waiting for the user.
class TMessageForm : public QWidget {
 public:
  explicit TMessageForm(QWidget* parent = nullptr);

  // Shows the lines centred on the area, without making the window modal,
  // and closes it after the time. A new message replaces the one showing.
  void ShowTimedMessage(const DialogArea& area, int milliseconds, const QString& line1,
                        const QString& line2);

  const QTimer& timer() const { return timer_; }

 private:
  QFrame* Panel;
  QPlainTextEdit* MessageMemo;
  QTimer timer_;
};

}  // namespace pelmar
