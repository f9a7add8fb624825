#include "prices/price_table.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <array>
#include <map>

#include "model/conversions.h"
#include "prices/price_replies.h"

namespace pelmar {

namespace {

// Metadata lines a site puts above its heading, at most.
constexpr int kHeadingSearchLines = 50;
constexpr int kPreviewLines = 10;

// Column names, as letters only in lower case, best first.
const QStringList kDateNames = {"date", "datum", "tradedate", "handelsdatum", "koersdatum",
                                "day",  "dag",   "timestamp", "time"};
const QStringList kCloseNames = {"close",   "closelast",    "closeprice",   "closingprice",
                                 "slot",    "slotkoers",    "last",         "lastprice",
                                 "laatste", "laatstekoers", "price",        "koers",
                                 "nav",     "adjclose",     "adjustedclose"};

QString decode(const QByteArray& bytes) {
  if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
    return QStringDecoder(QStringDecoder::Utf16)(bytes);
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8(bytes);
  if (utf8.hasError()) text = QString::fromLatin1(bytes);
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  return text;
}

// The fields of a line, quotes removed ("" inside quotes is one quote);
// nothing when a quote is left open.
std::optional<QStringList> fieldsOf(const QString& line, QChar separator) {
  QStringList fields{QString()};
  bool quoted = false;
  for (qsizetype i = 0; i < line.size(); ++i) {
    const QChar c = line.at(i);
    if (c == u'"') {
      if (quoted && i + 1 < line.size() && line.at(i + 1) == u'"') {
        fields.last() += c;
        ++i;
      } else {
        quoted = !quoted;
      }
    } else if (c == separator && !quoted) {
      fields << QString();
    } else {
      fields.last() += c;
    }
  }
  if (quoted) return std::nullopt;
  for (QString& field : fields) field = field.trimmed();
  return fields;
}

// A heading's name as letters only, without what stands in brackets:
// "Close/Last" is "closelast", "Slot (EUR)" is "slot".
QString nameOf(QString heading) {
  static const QRegularExpression brackets(QStringLiteral("\\([^)]*\\)|\\[[^]]*\\]"));
  heading.remove(brackets);
  QString letters;
  for (const QChar c : heading.toLower())
    if (c.isLetter()) letters += c;
  return letters;
}

int columnOf(const QStringList& fields, const QStringList& names) {
  int best = -1;
  qsizetype rank = names.size();
  for (int i = 0; i < fields.size(); ++i) {
    const qsizetype r = names.indexOf(nameOf(fields[i]));
    if (r >= 0 && r < rank) {
      best = i;
      rank = r;
    }
  }
  return best;
}

// A date as the file writes it: the three numbers in the order written, or
// a day whose month is named (its order settled).
struct DateText {
  int first = 0, second = 0, third = 0;
  bool yearFirst = false;  // four digits first: year-month-day
  std::optional<QDate> named;
  bool numeric() const { return !named; }
};

int monthByName(const QString& name) {
  static const std::map<QString, int> months = {{"jan", 1},  {"feb", 2},  {"mar", 3},  {"mrt", 3},
                                                {"maa", 3},  {"apr", 4},  {"may", 5},  {"mei", 5},
                                                {"jun", 6},  {"jul", 7},  {"aug", 8},  {"sep", 9},
                                                {"oct", 10}, {"okt", 10}, {"nov", 11}, {"dec", 12}};
  const auto it = months.find(name.left(3).toLower());
  return it == months.end() ? 0 : it->second;
}

int fullYear(const QString& digits) {
  const int year = digits.toInt();
  if (digits.size() != 2) return year;
  return year + (year < 50 ? 2000 : 1900);
}

std::optional<DateText> dateText(const QString& text) {
  // A time of day after the date is no part of it.
  static const QString time = QStringLiteral("(?:(?:T| +)\\d{1,2}:\\d{2}.*)?$");
  static const QRegularExpression numeric("^(\\d{1,4})([-/.])(\\d{1,2})\\2(\\d{1,4})" + time);
  static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
  static const QRegularExpression dayName(
      "^(\\d{1,2})[-. ]([A-Za-z]{3,9})\\.?[-. ]+(\\d{2}|\\d{4})" + time);
  static const QRegularExpression nameDay("^([A-Za-z]{3,9})\\.? +(\\d{1,2}),? +(\\d{4})" + time);
  DateText date;
  QRegularExpressionMatch m;
  if ((m = numeric.match(text)).hasMatch()) {
    const QString first = m.captured(1);
    const QString last = m.captured(4);
    date.yearFirst = first.size() == 4;
    // yyyy-m-d, or d-m-yy(yy) / m-d-yy(yy).
    if (date.yearFirst ? last.size() > 2
                       : first.size() > 2 || (last.size() != 2 && last.size() != 4))
      return std::nullopt;
    date.first = first.toInt();
    date.second = m.captured(3).toInt();
    date.third = date.yearFirst ? last.toInt() : fullYear(last);
    return date;
  }
  QDate named;
  if ((m = compact.match(text)).hasMatch())
    named = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
  else if ((m = dayName.match(text)).hasMatch())
    named = QDate(fullYear(m.captured(3)), monthByName(m.captured(2)), m.captured(1).toInt());
  else if ((m = nameDay.match(text)).hasMatch())
    named = QDate(m.captured(3).toInt(), monthByName(m.captured(1)), m.captured(2).toInt());
  else
    return std::nullopt;
  if (!named.isValid()) return std::nullopt;
  date.named = named;
  return date;
}

QDate dateIn(const DateText& d, DateOrder order) {
  if (d.named) return *d.named;
  if (d.yearFirst) return QDate(d.first, d.second, d.third);
  return order == DateOrder::MonthDayYear ? QDate(d.third, d.first, d.second)
                                          : QDate(d.third, d.second, d.first);
}

// What the file's own dates say of the order of day and month: a day above
// 12 in the first or the second place.
struct OrderEvidence {
  std::optional<DateOrder> order;
  int line = 0;
};

bool isEmptyClose(const QString& text) {
  static const QStringList none = {"", "null", "-", "n/a", "na", "nan"};
  return none.contains(text.toLower());
}

// The close without currency signs, codes and blanks.
QString bareClose(QString text) {
  static const QRegularExpression signs(
      QStringLiteral(
          "[$\\x{20AC}\\x{80}\\x{A3}\\x{A5}\\s\\x{A0}']|^(?:EUR|USD|GBP)|(?:EUR|USD|GBP)$"),
      QRegularExpression::CaseInsensitiveOption);
  return text.remove(signs);
}

// The decimal separator the closes show: the later of both where both
// occur, a comma or point followed by other than three digits, or a
// separator that occurs twice (then the other one is the decimal one).
std::optional<QChar> decimalShown(const QString& close) {
  const qsizetype point = close.lastIndexOf(u'.');
  const qsizetype comma = close.lastIndexOf(u',');
  if (point >= 0 && comma >= 0) return point > comma ? u'.' : u',';
  if (close.count(u'.') > 1) return u',';
  if (close.count(u',') > 1) return u'.';
  const qsizetype at = std::max(point, comma);
  if (at < 0 || close.size() - at - 1 == 3) return std::nullopt;
  return close.at(at);
}

std::optional<QString> closeIn(QString close, QChar decimal) {
  close.remove(decimal == u'.' ? u',' : u'.');
  close.replace(u',', u'.');
  static const QRegularExpression shape(QStringLiteral("^\\d{1,9}(\\.\\d{1,8})?$"));
  if (!shape.match(close).hasMatch() || close.toDouble() <= 0.0001) return std::nullopt;
  return close;
}

// Why a step refuses the table: the text, the line (from 1) and the text's
// further arguments, and what the user may choose to mend it.
struct Refusal {
  TextId id;
  int line;
  QStringList args = {};
  PriceTable::Ask ask = PriceTable::Ask::Nothing;
};

// A row of the table, read whole.
struct Row {
  int line;
  QString dateField;
  DateText date;
  QString close;
  bool cut;  // the file's last line, without its line break: it may be cut short
};

// The heading: the first line with a date and a close column. Without one,
// the separator the first lines hold most.
PriceTable headingOf(const QStringList& lines) {
  PriceTable table;
  for (int i = 0;
       i < std::min<qsizetype>(lines.size(), kHeadingSearchLines) && table.headingLine < 0; ++i) {
    for (const QChar separator : {u'\t', u';', u','}) {
      const std::optional<QStringList> fields = fieldsOf(lines[i], separator);
      if (!fields || fields->size() < 2) continue;
      const int date = columnOf(*fields, kDateNames);
      const int close = columnOf(*fields, kCloseNames);
      if (date < 0 || close < 0 || date == close) continue;
      table = {};
      table.separator = separator;
      table.headingLine = i;
      table.columns = *fields;
      table.dateColumn = date;
      table.closeColumn = close;
      break;
    }
  }
  if (table.headingLine < 0) {
    const auto count = [&](QChar separator) {
      qsizetype n = 0;
      for (int i = 0; i < std::min<qsizetype>(lines.size(), kPreviewLines); ++i)
        n += lines[i].count(separator);
      return n;
    };
    for (const QChar separator : {u'\t', u';'})
      if (count(separator) > count(table.separator)) table.separator = separator;
  }
  return table;
}

// The first lines that are not empty as fields, from the heading on.
void addPreview(const QStringList& lines, PriceTable& table) {
  for (int i = std::max(table.headingLine, 0);
       i < lines.size() && table.preview.size() < kPreviewLines; ++i)
    if (!lines[i].trimmed().isEmpty())
      table.preview << fieldsOf(lines[i], table.separator).value_or(QStringList{lines[i]});
}

// The rows below the heading; without a heading they start at the first
// row whose date column holds a date.
std::optional<Refusal> readRows(const QStringList& lines, const PriceTable& table,
                                std::vector<Row>& rows) {
  const bool headed = table.headingLine >= 0;
  for (int i = table.headingLine + 1; i < lines.size(); ++i) {
    const int line = i + 1;
    if (lines[i].trimmed().isEmpty()) continue;
    std::optional<QStringList> fields = fieldsOf(lines[i], table.separator);
    if (fields && headed)
      while (fields->size() > table.columns.size() && fields->last().isEmpty())
        fields->removeLast();
    const bool whole = fields && fields->size() > std::max(table.dateColumn, table.closeColumn);
    const std::optional<DateText> date =
        whole ? dateText(fields->at(table.dateColumn)) : std::nullopt;
    if (!headed && rows.empty() && !date) continue;
    if (!fields) return Refusal{TextId::ImportOpenQuote, line};
    if (headed && fields->size() != table.columns.size())
      return Refusal{TextId::ImportFieldCount,
                     line,
                     {QString::number(fields->size()), QString::number(table.columns.size())}};
    if (!whole) return Refusal{TextId::ImportShortRow, line};
    if (!date) return Refusal{TextId::ImportBadDate, line, {fields->at(table.dateColumn)}};
    rows.push_back({line, fields->at(table.dateColumn), *date,
                    bareClose(fields->at(table.closeColumn)), line == lines.size()});
  }
  return std::nullopt;
}

// The order of day and month, from the file where any date settles it,
// else from the choices; refused when dates disagree, or when a date needs
// an order that neither gives.
std::optional<Refusal> settleDateOrder(const std::vector<Row>& rows, const TableChoices& choices,
                                       PriceTable& table) {
  OrderEvidence evidence;
  const Row* undecided = nullptr;
  for (const Row& row : rows) {
    if (!row.date.numeric() || row.date.yearFirst) continue;
    std::optional<DateOrder> shown;
    if (row.date.first > 12) shown = DateOrder::DayMonthYear;
    if (row.date.second > 12) shown = DateOrder::MonthDayYear;
    if (!shown) {
      if (!undecided && row.date.first != row.date.second) undecided = &row;
      continue;
    }
    if (evidence.order && *evidence.order != *shown)
      return Refusal{
          TextId::ImportDateOrderMixed, row.line, {row.dateField, QString::number(evidence.line)}};
    if (!evidence.order) evidence = {shown, row.line};
  }
  table.dateOrder = evidence.order ? evidence.order : choices.dateOrder;
  table.dateOrderFromFile = evidence.order.has_value();
  if (undecided && !table.dateOrder)
    return Refusal{TextId::ImportDateOrderUnknown, undecided->line, {}, PriceTable::Ask::DateOrder};
  return std::nullopt;
}

// The decimal separator the closes show; a comma in a ";" file by default.
// Refused when two closes show different ones.
std::optional<Refusal> settleDecimal(const std::vector<Row>& rows, QChar fieldSeparator,
                                     QChar& decimal) {
  std::optional<QChar> found;
  for (const Row& row : rows) {
    const std::optional<QChar> shown =
        isEmptyClose(row.close) ? std::nullopt : decimalShown(row.close);
    if (shown && found && *shown != *found)
      return Refusal{TextId::ImportBadPrice, row.line, {row.close}};
    if (shown) found = shown;
  }
  decimal = found.value_or(fieldSeparator == u';' ? u',' : u'.');
  return std::nullopt;
}

// The close of every day; a day twice, a day the daily files cannot hold
// or a close that is no price refuses the table.
std::optional<Refusal> readPrices(const std::vector<Row>& rows, const PriceTable& table,
                                  QChar decimal, QDate today, std::map<QDate, QString>& prices) {
  for (const Row& row : rows) {
    const QDate day = dateIn(row.date, table.dateOrder.value_or(DateOrder::DayMonthYear));
    if (!day.isValid()) return Refusal{TextId::ImportBadDate, row.line, {row.dateField}};
    if (!DayFitsFiles(day, today))
      return Refusal{TextId::DateOutsideFiles, row.line, {row.dateField}};
    // An empty close is a day without a price, unless the file stops there.
    if (isEmptyClose(row.close) && !(row.cut && row.close.isEmpty())) continue;
    const std::optional<QString> close = closeIn(row.close, decimal);
    if (!close) return Refusal{TextId::ImportBadPrice, row.line, {row.close}};
    if (!prices.emplace(day, *close).second)
      return Refusal{TextId::ImportTwice, row.line, {row.dateField}};
  }
  return std::nullopt;
}

PriceTable refused(PriceTable table, Refusal refusal, const QString& fileName) {
  refusal.args.prepend(QString::number(refusal.line));
  table.refused = Reason{refusal.id, std::move(refusal.args), fileName, refusal.line};
  table.ask = refusal.ask;
  return table;
}

}  // namespace

std::optional<DateOrder> dateOrderFromText(const QString& text) {
  const QString t = text.trimmed().toLower();
  if (t == QLatin1String("ymd")) return DateOrder::YearMonthDay;
  if (t == QLatin1String("dmy")) return DateOrder::DayMonthYear;
  if (t == QLatin1String("mdy")) return DateOrder::MonthDayYear;
  return std::nullopt;
}

// The table is read in steps, each refusing it with the line it stops at:
// the heading and the preview, the columns, the rows, the order of day and
// month, the decimal separator, then the prices by day.
PriceTable ReadPriceTable(const QByteArray& bytes, const QString& fileName, QDate today,
                          const TableChoices& choices) {
  static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\r|\\n"));
  const QStringList lines = decode(bytes).split(lineBreak);
  PriceTable table = headingOf(lines);
  addPreview(lines, table);
  if (choices.dateColumn >= 0 && choices.closeColumn >= 0) {
    table.dateColumn = choices.dateColumn;
    table.closeColumn = choices.closeColumn;
  }
  if (table.dateColumn < 0 || table.closeColumn < 0)
    return refused(std::move(table), {TextId::ImportNoColumns, 1, {}, PriceTable::Ask::Columns},
                   fileName);

  std::vector<Row> rows;
  if (auto refusal = readRows(lines, table, rows))
    return refused(std::move(table), std::move(*refusal), fileName);
  if (auto refusal = settleDateOrder(rows, choices, table))
    return refused(std::move(table), std::move(*refusal), fileName);
  QChar decimal;
  if (auto refusal = settleDecimal(rows, table.separator, decimal))
    return refused(std::move(table), std::move(*refusal), fileName);
  std::map<QDate, QString> prices;
  if (auto refusal = readPrices(rows, table, decimal, today, prices))
    return refused(std::move(table), std::move(*refusal), fileName);
  if (prices.empty())
    return refused(std::move(table), {TextId::ImportNoPrices, static_cast<int>(lines.size())},
                   fileName);

  for (const auto& [day, close] : prices)
    table.downloadLines << TwoDigits(day.year() % 100) + TwoDigits(day.month()) +
                               TwoDigits(day.day()) + u',' + close;
  table.oldest = prices.begin()->first;
  table.newest = prices.rbegin()->first;
  return table;
}

}  // namespace pelmar
