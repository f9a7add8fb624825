#pragma once

#include <QString>
#include <QStringList>

namespace pelmar::test {

// Whether pdftotext (poppler-utils) is installed.
bool HavePdfToText();
// The text of each page of a PDF as pdftotext reads it (columns laid out
// with blanks); empty when it cannot be read.
QStringList PdfPages(const QString& pdf);

}  // namespace pelmar::test
