#pragma once

#include <QPageLayout>
#include <QString>
#include <QTextDocument>

#include "lang/outcome.h"
#include "reports/report_document.h"

namespace pelmar {

// Report documents drawn with Qt Gui: into the QTextDocument of a report
// window's editor, back out of it with what the user typed, and onto paper
// or into a PDF. Needs a QGuiApplication.

// Replaces the text document's content by the report: one block per
// paragraph with its tab stops and whether it is kept with the next, one
// fragment per run with its font; the footer goes with the document.
void RenderReport(const ReportDocument& report, QTextDocument& document);
// The text document as a report document, remarks typed into it included,
// so that saving and word processors get what the editor shows.
ReportDocument ReportFromTextDocument(const QTextDocument& document);

// How a report is printed: A4 landscape with one-inch margins.
QPageLayout ReportPageLayout();
// Prints the document page by page on the device, in the report's layout:
// kept paragraphs (a heading and its table) on one page where they fit, and
// the report's footer with the page's number under every page.
void PrintReport(const QTextDocument& document, QPagedPaintDevice& device);
// Writes the document as PDF in the report's layout; the file is replaced
// only by a complete one. Fails naming the file.
Outcome WriteReportPdf(const QTextDocument& document, const QString& path);

}  // namespace pelmar
