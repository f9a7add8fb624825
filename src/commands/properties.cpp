#include "commands/properties.h"

#include <QFileInfo>
#include <algorithm>

#include "commands/year_closing.h"
#include "model/conversions.h"

namespace pelmar {

QString ShortByteCount(qint64 bytes, QChar decimalSeparator) {
  const QString digits = QString::number(std::max<qint64>(bytes, 0));
  const int length = static_cast<int>(digits.size());
  if (length <= 3) return digits + QChar(' ');
  static const QString kUnits = QStringLiteral("kMGT");
  // Beyond tera (16 digits and more) the count stays in tera rather than
  // running out of units.
  const int k = std::min((length - 1) / 3, static_cast<int>(kUnits.size()));
  const int head = length - 3 * k;
  return digits.left(head) + decimalSeparator + digits.mid(head, 3) + QChar(' ') + kUnits[k - 1];
}

QString PropertiesText(const Session& session, const QString& fileName, qint64 fileSize) {
  const Portfolio& p = session.portfolio();
  if (p.isEmpty()) return {};
  const IdentRec& ident = p.identAt(0);
  const QString crlf = QStringLiteral("\r\n");
  const QString indent = QStringLiteral("   ");
  const auto text = [&](TextId id) { return session.text(id); };
  const auto currency = [&](bool inDollar) {
    return text(inDollar ? TextId::CurrencyDollar : TextId::CurrencyEuro) + QChar('.');
  };
  int dataSets = 0;
  for (int i = p.size() - 1; i > 0 && dataSets == 0; --i) {
    if (p.idAt(i) == AlgemeenRec::Id) dataSets = p.algAt(i).NrOfSet;
  }
  QStringList lines;
  lines << text(TextId::PropertiesFileName) + QFileInfo(fileName).fileName() + QChar('.');
  lines << indent + text(TextId::PropertiesFileSize) +
               ShortByteCount(fileSize, session.language().decimalSeparator()) +
               text(TextId::PropertiesBytes);
  lines << indent + text(TextId::PropertiesDataSets) + QString::number(dataSets) + QChar('.');
  lines << indent + text(TextId::PropertiesEditedWith) + TrimRightBlanks(ident.Name) + QChar(' ') +
               TrimRightBlanks(ident.VersionI) + QChar('.');
  lines << indent +
               text(YearClosed(p) ? TextId::PropertiesYearClosed
                                  : TextId::PropertiesYearNotClosed) +
               QChar('.') + crlf;
  lines << indent + TrimRightBlanks(ident.Name) + QChar(' ') + TrimRightBlanks(ident.CopyrightI) +
               QChar('.');
  lines << indent + text(TextId::PropertiesAuthors) + TrimRightBlanks(ident.Author) + QChar('.') +
               crlf;
  lines << indent + text(TextId::PropertiesPortCurrency) + currency(p.bPortInDollar());
  lines << indent + text(TextId::PropertiesReportCurrency) + currency(p.bRapInDollar());
  return lines.join(crlf);
}

}  // namespace pelmar
