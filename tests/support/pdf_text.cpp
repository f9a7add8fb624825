#include "support/pdf_text.h"

#include <QProcess>
#include <QStandardPaths>

namespace pelmar::test {

bool HavePdfToText() {
  return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QStringList PdfPages(const QString& pdf) {
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  if (!text.waitForFinished(60000) || text.exitCode() != 0) return {};
  QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(QChar('\f'));
  // pdftotext ends the last page with a form feed too.
  if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
  return pages;
}

}  // namespace pelmar::test
