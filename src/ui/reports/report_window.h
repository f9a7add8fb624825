#pragma once

#include <QWidget>
#include <array>
#include <optional>

#include "commands/report_commands.h"
#include "commands/word_processors.h"

class QLabel;
class QPushButton;
class QTextEdit;

namespace pelmar {

class Prompter;
class Session;

// The window of one overview (TPrintForm for the portfolio, TPActiesForm
// for the actions): the report in a rich-text editor where remarks can be
// typed, and the buttons that print it, save it as rich text or PDF, or
// open it in a word processor. Everything leaves with the remarks. A
// word-processor button is enabled only when its program is installed (its
// hint says why not); while the program starts, the line beside the buttons
// says so, and a start that fails is reported.
class ReportWindow : public QWidget {
  Q_OBJECT

 public:
  ReportWindow(Session& session, Prompter& prompter, ReportKind kind, QWidget* parent = nullptr);
  ~ReportWindow() override;

  // Builds the report afresh (the menu command) and shows the window. The
  // portfolio overview recalculates the dataset and may store its rate.
  Report openReport();

  QTextEdit* editor() const { return editor_; }
  QPushButton* printButton() const { return btnPrint_; }
  QPushButton* wordProcessorButton(WordProcessor which) const;
  QPushButton* saveButton() const { return btnSave_; }
  QPushButton* pdfButton() const { return btnPdf_; }
  QLabel* statusLabel() const { return status_; }

  void BtnPrintClick();
  void BtnSaveClick();
  void BtnPdfClick();
  void BtnWordProcessorClick(WordProcessor which);

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Escape closes the window, as its Close button does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void setTexts();
  // Builds the report into the editor, which then counts as unmodified.
  void build();
  QByteArray richText() const;

  Session& session_;
  Prompter& prompter_;
  ReportKind kind_;
  QTextEdit* editor_ = nullptr;
  QPushButton* btnPrint_ = nullptr;
  QPushButton* btnWord_ = nullptr;
  QPushButton* btnWordPad_ = nullptr;
  QPushButton* btnWriter_ = nullptr;
  QPushButton* btnSave_ = nullptr;
  QPushButton* btnPdf_ = nullptr;
  QPushButton* btnClose_ = nullptr;
  QLabel* status_ = nullptr;
  // Why each word processor cannot be started (its button's hint), by
  // WordProcessor; none where it can.
  std::array<std::optional<Reason>, 3> missing_;
  int changeListener_ = 0;
};

}  // namespace pelmar
