#include "model/portfolio_file.h"

#include <QHash>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "model/conversions.h"
#include "model/portfolio_fields.h"

namespace pelmar::portfolio_file {

using namespace detail;

namespace {

bool isBlank(QStringView line) {
  for (const QChar c : line) {
    if (c != QLatin1Char(' ')) return false;
  }
  return true;
}

// The text between the first "<" and the next ">"; empty when there is none.
QStringView elementNameView(QStringView line) {
  const qsizetype open = line.indexOf(QLatin1Char('<'));
  if (open < 0) return {};
  const qsizetype close = line.indexOf(QLatin1Char('>'), open + 1);
  if (close < 0) return {};
  return line.sliced(open + 1, close - open - 1);
}

QString elementName(const QString& line) {
  return elementNameView(line).toString();
}

// The text between the first ">" and the next "<" (or the line's end).
QString elementValue(const QString& line) {
  const qsizetype start = line.indexOf(QLatin1Char('>'));
  if (start < 0) return QString();
  const qsizetype end = line.indexOf(QLatin1Char('<'), start + 1);
  return line.mid(start + 1, end < 0 ? -1 : end - start - 1);
}

// A name that points into the current line, for a look-up without a copy.
QString rawName(QStringView name) {
  return QString::fromRawData(name.data(), name.size());
}

// A line that opens a block: an element name, and nothing but blanks after
// the first ">". Closing tags, declarations and empty elements open none.
bool opensBlock(QStringView line) {
  const QStringView name = elementNameView(line);
  if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('?')) ||
      name.startsWith(QLatin1Char('!')) || name.endsWith(QLatin1Char('/')))
    return false;
  return isBlank(line.sliced(line.indexOf(QLatin1Char('>')) + 1));
}

// The closing tag of an element, made once per block rather than per line.
QString closingTag(const QString& name) {
  return QLatin1String("</") + name + QLatin1Char('>');
}

bool closes(const QString& line, const QString& closingTag) {
  return line.contains(closingTag);
}

// Account values keep only the characters from space to "}".
QString accountValue(QString value) {
  for (QChar& c : value) {
    if (c.unicode() < 32 || c.unicode() > 125) c = QLatin1Char(' ');
  }
  return value;
}

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
  // How a block ended: at its own closing tag or at the root's.
  enum class BlockEnd { Failed, Own, Root };

  bool readFile() {
    // The declaration (when there is one) and the root line. Blank lines
    // at the top are passed over too, so that an indented file reads.
    if (!nextNonBlank()) return fail(ReadError::NoRoot, "no root line");
    // Indented files have their declaration indented too.
    if (TrimLeftBlanks(line_).startsWith(QLatin1String("<?")) && !nextNonBlank())
      return fail(ReadError::NoRoot, "no root line");
    if (!opensBlock(line_)) return fail(ReadError::Unreadable, "no root element");
    rootName_ = elementName(line_);
    rootClose_ = closingTag(rootName_);

    // The identification block, after at most 101 blank lines.
    int lines = 0;
    do {
      if (!nextLine()) return fail(ReadError::NoFirstBlock, "nothing after the root");
    } while (isBlank(line_) && ++lines < 101);
    if (!opensBlock(line_)) return fail(ReadError::NoIdentBlock, "no identification block");
    const QString identName = elementName(line_);
    IdentRec ident;
    const BlockEnd identEnd = readBlock(ident, identName, false);
    if (identEnd == BlockEnd::Failed) return false;
    if (identName != QLatin1String("IdentRec") && identName != QLatin1String("Ident"))
      return fail(ReadError::NoIdentBlock, "no identification block");
    ident.EndOfSetB = false;
    if (!append(ident)) return false;
    into_.setCurrencies(ident.PortInDollarB, ident.RapInDollarB);
    if (identEnd == BlockEnd::Root) return fail(ReadError::Unreadable, "no dataset");

    int nrOfSet = 0;
    if (!nextNonBlank()) return truncated();
    while (!closes(line_, rootClose_)) {
      if (!readDataSet(++nrOfSet)) return false;
      if (rootClosed_) break;
      if (!nextNonBlank()) return truncated();
    }
    if (nrOfSet == 0) return fail(ReadError::Unreadable, "no dataset");
    return true;
  }

  // One dataset from its opening line (the current line) to its closing line.
  bool readDataSet(int nrOfSet) {
    if (!opensBlock(line_)) return fail(ReadError::Unreadable, "text at the dataset level");
    const QString dataSetName = elementName(line_);
    const QString dataSetClose = closingTag(dataSetName);
    if (options_.dataSetStarted) options_.dataSetStarted(dataSetName);

    if (!nextNonBlank()) return truncated();
    if (!opensBlock(line_)) return fail(ReadError::Unreadable, "dataset without a general record");
    AlgemeenRec alg;
    BlockEnd end = readBlock(alg, elementName(line_), false);
    if (end == BlockEnd::Failed) return false;
    alg.EndOfSetB = false;
    alg.NrOfSet = static_cast<quint16>(nrOfSet);
    alg.Datum = wholeDay(alg.Datum);
    alg.CumDatum = wholeDay(alg.CumDatum);
    if (alg.Dollar < kMinDollar) alg.Dollar = kDefaultDollar;
    if (!append(alg)) return false;

    for (int account = 1; account <= Portfolio::kAccountsPerDataSet; ++account) {
      if (end == BlockEnd::Root || !nextNonBlank() || !opensBlock(line_))
        return fail(ReadError::Unreadable, "fewer than five accounts");
      RekeningRec rek;
      end = readBlock(rek, elementName(line_), true);
      if (end == BlockEnd::Failed) return false;
      const QString bareName = RemoveBlanks(rek.RekNaam);
      if (bareName == QLatin1String("Naam") || bareName == QLatin1String("Name"))
        rek.RekNaam = options_.accountNamePrefix + QString::number(account);
      rek.EndOfSetB = account == Portfolio::kAccountsPerDataSet;
      if (!append(rek)) return false;
    }
    if (end == BlockEnd::Root) return fail(ReadError::Unreadable, "dataset without funds");

    int funds = 0;
    int fieldLines = 0;
    for (;;) {
      if (!nextNonBlank()) return truncated();
      if (closes(line_, dataSetClose)) break;
      if (closes(line_, rootClose_)) {
        rootClosed_ = true;
        break;
      }
      if (!opensBlock(line_)) return fail(ReadError::Unreadable, "text between the funds");
      KoersRec fund;
      end = readBlock(fund, elementName(line_), false, &fieldLines);
      if (end == BlockEnd::Failed) return false;
      if (fund.Koers < 0.0001 && options_.priceFor) {
        const double price = options_.priceFor(fund.Ticker, alg.Datum);
        if (price > 0.0001) fund.Koers = price;
      }
      if (fund.Country.str() != QLatin1String("nl") && fund.Country.str() != QLatin1String("us"))
        fund.Country = options_.defaultCountry;
      fund.EndOfSetB = false;
      if (!append(fund)) return false;
      ++funds;
      if (end == BlockEnd::Root) {
        rootClosed_ = true;
        break;
      }
    }
    if (funds == 0) return fail(ReadError::Unreadable, "dataset without funds");
    into_.koersAt(into_.size() - 1).EndOfSetB = true;
    return true;
  }

  // The field lines of a block whose opening line is the current line, up
  // to its closing line or the root's. fieldLines, when given, counts the
  // field lines against kMaxFundFieldLines.
  template <typename R>
  BlockEnd readBlock(R& record, const QString& blockName, bool account, int* fieldLines = nullptr) {
    const QString blockClose = closingTag(blockName);
    QStringList debugLines;
    if (debugging_) debugLines << line_;
    BlockEnd end = BlockEnd::Failed;
    while (end == BlockEnd::Failed) {
      if (!nextLine()) {
        truncated();
        return BlockEnd::Failed;
      }
      if (isBlank(line_)) continue;
      if (debugging_) debugLines << line_;
      if (closes(line_, blockClose)) {
        end = BlockEnd::Own;
      } else if (closes(line_, rootClose_)) {
        end = BlockEnd::Root;
      } else if (opensBlock(line_)) {
        // A block inside a block: a closing line is missing, and reading on
        // would merge records.
        fail(ReadError::Unreadable, "block not closed");
        return BlockEnd::Failed;
      } else if (fieldLines && ++*fieldLines > kMaxFundFieldLines) {
        fail(ReadError::Unreadable, "too many fund lines in one dataset");
        return BlockEnd::Failed;
      } else if (const auto* field = fieldsOf<R>().find(rawName(elementNameView(line_)))) {
        const QString value = elementValue(line_);
        if (!field->read(record, account ? accountValue(value) : value)) {
          fail(ReadError::Unreadable, "a number field holds no integer");
          return BlockEnd::Failed;
        }
      }
    }
    if (debugging_ && !options_.debugBlock(debugLines)) debugging_ = false;
    return end;
  }

  bool append(const Record& record) {
    switch (into_.appendRecord(record)) {
      case Portfolio::Refusal::None:
        return true;
      case Portfolio::Refusal::TooManyRecords:
        return fail(ReadError::Unreadable, "more records than a portfolio holds");
      case Portfolio::Refusal::TooManyFunds:
        return fail(ReadError::Unreadable, "more funds than a dataset holds");
    }
    return false;
  }

  // The next line without its line end; false at the end of the file or on
  // a line too long to be a portfolio line.
  bool nextLine() {
    if (failed_ || in_.atEnd()) return false;
    // One buffer for all lines; readLine() leaves room for a terminating 0.
    if (buffer_.isEmpty()) buffer_.resize(kMaxLineLength + 3);
    qint64 size = in_.readLine(buffer_.data(), buffer_.size());
    ++lineNumber_;
    if (size < 0) return fail(ReadError::Unreadable, "read error");
    if ((size == 0 || buffer_[size - 1] != '\n') && !in_.atEnd())
      return fail(ReadError::Unreadable, "line too long");
    while (size > 0 && (buffer_[size - 1] == '\n' || buffer_[size - 1] == '\r')) --size;
    // ISO-8859-1 into the line's own storage, which keeps its capacity from
    // line to line.
    line_.resize(size);
    QChar* out = line_.data();
    for (qint64 i = 0; i < size; ++i) out[i] = QLatin1Char(buffer_[i]);
    return true;
  }

  bool nextNonBlank() {
    do {
      if (!nextLine()) return false;
    } while (isBlank(line_));
    return true;
  }

  // Records the first failure; always false.
  bool fail(ReadError error, const char* reason) {
    if (!failed_) {
      failed_ = true;
      result_.error = error;
      result_.reason = QString::fromLatin1(reason);
    }
    return false;
  }
  // The file ended inside the portfolio (or a line was too long).
  bool truncated() { return fail(ReadError::Unreadable, "file ends before the root is closed"); }

  QIODevice& in_;
  Portfolio& into_;
  const ReadOptions& options_;
  bool debugging_;
  QByteArray buffer_;
  QString line_;
  int lineNumber_ = 0;
  QString rootName_;
  QString rootClose_;
  bool rootClosed_ = false;
  bool failed_ = false;
  ReadResult result_;
};

}  // namespace

ReadResult read(QIODevice& in, Portfolio& into, const ReadOptions& options) {
  return Reader(in, into, options).run();
}

}  // namespace pelmar::portfolio_file
