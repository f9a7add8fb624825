#include "model/portfolio_file.h"

#include <QHash>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "model/conversions.h"

namespace pelmar::portfolio_file {

namespace {

const QString kHeader = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>");
const QString kRootName = QStringLiteral("Pelmar_Data");

// --- Value texts -------------------------------------------------------

QString boolText(bool value) {
  return value ? QStringLiteral("1") : QStringLiteral("0");
}

// A string field as the file holds it. "&" and "<" are escaped so that the
// file stays XML and the value cannot end early on reading; a control
// character would break the one-line-per-field layout and becomes a space.
QString escaped(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    if (c == QLatin1Char('&')) {
      out += QLatin1String("&amp;");
    } else if (c == QLatin1Char('<')) {
      out += QLatin1String("&lt;");
    } else if (c.unicode() < 32) {
      out += QLatin1Char(' ');
    } else {
      out += c;
    }
  }
  return out;
}

// The reverse of escaped(), in one pass; an "&" that starts no known
// entity stays as it is.
QString unescaped(const QString& text) {
  if (!text.contains(QLatin1Char('&'))) return text;
  static const std::pair<QLatin1String, QChar> kEntities[] = {
      {QLatin1String("&amp;"), QLatin1Char('&')},
      {QLatin1String("&lt;"), QLatin1Char('<')},
      {QLatin1String("&gt;"), QLatin1Char('>')}};
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      if (QStringView(text).mid(i).startsWith(entity)) {
        out += c;
        i += entity.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text.at(i++);
  }
  return out;
}

// An Integer, Word, Byte or Boolean value: a decimal integer; spaces are
// ignored and an empty value is a missing one (0). Nothing for any other
// text ("1.0", "x") or a value beyond 32 bits.
std::optional<qint32> readInteger(const QString& value) {
  const QString text = RemoveBlanks(value);
  if (text.isEmpty()) return 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    const bool sign = i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+'));
    if (!sign && !(c >= QLatin1Char('0') && c <= QLatin1Char('9'))) return std::nullopt;
  }
  bool ok = false;
  const qlonglong number = text.toLongLong(&ok, 10);
  if (!ok || number < std::numeric_limits<qint32>::min() ||
      number > std::numeric_limits<qint32>::max())
    return std::nullopt;
  return static_cast<qint32>(number);
}

// --- Field tables --------------------------------------------------------

// The field lines of one record kind: in writing order, each with its
// writer (none for fields that are only read) and reader. A reader returns
// false when the value cannot be read at all.
template <typename R>
class FieldTable {
 public:
  using Writer = std::function<QString(const R&, const Language&)>;
  using Reader = std::function<bool(R&, const QString&)>;
  struct Field {
    QString name;
    Writer write;
    Reader read;
  };

  FieldTable& custom(const char* name, Writer write, Reader read) {
    index_.insert(QString::fromLatin1(name), static_cast<int>(fields_.size()));
    fields_.push_back({QString::fromLatin1(name), std::move(write), std::move(read)});
    return *this;
  }

  FieldTable& id() {
    return custom(
        "Id", [](const R&, const Language&) { return QString(QLatin1Char(R::Id)); },
        // The kind comes from the block's position, not from its letter.
        [](R&, const QString&) { return true; });
  }

  FieldTable& add(const char* name, bool R::*member) {
    return custom(
        name, [member](const R& r, const Language&) { return boolText(r.*member); },
        [member](R& r, const QString& value) {
          const auto number = readInteger(value);
          if (number) r.*member = *number != 0;
          return number.has_value();
        });
  }

  // Byte and Word fields keep the low bits of the integer read.
  template <typename T>
  requires std::is_integral_v<T> FieldTable& add(const char* name, T R::*member) {
    return custom(
        name, [member](const R& r, const Language&) { return QString::number(r.*member); },
        [member](R& r, const QString& value) {
          const auto number = readInteger(value);
          if (number) r.*member = static_cast<T>(*number);
          return number.has_value();
        });
  }

  // Amounts and day numbers: four decimals written, read tolerantly.
  template <typename T>
  requires(std::is_same_v<T, Real48> ||
           std::is_same_v<T, DateTime>) FieldTable& add(const char* name, T R::*member) {
    return custom(
        name,
        [member](const R& r, const Language& language) {
          return RealToStr(r.*member, 0, 4, language);
        },
        [member](R& r, const QString& value) {
          r.*member = StrToReal(value);
          return true;
        });
  }

  template <int N>
  FieldTable& add(const char* name, FixedText<N> R::*member) {
    return custom(
        name, [member](const R& r, const Language&) { return escaped(r.*member); },
        [member](R& r, const QString& value) {
          r.*member = unescaped(value);
          return true;
        });
  }

  const std::vector<Field>& fields() const { return fields_; }
  const Field* find(const QString& name) const {
    const auto it = index_.constFind(name);
    return it == index_.constEnd() ? nullptr : &fields_[*it];
  }

 private:
  std::vector<Field> fields_;
  QHash<QString, int> index_;
};

template <typename R>
const FieldTable<R>& fieldsOf();

template <>
const FieldTable<IdentRec>& fieldsOf() {
  using R = IdentRec;
  static const FieldTable<R> table = [] {
    FieldTable<R> t;
    t.id()
        .add("EndOfSetB", &R::EndOfSetB)
        .add("Name", &R::Name)
        .add("VersionI", &R::VersionI)
        .add("CopyrightI", &R::CopyrightI)
        .add("Author", &R::Author)
        .add("Flag1", &R::Flag1)
        .add("PortInDollarB", &R::PortInDollarB)
        .add("RapInDollarB", &R::RapInDollarB);
    return t;
  }();
  return table;
}

template <>
const FieldTable<AlgemeenRec>& fieldsOf() {
  using R = AlgemeenRec;
  static const FieldTable<R> table = [] {
    FieldTable<R> t;
    t.id()
        .add("EndOfSetB", &R::EndOfSetB)
        .add("CumDatum", &R::CumDatum)
        .add("Datum", &R::Datum)
        .add("NrOfSet", &R::NrOfSet)
        .add("SetDuur", &R::SetDuur)
        .add("PDuur", &R::PDuur)
        .add("Totaal", &R::Totaal)
        .add("Winst", &R::Winst)
        .add("Rendement", &R::Rendement)
        .add("ROTAIWinst", &R::ROTAIWinst)
        .add("ROTAISomCumInleg", &R::ROTAISomCumInleg)
        .add("ROTAISomGewInleg", &R::ROTAISomGewInleg)
        .add("ROTAIRendement", &R::ROTAIRendement)
        .add("Dollar", &R::Dollar);
    return t;
  }();
  return table;
}

template <>
const FieldTable<RekeningRec>& fieldsOf() {
  using R = RekeningRec;
  static const FieldTable<R> table = [] {
    FieldTable<R> t;
    t.id()
        .add("EndOfSetB", &R::EndOfSetB)
        .add("RekNaam", &R::RekNaam)
        .add("RekNummer", &R::RekNummer)
        .add("Valuta", &R::Valuta)
        .add("CredRente", &R::CredRente)
        .add("DebRente", &R::DebRente)
        .add("Saldo", &R::Saldo)
        .add("Waarde", &R::Waarde)
        .add("Rente", &R::Rente)
        .add("RenteCorrectie", &R::RenteCorrectie)
        .add("Kosten", &R::Kosten)
        .add("BTW", &R::BTW)
        .add("CumCRente", &R::CumCRente)
        .add("CumDRente", &R::CumDRente)
        .add("CumKosten", &R::CumKosten)
        .add("CumBTW", &R::CumBTW)
        .add("CredPerc", &R::CredPerc)
        .add("DivirOzevB", &R::DivirOzevB)
        .add("RividuDoriB", &R::RividuDoriB);
    return t;
  }();
  return table;
}

template <>
const FieldTable<KoersRec>& fieldsOf() {
  using R = KoersRec;
  static const FieldTable<R> table = [] {
    FieldTable<R> t;
    t.id()
        .add("EndOfSetB", &R::EndOfSetB)
        .add("CumDatum", &R::CumDatum)
        .add("FDuur", &R::FDuur)
        // Ticker2 travels as the tail of Ticker; tickers hold no blanks.
        .custom(
            "Ticker",
            [](const R& r, const Language&) { return escaped(r.Ticker.str() + r.Ticker2.str()); },
            [](R& r, const QString& value) {
              r.Ticker = RemoveBlanks(unescaped(value));
              return true;
            })
        .custom("Ticker2", nullptr,
                [](R& r, const QString& value) {
                  r.Ticker = r.Ticker.str() + RemoveBlanks(unescaped(value));
                  return true;
                })
        .add("Koers", &R::Koers)
        .add("Country", &R::Country)
        .add("Valuta", &R::Valuta)
        .add("Aantal", &R::Aantal)
        .add("Delta", &R::Delta)
        .add("Flag1", &R::Flag1)
        .add("RatRente", &R::RatRente)
        .add("RatCumRente", &R::RatCumRente)
        .add("RatKosten", &R::RatKosten)
        .add("RatBTW", &R::RatBTW)
        .add("FRend", &R::FRend)
        .add("ROTAIFRend", &R::ROTAIFRend)
        .add("RekNr", &R::RekNr)
        // The file has Inleg before RefWrde and Reserve.
        .add("Inleg", &R::Inleg)
        .add("RefWrde", &R::RefWrde)
        .add("Reserve", &R::Reserve)
        .add("GewInleg", &R::GewInleg)
        .add("ROTAIGewInleg", &R::ROTAIGewInleg)
        .add("Kosten", &R::Kosten)
        .add("KostenProc", &R::KostenProc)
        .add("Dividend", &R::Dividend)
        .add("DivBel", &R::DivBel)
        .add("BTW", &R::BTW)
        .add("UpDr", &R::UpDr)
        .add("v", &R::v)
        .add("DownDr", &R::DownDr)
        .add("f", &R::f)
        .add("CumInleg", &R::CumInleg)
        .add("ROTAICumInleg", &R::ROTAICumInleg)
        .add("CumKosten", &R::CumKosten)
        .add("CumDividend", &R::CumDividend)
        .add("CumDivBel", &R::CumDivBel)
        .add("CumBTW", &R::CumBTW)
        .add("AdviesR", &R::AdviesR);
    return t;
  }();
  return table;
}

// --- Writing ---------------------------------------------------------------

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

// --- Reading ---------------------------------------------------------------

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

ReadResult read(QIODevice& in, Portfolio& into, const ReadOptions& options) {
  return Reader(in, into, options).run();
}

}  // namespace pelmar::portfolio_file
