#include <string>

#include "model/portfolio_fields.h"
#include "model/portfolio_file.h"

namespace pelmar::portfolio_file {

using namespace detail;

namespace {

// Collects the file's bytes (ISO-8859-1, CR LF) and hands them to the
// device in large pieces.
class ByteWriter {
 public:
  ByteWriter(QIODevice& out, const Language& language)
      : out_(out), point_(language.decimalSeparator().toLatin1()) {
    buffer_.reserve(kChunk + 64 * 1024);
  }

  void line(Bytes text) {
    buffer_ += text;
    buffer_ += "\r\n";
  }
  void open(Bytes name) {
    buffer_ += '<';
    buffer_ += name;
    buffer_ += ">\r\n";
  }
  void close(Bytes name) {
    buffer_ += "</";
    buffer_ += name;
    buffer_ += ">\r\n";
  }

  template <typename R>
  void block(Bytes blockName, const R& record) {
    open(blockName);
    for (const auto& field : fieldsOf<R>().fields()) {
      if (!field.write || (field.written && !field.written(record))) continue;
      buffer_ += field.open;
      field.write(record, point_, buffer_);
      buffer_ += field.close;
    }
    close(blockName);
    if (static_cast<qsizetype>(buffer_.size()) >= kChunk) flush();
  }

  // False once the device has refused a write.
  bool flush() {
    const auto size = static_cast<qint64>(buffer_.size());
    if (!failed_ && size > 0 && out_.write(buffer_.data(), size) != size) failed_ = true;
    buffer_.clear();
    return !failed_;
  }

 private:
  static constexpr qsizetype kChunk = 1024 * 1024;
  QIODevice& out_;
  char point_;
  std::string buffer_;
  bool failed_ = false;
};

// Writes the records of kind R from index on, up to and including the first
// record (of any kind) with EndOfSetB; returns the index after it.
template <typename R>
int writeRun(ByteWriter& out, const Portfolio& portfolio, int index, Bytes blockName) {
  while (index < portfolio.size()) {
    const Record& record = portfolio.records()[index++];
    if (const R* r = std::get_if<R>(&record)) out.block(blockName, *r);
    if (recordEndOfSet(record)) break;
  }
  return index;
}

}  // namespace

int write(QIODevice& out, const Portfolio& portfolio, int writeLimit, const Language& language) {
  ByteWriter lines(out, language);
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
    lines.block("IdentRec", ident);
  }

  int dataSets = 0;
  int index = 1;
  while (index < portfolio.size()) {
    ++dataSets;
    std::string dataSetName;
    if (portfolio.idAt(index) == AlgemeenRec::Id) {
      const AlgemeenRec& alg = portfolio.algAt(index++);
      dataSetName = "DataSet_" + std::to_string(alg.NrOfSet);
      lines.open(dataSetName);
      lines.block("AlgemeenRec", alg);
    }
    index = writeRun<RekeningRec>(lines, portfolio, index, "RekeningRec");
    index = writeRun<KoersRec>(lines, portfolio, index, "KoersRec");
    if (!dataSetName.empty()) lines.close(dataSetName);
    // index - 1 is the last record written.
    if (index - 1 >= writeLimit - 1) break;
  }
  lines.close(kRootName);
  return lines.flush() ? dataSets : -1;
}

}  // namespace pelmar::portfolio_file
