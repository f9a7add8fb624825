#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

namespace pelmar {

class Session;

// The reader's debug view "RWPelmar": while the "Debug" switch is on, the
// reader hands it the lines of every record it reads (ReadProgress's
// debugRecord) and waits: "Next Record" lets the reading go on, "End
// Debugging mode" switches debugging off and closes the view, and the rest
// of the file is read without stopping. It shows the reader's progress; it
// reads nothing itself.
class TDebugView : public QDialog {
 public:
  explicit TDebugView(Session& session, QWidget* parent = nullptr);

  // Shows the record's lines and waits for a button; false after "End
  // Debugging mode" (or closing the window).
  bool showRecord(const QStringList& lines);

  QPlainTextEdit* memo() const { return memo_; }
  QPushButton* nextButton() const { return next_; }
  QPushButton* stopButton() const { return stop_; }

 private:
  Session& session_;
  QPlainTextEdit* memo_;
  QPushButton* next_;
  QPushButton* stop_;
};

}  // namespace pelmar
