#include "reports/report_context.h"

#include "model/conversions.h"

namespace pelmar::report_text {

QString Fixed(double value, int width, int decimals, const Language& language) {
  return FormatAmount(value, width, decimals, language).rightJustified(width);
}

QString Return(double value, const Language& language) {
  return value > 99999 ? QStringLiteral("  ******") : Fixed(value, 8, 2, language);
}

QString ShortDate(DateTime serial, DateFormat dates) {
  return formatDate(serialToDate(serial), dates);
}

QString TitleLine(const ReportContext& context, bool withDate) {
  const Language& l = context.language;
  QString text = l.text(TextId::ReportPelmar) + l.text(TextId::VersionText);
  if (!context.title.trimmed().isEmpty())
    text += l.text(TextId::ReportTitleSeparator) + context.title;
  if (withDate) text += l.text(TextId::ReportDatePrefix) + formatDate(context.today, context.dates);
  return text;
}

QString Footer(const ReportContext& context) {
  return context.language.text(TextId::ReportFooter).arg(formatDate(context.today, context.dates));
}

QString CurrencyLine(const ReportContext& context, bool inDollar) {
  return context.language.text(inDollar ? TextId::ReportAmountsInDollar
                                        : TextId::ReportAmountsInEuro);
}

void WriteRemarks(ReportWriter& writer, const QString& heading) {
  writer.setFormat(kVerdana, 16);
  writer.keepTogether();
  writer.line(heading);
  writer.setFormat(kVerdana, 12);
  writer.line(QStringLiteral(" "));
  writer.endKeep();
}

}  // namespace pelmar::report_text
