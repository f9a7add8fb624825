#include "cli/report_output.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextDocument>

#include "cli/exit_codes.h"
#include "commands/report_commands.h"
#include "rendering/report_rendering.h"
#include "reports/rtf_writer.h"

namespace pelmar {
namespace {

QString extensionOf(const QString& outFile) {
  return QFileInfo(outFile).suffix().toLower();
}

}  // namespace

bool CheckReportArguments(const QString& kind, const QString& outFile, QTextStream& err) {
  if (kind != QLatin1String("portfolio") && kind != QLatin1String("actions")) {
    err << "Unknown report \"" << kind << "\": use portfolio or actions.\n";
    return false;
  }
  if (outFile.isEmpty()) {
    err << "The command report needs --out OUT.rtf, OUT.pdf or OUT.txt.\n";
    return false;
  }
  if (!QStringList({"rtf", "pdf", "txt"}).contains(extensionOf(outFile))) {
    err << "Cannot write \"" << outFile << "\": the extension must be .rtf, .pdf or .txt.\n";
    return false;
  }
  return true;
}

int WriteReportCommand(Session& session, const QString& kind, const QString& outFile,
                       QTextStream& err) {
  const ReportDocument report = kind == QLatin1String("portfolio")
                                    ? OverzichtPortefeuilleClick(session)
                                    : OverzichtActiesClick(session);
  const QString extension = extensionOf(outFile);
  Outcome written = Outcome::done();
  if (extension == QLatin1String("rtf")) {
    written = WriteReportFile(outFile, WriteRtf(report));
  } else if (extension == QLatin1String("txt")) {
    written = WriteReportFile(outFile, report.plainText().toUtf8());
  } else if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    err << "PDF output needs the graphical libraries, which this run did not start.\n";
    return kNotSaved;
  } else {
    QTextDocument document;
    RenderReport(report, document);
    written = WriteReportPdf(document, outFile);
  }
  if (!written) {
    err << written.reason()->text(session.language()) << '\n';
    return kNotSaved;
  }
  return kDone;
}

}  // namespace pelmar
