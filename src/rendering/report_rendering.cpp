#include "rendering/report_rendering.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <cmath>
#include <memory>

#include "model/safe_write.h"

namespace pelmar {
namespace {

QTextCharFormat charFormatOf(const CharFormat& format) {
  QTextCharFormat result;
  result.setFontFamilies(QStringList{format.family});
  // Courier New lines its columns up with blanks: any fixed-pitch font
  // stands in where it is not installed.
  if (format.family == kCourierNew) {
    result.setFontStyleHint(QFont::TypeWriter);
    result.setFontFixedPitch(true);
  } else {
    result.setFontStyleHint(QFont::SansSerif);
  }
  result.setFontPointSize(format.pointSize);
  result.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
  return result;
}

CharFormat formatOf(const QTextCharFormat& format) {
  const QStringList families = format.fontFamilies().toStringList();
  CharFormat result;
  result.family = families.isEmpty() ? format.font().family() : families.first();
  const qreal size = format.fontPointSize();
  result.pointSize = size > 0 ? int(std::lround(size)) : format.font().pointSize();
  result.bold = format.fontWeight() >= QFont::DemiBold;
  return result;
}

// A text document lays out in pixels of 96 to the inch (and scales them
// for a printer); a twip is 1/1440 inch.
constexpr qreal kPixelsPerTabUnit = kTwipsPerTabUnit * 96.0 / 1440.0;

QTextBlockFormat blockFormatOf(const TabStops* stops) {
  QTextBlockFormat format;
  QList<QTextOption::Tab> tabs;
  if (stops) {
    for (int unit : *stops)
      tabs << QTextOption::Tab(unit * kPixelsPerTabUnit, QTextOption::LeftTab);
  }
  format.setTabPositions(tabs);
  return format;
}

}  // namespace

void RenderReport(const ReportDocument& report, QTextDocument& document) {
  document.clear();
  document.setDefaultFont(charFormatOf(CharFormat{kCourierNew, 11, false}).font());
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  const TabStops* lastStops = nullptr;
  QTextBlockFormat block = blockFormatOf(nullptr);
  bool first = true;
  for (const Paragraph& paragraph : report.paragraphs) {
    if (first || paragraph.tabStops.get() != lastStops) {
      lastStops = paragraph.tabStops.get();
      block = blockFormatOf(lastStops);
    }
    const QTextCharFormat blockChars = charFormatOf(paragraph.format);
    if (first) {
      cursor.setBlockFormat(block);
      cursor.setBlockCharFormat(blockChars);
      first = false;
    } else {
      cursor.insertBlock(block, blockChars);
    }
    for (const TextRun& run : paragraph.runs) cursor.insertText(run.text, charFormatOf(run.format));
  }
  // The user's remarks go on in the format set last.
  if (!report.paragraphs.empty())
    cursor.setCharFormat(charFormatOf(report.paragraphs.back().format));
  cursor.endEditBlock();
}

ReportDocument ReportFromTextDocument(const QTextDocument& document) {
  ReportDocument report;
  std::shared_ptr<const TabStops> stops;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    TabStops positions;
    for (const QTextOption::Tab& tab : block.blockFormat().tabPositions())
      positions.push_back(int(std::lround(tab.position / kPixelsPerTabUnit)));
    if (!stops || *stops != positions) stops = std::make_shared<const TabStops>(positions);
    Paragraph paragraph;
    paragraph.tabStops = stops;
    paragraph.format = formatOf(block.charFormat());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid() || fragment.text().isEmpty()) continue;
      paragraph.runs.push_back(TextRun{fragment.text(), formatOf(fragment.charFormat())});
      paragraph.format = paragraph.runs.back().format;
    }
    report.paragraphs.push_back(std::move(paragraph));
  }
  return report;
}

QPageLayout ReportPageLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(1, 1, 1, 1),
                     QPageLayout::Inch);
}

void PrintReport(const QTextDocument& document, QPagedPaintDevice& device) {
  const QPageLayout layout = ReportPageLayout();
  device.setPageLayout(layout);
  // Laid out on pages of the print area itself, so that the text document
  // adds no margins of its own to the one-inch margins of the page.
  const std::unique_ptr<QTextDocument> pages(document.clone());
  const QRectF area = layout.paintRect(QPageLayout::Inch);
  pages->setDocumentMargin(0);
  pages->setPageSize(QSizeF(area.width() * 96, area.height() * 96));
  pages->print(&device);
}

Outcome WriteReportPdf(const QTextDocument& document, const QString& path) {
  safe_write::Options options;
  options.makeFolder = true;
  const Outcome written = safe_write::WriteFile(
      path,
      [&](QIODevice& out) {
        QPdfWriter writer(&out);
        writer.setCreator(QStringLiteral("Pelmar"));
        writer.setTitle(QFileInfo(path).completeBaseName());
        PrintReport(document, writer);
        return true;
      },
      options);
  if (!written) {
    return Outcome::failed(
        Reason{TextId::ReportNotSaved, {QDir::toNativeSeparators(path)}, path}.because(
            *written.reason()));
  }
  return Outcome::done();
}

}  // namespace pelmar
