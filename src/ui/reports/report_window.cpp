#include "ui/reports/report_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>

#include "commands/prompter.h"
#include "commands/refusal.h"
#include "commands/session.h"
#include "rendering/report_rendering.h"
#include "reports/rtf_writer.h"
#include "ui/platform/window_position.h"

namespace pelmar {
namespace {

// The light yellow of the panels that frame the editor ($E0FFFF).
const QColor kFrameColour(0xFF, 0xFF, 0xE0);

QWidget* framePanel(QWidget* parent, int width, int height) {
  auto* panel = new QWidget(parent);
  panel->setAutoFillBackground(true);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, kFrameColour);
  panel->setPalette(palette);
  if (width > 0) panel->setFixedWidth(width);
  if (height > 0) panel->setFixedHeight(height);
  return panel;
}

struct Placement {
  std::optional<int>* top;
  std::optional<int>* left;
  std::optional<int>* height;
  std::optional<int>* width;
  QRect defaults;
};

Placement placementOf(Settings& s, ReportKind kind) {
  if (kind == ReportKind::Portfolio)
    return {&s.portReportTop, &s.portReportLeft, &s.portReportHeight, &s.portReportWidth,
            QRect(1, 1, 1060, 760)};
  return {&s.actionsTop, &s.actionsLeft, &s.actionsHeight, &s.actionsWidth,
          QRect(100, 100, 700, 875)};
}

}  // namespace

ReportWindow::ReportWindow(Session& session, Prompter& prompter, ReportKind kind, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), prompter_(prompter), kind_(kind) {
  setObjectName(kind == ReportKind::Portfolio ? QStringLiteral("TPrintForm")
                                              : QStringLiteral("TPActiesForm"));
  auto* buttons = new QWidget(this);
  buttons->setFixedHeight(43);
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(10, 0, 10, 0);
  row->setSpacing(10);
  const auto button = [&](const char* name, auto handler) {
    auto* b = new QPushButton(buttons);
    b->setObjectName(QLatin1String(name));
    row->addWidget(b);
    connect(b, &QPushButton::clicked, this, handler);
    return b;
  };
  btnPrint_ = button("BtnPrint", [this] { BtnPrintClick(); });
  btnWord_ = button("BtnWord", [this] { BtnWordProcessorClick(WordProcessor::Word); });
  btnWordPad_ = button("BtnWordPad", [this] { BtnWordProcessorClick(WordProcessor::WordPad); });
  btnWriter_ = button("BtnWriter", [this] { BtnWordProcessorClick(WordProcessor::Writer); });
  btnSave_ = button("BtnSave", [this] { BtnSaveClick(); });
  btnPdf_ = button("BtnPdf", [this] { BtnPdfClick(); });
  btnClose_ = button("BtnClose", [this] { close(); });
  row->addStretch();
  status_ = new QLabel(buttons);
  status_->setObjectName(QStringLiteral("Status"));
  row->addWidget(status_);

  editor_ = new QTextEdit(this);
  editor_->setObjectName(kind == ReportKind::Portfolio ? QStringLiteral("RichEdit1")
                                                       : QStringLiteral("RichEdit"));
  editor_->setFrameShape(QFrame::NoFrame);
  editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  editor_->setTabChangesFocus(false);
  editor_->setLineWrapMode(QTextEdit::NoWrap);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  grid->addWidget(buttons, 0, 0, 1, 2);
  grid->addWidget(framePanel(this, 0, 80), 1, 0, 1, 2);
  grid->addWidget(framePanel(this, 80, 0), 2, 0);
  grid->addWidget(editor_, 2, 1);

  // Printing only with a printer; each word-processor button only when its
  // program can be started, its hint saying why not.
  btnPrint_->setEnabled(!QPrinterInfo::availablePrinterNames().isEmpty());
  for (WordProcessor which : {WordProcessor::Word, WordProcessor::WordPad, WordProcessor::Writer}) {
    const WordProcessorProgram program = FindWordProcessor(which);
    wordProcessorButton(which)->setEnabled(program.launch.has_value());
    missing_[std::size_t(which)] = program.missing;
  }

  const Placement place = placementOf(session_.settings(), kind_);
  resize(place.width->value_or(place.defaults.width()),
         place.height->value_or(place.defaults.height()));
  move(place.left->value_or(place.defaults.left()), place.top->value_or(place.defaults.top()));
  FitOnScreen(this);
  setTexts();
  // An open report follows the portfolio and the language, unless the user
  // has typed remarks into it: those are never thrown away. The buttons and
  // the caption follow the language in any case.
  changeListener_ = session_.addChangeListener([this](Changes changes) {
    if (changes & Change::Settings) setTexts();
    if (changes && isVisible() && !editor_->document()->isModified()) build();
  });
}

QPushButton* ReportWindow::wordProcessorButton(WordProcessor which) const {
  return which == WordProcessor::Word      ? btnWord_
         : which == WordProcessor::WordPad ? btnWordPad_
                                           : btnWriter_;
}

void ReportWindow::setTexts() {
  setWindowTitle(session_.text(TextId::ProductName) +
                 session_.text(kind_ == ReportKind::Portfolio ? TextId::ReportPortfolioCaption
                                                              : TextId::ReportActionsCaption));
  btnPrint_->setText(session_.text(TextId::ReportBtnPrint));
  btnWord_->setText(session_.text(TextId::ReportBtnWord));
  btnWordPad_->setText(session_.text(TextId::ReportBtnWordPad));
  btnWriter_->setText(session_.text(TextId::ReportBtnWriter));
  btnSave_->setText(session_.text(TextId::ReportBtnSave));
  btnPdf_->setText(session_.text(TextId::ReportBtnPdf));
  btnClose_->setText(session_.text(TextId::ReportBtnClose));
  for (WordProcessor which : {WordProcessor::Word, WordProcessor::WordPad, WordProcessor::Writer}) {
    const std::optional<Reason>& missing = missing_[std::size_t(which)];
    wordProcessorButton(which)->setToolTip(missing ? missing->text(session_.language())
                                                   : QString());
  }
}

void ReportWindow::build() {
  setTexts();
  const ReportDocument report = kind_ == ReportKind::Portfolio
                                    ? OverzichtPortefeuilleClick(session_)
                                    : OverzichtActiesClick(session_);
  RenderReport(report, *editor_->document());
  editor_->document()->setModified(false);
  // What the user types goes under "Remarks:" in body text; the view shows
  // the report from its top.
  QTextCursor cursor = editor_->textCursor();
  cursor.movePosition(QTextCursor::End);
  editor_->setTextCursor(cursor);
  editor_->verticalScrollBar()->setValue(0);
}

Report ReportWindow::openReport() {
  build();
  // Placed again now that the main window's frame is known.
  if (!isVisible()) FitOnScreen(this);
  show();
  raise();
  activateWindow();
  editor_->setFocus();
  editor_->verticalScrollBar()->setValue(0);
  return Report(Outcome::done(),
                kind_ == ReportKind::Portfolio ? Changes(Change::Figures) : Changes());
}

ReportWindow::~ReportWindow() {
  session_.removeChangeListener(changeListener_);
}

QByteArray ReportWindow::richText() const {
  return WriteRtf(ReportFromTextDocument(*editor_->document()));
}

void ReportWindow::BtnPrintClick() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageLayout(ReportPageLayout());
  QPrintDialog dialog(&printer, this);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  if (dialog.exec() != QDialog::Accepted) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  PrintReport(*editor_->document(), printer);
  QApplication::restoreOverrideCursor();
}

void ReportWindow::BtnSaveClick() {
  (void)SaveReport(session_, prompter_, kind_, richText());
}

void ReportWindow::BtnPdfClick() {
  const QFileInfo next(NextReportFileName(session_, kind_));
  const QString proposal = next.path() + u'/' + next.completeBaseName() + QStringLiteral(".pdf");
  const std::optional<QString> name = prompter_.saveFileName(
      session_.text(TextId::ReportPdfTitle), proposal, QStringLiteral("PDF (*.pdf)"));
  if (!name) return;
  Tell(session_, prompter_, WriteReportPdf(*editor_->document(), *name));
}

void ReportWindow::BtnWordProcessorClick(WordProcessor which) {
  const WordProcessorProgram program = FindWordProcessor(which);
  if (!program.launch) {
    prompter_.message(program.missing->text(session_.language()));
    return;
  }
  const QString file = ReportTempFile(session_, kind_);
  const Outcome written = WriteReportFile(file, richText());
  if (!written) {
    Tell(session_, prompter_, written);
    return;
  }
  status_->setText(session_.text(TextId::ReportOpening).arg(program.launch->name));
  setCursor(Qt::BusyCursor);
  StartWordProcessor(*program.launch, file, kWordProcessorWatchMs, this,
                     [this](const Outcome& started) {
                       status_->clear();
                       unsetCursor();
                       Tell(session_, prompter_, started);
                     });
}

void ReportWindow::closeEvent(QCloseEvent* event) {
  const Placement place = placementOf(session_.settings(), kind_);
  *place.top = y();
  *place.left = x();
  *place.height = height();
  *place.width = width();
  QWidget::closeEvent(event);
}

void ReportWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace pelmar
