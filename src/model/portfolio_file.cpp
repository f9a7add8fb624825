#include "model/portfolio_file.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "model/conversions.h"
#include "model/portfolio_fields.h"

namespace pelmar::portfolio_file {

using namespace detail;

namespace {

// The names the writer gives the record blocks. Block names are free, but a
// block that names another record kind than its place holds is damage.
constexpr Bytes kIdentNames[] = {"IdentRec", "Ident"};
constexpr Bytes kAlgName = "AlgemeenRec";
constexpr Bytes kRekName = "RekeningRec";
constexpr Bytes kKoersName = "KoersRec";
constexpr Bytes kDataSetWord = "DataSet";

bool isRecordName(Bytes name) {
  return name == kIdentNames[0] || name == kIdentNames[1] || name == kAlgName || name == kRekName ||
         name == kKoersName;
}

QString latin1(Bytes bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// One line as the format sees it: the element name between the first "<"
// and the next ">", and for a field line the value up to the next "<" and
// what follows it.
struct Line {
  enum class Kind { Blank, Open, Close, Field, Other };
  Kind kind = Kind::Blank;
  Bytes text;
  Bytes name;
  Bytes value;
  Bytes rest;
};

Line shapeOf(Bytes text) {
  Line line;
  line.text = text;
  const std::size_t first = text.find_first_not_of(' ');
  if (first == Bytes::npos) return line;
  line.kind = Line::Kind::Other;
  const std::size_t open = text.find('<', first);
  if (open == Bytes::npos) return line;
  const std::size_t close = text.find('>', open + 1);
  if (close == Bytes::npos || close == open + 1) return line;
  line.name = text.substr(open + 1, close - open - 1);
  const Bytes after = text.substr(close + 1);
  if (line.name.front() == '/') {
    line.kind = Line::Kind::Close;
  } else if (after.find_first_not_of(' ') == Bytes::npos) {
    // Declarations, comments and empty elements open no block.
    const char c = line.name.front();
    if (c != '?' && c != '!' && line.name.back() != '/') line.kind = Line::Kind::Open;
  } else {
    line.kind = Line::Kind::Field;
    const std::size_t end = after.find('<');
    line.value = after.substr(0, end);
    line.rest = end == Bytes::npos ? Bytes() : after.substr(end);
  }
  return line;
}

// What a closing line closes; a line may close several at once.
constexpr unsigned kBlock = 1, kDataSet = 2, kRoot = 4;

class Reader {
 public:
  Reader(QIODevice& in, Portfolio& into, const ReadOptions& options)
      : in_(in), into_(into), options_(options), debugging_(bool(options.debugBlock)) {}

  ReadResult run() {
    readFile();
    result_.lineNumber = lineNumber_;
    return result_;
  }

 private:
  bool readFile() {
    // The declaration (when there is one) and the root line. Blank lines
    // at the top are passed over too, so that an indented file reads.
    if (!nextNonBlank()) return fail(ReadError::NoRoot, TextId::ReadExpected, kRootName);
    if (line_.text.substr(line_.text.find_first_not_of(' ')).starts_with("<?") && !nextNonBlank())
      return fail(ReadError::NoRoot, TextId::ReadExpected, kRootName);
    if (line_.kind != Line::Kind::Open)
      return fail(ReadError::Unreadable, TextId::ReadExpected, kRootName);
    rootName_ = line_.name;
    rootClose_ = closingTag(rootName_);

    // The identification block, after at most 101 blank lines.
    int lines = 0;
    do {
      if (!nextLine()) return fail(ReadError::NoFirstBlock, TextId::ReadExpected, kIdentNames[0]);
    } while (line_.kind == Line::Kind::Blank && ++lines < 101);
    if (line_.kind != Line::Kind::Open || std::find(std::begin(kIdentNames), std::end(kIdentNames),
                                                    line_.name) == std::end(kIdentNames))
      return fail(ReadError::NoIdentBlock, TextId::ReadExpected, kIdentNames[0]);
    IdentRec ident;
    unsigned closes = 0;
    if (!readBlock(ident, closes)) return false;
    ident.EndOfSetB = false;
    if (!append(ident)) return false;
    into_.setCurrencies(ident.PortInDollarB, ident.RapInDollarB);
    if (closes != kBlock) return fail(ReadError::Unreadable, TextId::ReadExpected, kDataSetWord);

    int nrOfSet = 0;
    while (!rootClosed_) {
      if (!nextNonBlank()) return endsEarly(rootName_);
      if (line_.kind == Line::Kind::Close && contains(rootClose_)) break;
      if (!readDataSet(++nrOfSet)) return false;
    }
    if (nrOfSet == 0) return fail(ReadError::Unreadable, TextId::ReadExpected, kDataSetWord);
    // Nothing but blank lines may follow: what does would be lost.
    while (nextLine()) {
      if (line_.kind != Line::Kind::Blank)
        return fail(ReadError::Unreadable, TextId::ReadAfterRoot, rootName_);
    }
    return !failed_;
  }

  // One dataset from its opening line (the current line) to its closing line.
  bool readDataSet(int nrOfSet) {
    if (line_.kind != Line::Kind::Open || isRecordName(line_.name))
      return fail(ReadError::Unreadable, TextId::ReadExpected, kDataSetWord);
    dataSetName_ = line_.name;
    dataSetClose_ = closingTag(dataSetName_);
    if (options_.dataSetStarted) options_.dataSetStarted(latin1(dataSetName_));

    AlgemeenRec alg;
    unsigned closes = 0;
    if (!openBlock(kAlgName) || !readBlock(alg, closes)) return false;
    if (closes != kBlock) return fail(ReadError::Unreadable, TextId::ReadExpected, kRekName);
    if (alg.Datum < kFirstDatum) return fail(ReadError::Unreadable, TextId::ReadExpected, "Datum");
    alg.EndOfSetB = false;
    alg.NrOfSet = static_cast<quint16>(nrOfSet);
    alg.Datum = wholeDay(alg.Datum);
    alg.CumDatum = wholeDay(alg.CumDatum);
    if (alg.Dollar < kMinDollar) alg.Dollar = kDefaultDollar;
    if (!append(alg)) return false;

    for (int account = 1; account <= Portfolio::kAccountsPerDataSet; ++account) {
      RekeningRec rek;
      if (!openBlock(kRekName) || !readBlock(rek, closes)) return false;
      if (closes != kBlock) {
        return fail(ReadError::Unreadable, TextId::ReadExpected,
                    account < Portfolio::kAccountsPerDataSet ? kRekName : kKoersName);
      }
      const QString bareName = RemoveBlanks(rek.RekNaam);
      if (bareName == QLatin1String("Naam") || bareName == QLatin1String("Name"))
        rek.RekNaam = options_.accountNamePrefix + QString::number(account);
      rek.EndOfSetB = account == Portfolio::kAccountsPerDataSet;
      if (!append(rek)) return false;
    }
    return readFunds(alg.Datum);
  }

  // The funds of a dataset, up to its closing line (or the root's).
  bool readFunds(DateTime datum) {
    int funds = 0;
    int fieldLines = 0;
    unsigned closes = 0;
    while ((closes & (kDataSet | kRoot)) == 0) {
      if (!nextNonBlank()) return endsEarly(dataSetName_);
      if (line_.kind == Line::Kind::Close) {
        closes = closesOf(line_.text);
        if (closes & (kDataSet | kRoot)) break;
      }
      if (line_.kind != Line::Kind::Open || (line_.name != kKoersName && isRecordName(line_.name)))
        return fail(ReadError::Unreadable, TextId::ReadExpected, kKoersName);
      KoersRec fund;
      if (!readBlock(fund, closes, &fieldLines)) return false;
      // The placeholder row never has a price of its own to look up.
      if (fund.Koers < 0.0001 && options_.priceFor && !fund.isPlaceholder()) {
        const double price = options_.priceFor(fund.Ticker, datum);
        if (price > 0.0001) fund.Koers = price;
      }
      if (fund.Country.str() != QLatin1String("nl") && fund.Country.str() != QLatin1String("us"))
        fund.Country = options_.defaultCountry;
      fund.EndOfSetB = false;
      if (!append(fund)) return false;
      ++funds;
    }
    if (closes & kRoot) rootClosed_ = true;
    if (funds == 0) return fail(ReadError::Unreadable, TextId::ReadExpected, kKoersName);
    // The last row of a dataset is the placeholder row: without it the last
    // real fund would be taken for one, so it is added rather than the data
    // refused.
    if (!into_.koersAt(into_.size() - 1).isPlaceholder()) {
      KoersRec placeholder = into_.initialRecords().DefaultKoersRec;
      placeholder.Ticker = into_.initialRecords().placeholderTicker;
      if (!append(placeholder)) return false;
      ++result_.placeholdersAdded;
    }
    into_.koersAt(into_.size() - 1).EndOfSetB = true;
    return true;
  }

  // The next non-blank line must open a block of this kind (or of a name
  // that is no record kind).
  bool openBlock(Bytes kind) {
    if (!nextNonBlank()) return endsEarly(dataSetName_);
    if (line_.kind != Line::Kind::Open || (line_.name != kind && isRecordName(line_.name)))
      return fail(ReadError::Unreadable, TextId::ReadExpected, kind);
    return true;
  }

  // The field lines of a block whose opening line is the current line, up
  // to a line that closes it, its dataset or the root (`closes` says which).
  // fieldLines, when given, counts the field lines against
  // kMaxFundFieldLines.
  template <typename R>
  bool readBlock(R& record, unsigned& closes, int* fieldLines = nullptr) {
    const FieldTable<R>& table = fieldsOf<R>();
    blockName_.assign(line_.name);
    blockClose_ = closingTag(blockName_);
    QStringList debugLines;
    if (debugging_) debugLines << latin1(line_.text);
    int expected = 0;
    for (;;) {
      if (!nextLine()) return endsEarly(blockName_);
      if (line_.kind == Line::Kind::Blank) continue;
      if (debugging_) debugLines << latin1(line_.text);
      if (line_.kind == Line::Kind::Close) {
        closes = closesOf(line_.text);
        if (closes != 0) break;
        continue;
      }
      // A block inside a block: a closing line is missing, and reading on
      // would merge records.
      if (line_.kind == Line::Kind::Open)
        return fail(ReadError::Unreadable, TextId::ReadNotClosed, blockName_);
      if (fieldLines && ++*fieldLines > kMaxFundFieldLines)
        return fail(ReadError::Unreadable, TextId::ReadTooManyFundLines);
      if (line_.kind != Line::Kind::Field) continue;
      // A closing tag after a field's own would end the block without a
      // line of its own; the writer never makes such a line.
      if (!isOwnClose(line_) && closesOf(line_.rest) != 0)
        return fail(ReadError::Unreadable, TextId::ReadClosedOnField);
      const int index = table.find(line_.name, expected);
      if (index < 0) continue;
      expected = table.next(index);
      switch (table.fields()[index].read(record, line_.value)) {
        case FieldProblem::None:
          break;
        case FieldProblem::NoInteger:
          return fail(ReadError::Unreadable, TextId::ReadNoInteger, line_.name);
        case FieldProblem::NoNumber:
          return fail(ReadError::Unreadable, TextId::ReadNoNumber, line_.name);
        case FieldProblem::OutOfRange:
          return fail(ReadError::Unreadable, TextId::ReadOutOfRange, line_.name);
      }
    }
    if (debugging_ && !options_.debugBlock(debugLines)) debugging_ = false;
    return true;
  }

  // Whether the rest of a field line is just the field's closing tag.
  static bool isOwnClose(const Line& line) {
    const Bytes rest = line.rest;
    return rest.size() == line.name.size() + 3 && rest.starts_with("</") && rest.back() == '>' &&
           rest.substr(2, line.name.size()) == line.name;
  }

  static std::string closingTag(Bytes name) {
    std::string tag = "</";
    tag += name;
    tag += '>';
    return tag;
  }

  bool contains(const std::string& tag) const { return line_.text.find(tag) != Bytes::npos; }

  unsigned closesOf(Bytes text) const {
    const auto has = [text](const std::string& tag) {
      return !tag.empty() && text.find(tag) != Bytes::npos;
    };
    return (has(blockClose_) ? kBlock : 0) | (has(dataSetClose_) ? kDataSet : 0) |
           (has(rootClose_) ? kRoot : 0);
  }

  bool append(const Record& record) {
    switch (into_.appendRecord(record)) {
      case Portfolio::Refusal::None:
        return true;
      case Portfolio::Refusal::TooManyRecords:
        return fail(ReadError::Unreadable, TextId::ReadTooManyRecords);
      case Portfolio::Refusal::TooManyFunds:
        return fail(ReadError::Unreadable, TextId::ReadTooManyFunds);
    }
    return false;
  }

  // The next line, without its line end, shaped; false at the end of the
  // file or on a line too long to be a portfolio line.
  bool nextLine() {
    if (failed_ || (buffer_.empty() && !fill())) return false;
    for (;;) {
      const char* start = buffer_.data() + begin_;
      const auto* newline = static_cast<const char*>(
          std::memchr(start, '\n', static_cast<std::size_t>(end_ - begin_)));
      if (newline || atEnd_) {
        const qsizetype length = newline ? newline - start : end_ - begin_;
        if (!newline && length == 0) return false;
        begin_ += length + (newline ? 1 : 0);
        ++lineNumber_;
        Bytes text(start, static_cast<std::size_t>(length));
        while (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        line_ = shapeOf(text);
        return true;
      }
      if (end_ - begin_ > kMaxLineLength + 1) {
        ++lineNumber_;
        return fail(ReadError::Unreadable, TextId::ReadLineTooLong);
      }
      if (!fill()) return false;
    }
  }

  // Moves the unread part to the front and reads the next piece.
  bool fill() {
    constexpr qsizetype kPiece = 1 << 20;
    if (buffer_.empty()) buffer_.resize(kPiece + kMaxLineLength + 2);
    std::memmove(buffer_.data(), buffer_.data() + begin_, static_cast<std::size_t>(end_ - begin_));
    end_ -= begin_;
    begin_ = 0;
    const qint64 read = in_.read(buffer_.data() + end_, static_cast<qint64>(buffer_.size()) - end_);
    if (read < 0) {
      ++lineNumber_;
      return fail(ReadError::Unreadable, TextId::ReadFailed);
    }
    end_ += read;
    atEnd_ = read == 0;
    return true;
  }

  bool nextNonBlank() {
    do {
      if (!nextLine()) return false;
    } while (line_.kind == Line::Kind::Blank);
    return true;
  }

  // Records the first failure; always false.
  bool fail(ReadError error, TextId id, Bytes what = {}) {
    if (!failed_) {
      failed_ = true;
      result_.error = error;
      result_.reason = {id, {QString::number(lineNumber_), latin1(what)}, {}, lineNumber_};
    }
    return false;
  }
  // The file ended (or could not be read on) inside the element.
  bool endsEarly(Bytes element) {
    return fail(ReadError::Unreadable, TextId::ReadEndsEarly, element);
  }

  QIODevice& in_;
  Portfolio& into_;
  const ReadOptions& options_;
  bool debugging_;
  std::vector<char> buffer_;
  qsizetype begin_ = 0;
  qsizetype end_ = 0;
  bool atEnd_ = false;
  Line line_;
  int lineNumber_ = 0;
  // The names point into the buffer only while their line is current.
  std::string rootName_, rootClose_, dataSetName_, dataSetClose_, blockName_, blockClose_;
  bool rootClosed_ = false;
  bool failed_ = false;
  ReadResult result_;
};

}  // namespace

ReadResult read(QIODevice& in, Portfolio& into, const ReadOptions& options) {
  return Reader(in, into, options).run();
}

}  // namespace pelmar::portfolio_file
