#include "rendering/report_rendering.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
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

// A block kept on the page of the block after it.
constexpr int kKeepWithNext = QTextFormat::UserProperty + 1;
// The document's footer (ReportDocument::footer).
constexpr char kFooterProperty[] = "reportFooter";

QTextBlockFormat blockFormatOf(const TabStops* stops, bool keepWithNext) {
  QTextBlockFormat format;
  QList<QTextOption::Tab> tabs;
  if (stops) {
    for (int unit : *stops)
      tabs << QTextOption::Tab(unit * kPixelsPerTabUnit, QTextOption::LeftTab);
  }
  format.setTabPositions(tabs);
  if (keepWithNext) format.setProperty(kKeepWithNext, true);
  return format;
}

// Starts every chain of kept blocks that would be cut by the end of a page
// on a new page; a chain taller than a page starts at the top of one. The
// document is laid out on pages of pageHeight.
void keepChainsTogether(QTextDocument& document, qreal pageHeight) {
  QAbstractTextDocumentLayout* layout = document.documentLayout();
  for (QTextBlock block = document.begin(); block.isValid();) {
    QTextBlock last = block;
    while (last.blockFormat().boolProperty(kKeepWithNext) && last.next().isValid())
      last = last.next();
    if (last != block) {
      const qreal top = layout->blockBoundingRect(block).top();
      const qreal bottom = layout->blockBoundingRect(last).bottom();
      const qreal pageEnd = (std::floor(top / pageHeight) + 1) * pageHeight;
      const bool atPageTop = top - (pageEnd - pageHeight) < 1;
      if (bottom > pageEnd && !atPageTop) {
        QTextBlockFormat format = block.blockFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(block).setBlockFormat(format);
      }
    }
    block = last.next();
  }
}

// The height of the footer line at the foot of the print area, in the
// document's pixels.
constexpr qreal kFooterHeight = 0.3 * 96;

}  // namespace

void RenderReport(const ReportDocument& report, QTextDocument& document) {
  document.clear();
  document.setDefaultFont(charFormatOf(CharFormat{kCourierNew, 11, false}).font());
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  document.setProperty(kFooterProperty, report.footer);
  bool first = true;
  for (const Paragraph& paragraph : report.paragraphs) {
    const QTextBlockFormat block = blockFormatOf(paragraph.tabStops.get(), paragraph.keepWithNext);
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
  report.footer = document.property(kFooterProperty).toString();
  std::shared_ptr<const TabStops> stops;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    TabStops positions;
    for (const QTextOption::Tab& tab : block.blockFormat().tabPositions())
      positions.push_back(int(std::lround(tab.position / kPixelsPerTabUnit)));
    if (!stops || *stops != positions) stops = std::make_shared<const TabStops>(positions);
    Paragraph paragraph;
    paragraph.tabStops = stops;
    paragraph.format = formatOf(block.charFormat());
    paragraph.keepWithNext = block.blockFormat().boolProperty(kKeepWithNext);
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
  // Laid out on pages of the print area less the footer line, so that the
  // text document adds no margins of its own to the one-inch margins.
  const std::unique_ptr<QTextDocument> pages(document.clone());
  const QRectF area = layout.paintRect(QPageLayout::Inch);
  const QSizeF page(area.width() * 96, area.height() * 96 - kFooterHeight);
  pages->setDocumentMargin(0);
  pages->setPageSize(page);
  keepChainsTogether(*pages, page.height());

  const QString footer = document.property(kFooterProperty).toString();
  QPainter painter(&device);
  // From the document's 96 pixels to the inch to the device's.
  const qreal scaleX = device.logicalDpiX() / 96.0;
  const qreal scaleY = device.logicalDpiY() / 96.0;
  painter.setFont(charFormatOf(CharFormat{kVerdana, 8, false}).font());
  const int count = pages->pageCount();
  for (int index = 0; index < count; ++index) {
    if (index > 0) device.newPage();
    painter.save();
    painter.scale(scaleX, scaleY);
    const QRectF clip(0, index * page.height(), page.width(), page.height());
    painter.translate(0, -clip.top());
    painter.setClipRect(clip);
    // The layout draws every block that touches its clip: half a pixel in
    // from the page's edges, a block that starts or ends on the edge is drawn
    // on its own page only (the painter would hide it, but its text would
    // still be in a PDF).
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip.adjusted(0, 0.5, 0, -0.5);
    pages->documentLayout()->draw(&painter, context);
    painter.restore();
    if (!footer.isEmpty()) {
      painter.drawText(
          QRectF(0, page.height() * scaleY, page.width() * scaleX, kFooterHeight * scaleY),
          Qt::AlignHCenter | Qt::AlignBottom, footer.arg(index + 1).arg(count));
    }
  }
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
