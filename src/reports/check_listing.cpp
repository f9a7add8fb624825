#include "reports/check_listing.h"

#include "model/record_fields.h"

namespace pelmar {
namespace {

constexpr int kListedRecords = 10;

QString heading(const Record& record) {
  switch (recordId(record)) {
    case IdentRec::Id:
      return QStringLiteral("IdentRec:");
    case AlgemeenRec::Id:
      return QStringLiteral("AlgemeenRec, DataSet ") +
             QString::number(std::get<AlgemeenRec>(record).NrOfSet) + QChar(':');
    case RekeningRec::Id:
      return QStringLiteral("pRekRec:");
  }
  return QStringLiteral("pKoersRec:");
}

}  // namespace

// A block per record: its heading, then a line per field: a tab, the label
// and a colon, one or two tabs (so that every value starts at the same tab
// stop: labels of fewer than seven characters get two), and the value.
QString CheckListing(const Portfolio& portfolio, const Language& language, DateFormat dates) {
  QString out;
  const int count = std::min(portfolio.size(), kListedRecords);
  for (int i = 0; i < count; ++i) {
    const Record& record = portfolio.records()[i];
    out += heading(record) + QChar('\n');
    for (const ListedField& field : ListedFields(record, language, dates))
      out += QChar('\t') + field.label + QChar(':') +
             (field.label.size() + 1 < 8 ? QStringLiteral("\t\t") : QStringLiteral("\t")) +
             field.value + QChar('\n');
  }
  return out;
}

}  // namespace pelmar
