#include "commands/report_commands.h"

#include <QDir>
#include <QFileInfo>

#include "commands/datasets.h"
#include "commands/refusal.h"
#include "prices/price_update.h"
#include "model/safe_write.h"
#include "reports/actions_report.h"
#include "reports/portfolio_report.h"

namespace pelmar {
namespace {

// A folder beside the portfolio folder (its last path part replaced).
QString besidePortfolioFolder(const Session& session, const QString& name) {
  // At the root the folder has no last part to replace: it goes inside.
  QDir folder(session.settings().portfolioPath);
  folder.cdUp();
  return folder.filePath(name);
}

}  // namespace

ReportContext ReportContextOf(Session& session) {
  ReportContext context;
  context.language = session.language();
  context.dates = dateFormatFromSetting(session.settings().dateFormat);
  context.title = session.settings().reportTitle;
  context.portfolioName = QFileInfo(session.settings().fileName).completeBaseName();
  context.today = session.clock().today();
  context.currentDollar = session.portfolio().DollarKoers();
  context.currencyIndexPrice =
      session.prices().GetFilePrice(session.settings().dollarIndexName, context.today);
  return context;
}

ReportDocument OverzichtPortefeuilleClick(Session& session) {
  CalcCurrentDataSet(session);
  Portfolio& p = session.portfolio();
  ReportContext context = ReportContextOf(session);
  for (int i = p.FirstKoersIndex(); i < p.FirstKoersIndex() + p.fundCount(p.FirstKoersIndex()); ++i)
    if (const std::optional<PriceAge> age = StalePrice(p, session.prices(), p.FirstRekIndex(), i))
      context.earlierPriceDays.insert(i, age->day);
  ReportDocument document = PortfolioReport(p, p.FirstRekIndex(), context);
  AlgemeenRec& alg = p.alg();
  const Real48 rate = AccountDollarRate(alg, context);
  if (rate.value() != alg.Dollar.value()) {
    alg.Dollar = rate;
    p.markChanged();
  }
  return document;
}

ReportDocument OverzichtActiesClick(Session& session) {
  return ActionsReport(session.portfolio(), ReportContextOf(session));
}

QString ReportsFolder(const Session& session) {
  return besidePortfolioFolder(session, QStringLiteral("Reports"));
}

QString NextReportFileName(const Session& session, ReportKind kind) {
  const QDir folder(ReportsFolder(session));
  const QString stem =
      QFileInfo(session.settings().fileName).completeBaseName() + QChar('_') +
      formatDate(session.clock().today(), dateFormatFromSetting(session.settings().dateFormat)) +
      (kind == ReportKind::Portfolio ? QStringLiteral("_R_") : QStringLiteral("_A_"));
  for (int number = 1;; ++number) {
    const QString counter = number < 100 ? QString::number(number).rightJustified(3, QChar('0'))
                                         : QString::number(number);
    const QString path = folder.filePath(stem + counter + QStringLiteral(".rtf"));
    if (!QFileInfo::exists(path)) return path;
  }
}

Outcome SaveReport(Session& session, Prompter& prompter, ReportKind kind, const QByteArray& rtf,
                   QString* savedAs) {
  const QString path = NextReportFileName(session, kind);
  const Outcome written = WriteReportFile(path, rtf);
  if (!written) {
    Tell(session, prompter, written);
    return written;
  }
  if (savedAs) *savedAs = path;
  prompter.timedMessage(session.text(TextId::ReportSavedAs), QDir::toNativeSeparators(path), 5000);
  return Outcome::done();
}

QString ReportTempFile(const Session& session, ReportKind kind) {
  const QString folder = kind == ReportKind::Portfolio
                             ? besidePortfolioFolder(session, QStringLiteral("Temp"))
                             : QDir(session.dataDirectory()).filePath(QStringLiteral("Temp"));
  return QDir(folder).filePath(QStringLiteral("Tmp.rtf"));
}

Outcome WriteReportFile(const QString& path, const QByteArray& bytes) {
  safe_write::Options options;
  options.makeFolder = true;
  if (Outcome written = safe_write::WriteFile(path, bytes, options); !written) {
    return Outcome::failed(
        Reason{TextId::ReportNotSaved, {QDir::toNativeSeparators(path)}, path}.because(
            *written.reason()));
  }
  return Outcome::done();
}

}  // namespace pelmar
