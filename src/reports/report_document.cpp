#include "reports/report_document.h"

namespace pelmar {

QString Paragraph::text() const {
  QString text;
  for (const TextRun& run : runs) text += run.text;
  return text;
}

QString ReportDocument::plainText() const {
  QString text;
  for (const Paragraph& paragraph : paragraphs) text += paragraph.text() + QChar('\n');
  return text;
}

ReportWriter::ReportWriter(const CharFormat& format, const TabStops& stops)
    : format_(format), stops_(std::make_shared<const TabStops>(stops)) {}

void ReportWriter::setFormat(const QString& family, int pointSize, bool bold) {
  format_ = CharFormat{family, pointSize, bold};
}

void ReportWriter::setTabStops(const TabStops& stops) {
  stops_ = std::make_shared<const TabStops>(stops);
}

void ReportWriter::endKeep() {
  keep_ = false;
  if (!document_.paragraphs.empty()) document_.paragraphs.back().keepWithNext = false;
}

void ReportWriter::line(const QString& text) {
  Paragraph paragraph;
  if (!text.isEmpty()) paragraph.runs.push_back(TextRun{text, format_});
  paragraph.tabStops = stops_;
  paragraph.format = format_;
  paragraph.keepWithNext = keep_;
  document_.paragraphs.push_back(std::move(paragraph));
}

}  // namespace pelmar
