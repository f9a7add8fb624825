#include <QByteArray>

#include "model/portfolio_fields.h"
#include "model/portfolio_file.h"

namespace pelmar::portfolio_file {

using namespace detail;

namespace {

// Collects lines as ISO-8859-1 with CR LF and hands them to the device in
// large pieces. Characters outside ISO-8859-1 become "?".
class LineWriter {
 public:
  explicit LineWriter(QIODevice& out) : out_(out) {}

  void line(const QString& text) {
    buffer_ += text.toLatin1();
    buffer_ += "\r\n";
    if (buffer_.size() >= kChunk) flush();
  }
  void open(const QString& name) { line(QLatin1Char('<') + name + QLatin1Char('>')); }
  void close(const QString& name) { line(QLatin1String("</") + name + QLatin1Char('>')); }
  void field(const QString& name, const QString& value) {
    line(QLatin1Char('<') + name + QLatin1Char('>') + value + QLatin1String("</") + name +
         QLatin1Char('>'));
  }

  // False once the device has refused a write.
  bool flush() {
    if (!failed_ && !buffer_.isEmpty() && out_.write(buffer_) != buffer_.size()) failed_ = true;
    buffer_.clear();
    return !failed_;
  }

 private:
  static constexpr qsizetype kChunk = 256 * 1024;
  QIODevice& out_;
  QByteArray buffer_;
  bool failed_ = false;
};

template <typename R>
void writeBlock(LineWriter& out, const QString& blockName, const R& record,
                const Language& language) {
  out.open(blockName);
  for (const auto& field : fieldsOf<R>().fields()) {
    if (field.write) out.field(field.name, field.write(record, language));
  }
  out.close(blockName);
}

// Writes the records of kind R from index on, up to and including the first
// record (of any kind) with EndOfSetB; returns the index after it.
template <typename R>
int writeRun(LineWriter& out, const Portfolio& portfolio, int index, const QString& blockName,
             const Language& language) {
  while (index < portfolio.size()) {
    const Record& record = portfolio.records()[index++];
    if (const R* r = std::get_if<R>(&record)) writeBlock(out, blockName, *r, language);
    if (recordEndOfSet(record)) break;
  }
  return index;
}

}  // namespace

int write(QIODevice& out, const Portfolio& portfolio, int writeLimit, const Language& language) {
  LineWriter lines(out);
  lines.line(kHeader);
  lines.open(kRootName);
  if (portfolio.idAt(0) == IdentRec::Id) {
    // The version and copyright of the writing program and the working
    // copies of the dollar flags, not the record's own.
    IdentRec ident = portfolio.identAt(0);
    ident.EndOfSetB = false;
    ident.VersionI = language.text(TextId::VersionText);
    ident.CopyrightI = language.text(TextId::CopyrightText);
    ident.PortInDollarB = portfolio.bPortInDollar();
    ident.RapInDollarB = portfolio.bRapInDollar();
    writeBlock(lines, QStringLiteral("IdentRec"), ident, language);
  }

  int dataSets = 0;
  int index = 1;
  while (index < portfolio.size()) {
    ++dataSets;
    QString dataSetName;
    if (portfolio.idAt(index) == AlgemeenRec::Id) {
      const AlgemeenRec& alg = portfolio.algAt(index++);
      dataSetName = QStringLiteral("DataSet_") + QString::number(alg.NrOfSet);
      lines.open(dataSetName);
      writeBlock(lines, QStringLiteral("AlgemeenRec"), alg, language);
    }
    index = writeRun<RekeningRec>(lines, portfolio, index, QStringLiteral("RekeningRec"), language);
    index = writeRun<KoersRec>(lines, portfolio, index, QStringLiteral("KoersRec"), language);
    if (!dataSetName.isEmpty()) lines.close(dataSetName);
    // index - 1 is the last record written.
    if (index - 1 >= writeLimit - 1) break;
  }
  lines.close(kRootName);
  return lines.flush() ? dataSets : -1;
}

}  // namespace pelmar::portfolio_file
