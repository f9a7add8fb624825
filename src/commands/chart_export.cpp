#include "commands/chart_export.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "commands/refusal.h"
#include "model/dates.h"
#include "model/safe_write.h"

namespace pelmar {

namespace {

// Characters no file name may hold on either platform.
QString safeFileName(QString name) {
  static const QString kForbidden = QStringLiteral("/\\:*?\"<>|");
  for (QChar& c : name)
    if (kForbidden.contains(c) || c.unicode() < 32) c = u'_';
  return name.trimmed();
}

TextId messageOf(ChartKind kind) {
  switch (kind) {
    case ChartKind::FundPrice:
      return TextId::ChartExportedPrices;
    case ChartKind::FundValue:
      return TextId::ChartExportedValues;
    case ChartKind::FundYield:
      return TextId::ChartExportedFundYields;
    case ChartKind::PortfolioValue:
      return TextId::ChartExportedPortfolioValues;
    case ChartKind::PortfolioYield:
      return TextId::ChartExportedPortfolioYields;
    case ChartKind::FundTwr:
      return TextId::ChartExportedFundTwr;
    case ChartKind::PortfolioTwr:
      return TextId::ChartExportedPortfolioTwr;
  }
  return TextId::ChartExportedValues;
}

TextId prefixOf(ChartKind kind) {
  switch (kind) {
    case ChartKind::FundPrice:
      return TextId::ChartPrefixPrices;
    case ChartKind::PortfolioYield:
      return TextId::ChartPrefixYields;
    case ChartKind::FundTwr:
    case ChartKind::PortfolioTwr:
      return TextId::ChartPrefixTwr;
    default:
      return TextId::ChartPrefixValues;
  }
}

}  // namespace

QString DesktopFolder() {
  QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  if (desktop.isEmpty() || !QFileInfo(desktop).isDir()) desktop = QDir::homePath();
  if (!desktop.endsWith(u'/')) desktop += u'/';
  return desktop;
}

QString ChartExportFileText(const Session& session, const QString& path) {
  const QFileInfo file(path);
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  // "On the desktop" only where the file really is: without a desktop
  // folder the export goes to the home folder, which is then named.
  if (!desktop.isEmpty() && QFileInfo(desktop).isDir() &&
      QFileInfo(desktop).canonicalFilePath() == file.absoluteDir().canonicalPath())
    return session.text(TextId::ChartExportFile).arg(file.fileName());
  return session.text(TextId::ChartExportFileIn)
      .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()));
}

ExportLineFormat ExportLineFormatFor(const std::optional<QString>& versionText) {
  if (!versionText) return ExportLineFormat::Modern;
  bool ok = false;
  const int major = versionText->section(u'.', -1).trimmed().toInt(&ok);
  return ok && major >= 10 ? ExportLineFormat::Modern : ExportLineFormat::Quoted;
}

QByteArray ChartCsv(const ChartSeries& series, const Session& session, ExportLineFormat format) {
  const Language& language = session.language();
  const DateFormat dates = dateFormatFromSetting(session.settings().dateFormat);
  // The list separator goes with the decimal separator, as spreadsheets read it.
  const QString separator =
      language.decimalSeparator() == u',' ? QStringLiteral("; ") : QStringLiteral(", ");
  QByteArray bytes;
  for (const ChartPoint& point : series) {
    QString value = QString::number(point.value, 'f', 4);
    value.replace(u'.', language.decimalSeparator());
    const QString date = formatDate(serialToDate(double(point.day)), dates);
    const QString line = format == ExportLineFormat::Quoted
                             ? date + QStringLiteral(",\" ") + value + u'"'
                             : date + separator + value;
    bytes += line.toLatin1() + "\r\n";
  }
  return bytes;
}

Outcome WriteChartFile(const QString& path, const QByteArray& bytes) {
  if (Outcome written = safe_write::WriteFile(path, bytes); !written) {
    return Outcome::failed(
        Reason{TextId::ChartExportFailed, {QDir::toNativeSeparators(path)}, path}.because(
            *written.reason()));
  }
  return Outcome::done();
}

Outcome WriteChartPng(const QString& path, const QByteArray& png) {
  if (png.isEmpty())
    return Outcome::failed(
        Reason{TextId::ChartExportFailed, {QDir::toNativeSeparators(path)}, path});
  return WriteChartFile(path, png);
}

Outcome SavePngClick(Session& session, Prompter& prompter, const ChartState& state,
                     const QString& folder, const std::function<QByteArray()>& render) {
  if (state.series.empty()) return Refuse(session, prompter, TextId::ChartExportNoSeries);
  const QString proposal = QDir(folder).filePath(ChartExportName(session, state) + ".png");
  std::optional<QString> path = prompter.saveFileName(session.text(TextId::ChartSavePng), proposal,
                                                      session.text(TextId::ChartPngFilter));
  if (!path) return Outcome::stopped();
  if (!path->endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) *path += QStringLiteral(".png");
  const Outcome written = WriteChartPng(*path, render());
  Tell(session, prompter, written);
  return written;
}

QString ChartExportBase(const Session& session, ChartKind kind, const QString& name) {
  const DateFormat dates = dateFormatFromSetting(session.settings().dateFormat);
  return session.text(prefixOf(kind)) + safeFileName(name) + u'_' +
         formatDate(session.clock().today(), dates);
}

QString FreeExportPath(const QString& folder, const QString& base) {
  for (int n = 1; n <= 999; ++n) {
    const QString path =
        QDir(folder).filePath(base + u'_' + QString::number(n).rightJustified(3, u'0') + ".csv");
    if (!QFileInfo::exists(path)) return path;
  }
  return {};
}

Outcome ExportBtnClick(Session& session, Prompter& prompter, ChartKind kind, const QString& name,
                       const ChartSeries& series, const QString& folder, ExportLineFormat format) {
  if (series.empty()) return Refuse(session, prompter, TextId::ChartExportNoSeries);
  const QString base = ChartExportBase(session, kind, name);
  const QString path = FreeExportPath(folder, base);
  if (path.isEmpty())
    return Refuse(session, prompter, TextId::ChartExportFailed,
                  {QDir::toNativeSeparators(QDir(folder).filePath(base + "_999.csv"))});
  const Outcome written = WriteChartFile(path, ChartCsv(series, session, format));
  if (!written.ok()) {
    Tell(session, prompter, written);
    return written;
  }
  prompter.timedMessage(session.text(messageOf(kind)).arg(name.trimmed()),
                        ChartExportFileText(session, path), 4000);
  return Outcome::done();
}

}  // namespace pelmar
