#pragma once

// The field tables of the records: which lines each record kind has in the
// portfolio file, in writing order, how each value is written and read, and
// how the check listing labels and shows it. The one list of the fields
// beside the records' declarations: the reader, the writer and the listing
// (record_fields.h) all go by it. Values travel as ISO-8859-1 bytes: only
// text fields become QStrings.

#include <QString>
#include <algorithm>
#include <charconv>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "lang/language.h"
#include "model/conversions.h"
#include "model/dates.h"
#include "model/records.h"

namespace pelmar::portfolio_file::detail {

using Bytes = std::string_view;

inline constexpr Bytes kHeader = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>";
inline constexpr Bytes kRootName = "Pelmar_Data";

// The largest magnitude an amount field may hold: the largest 6-byte real,
// with room for the 15 digits it is written with.
inline constexpr double kLargestAmount = Real48::kMax * (1 + 1e-13);
// The most bytes of a text value read: the longest field (38 characters)
// with every character written as a reference ("&#1114111;").
inline constexpr std::size_t kMaxTextValue = 512;
// The dataset dates a file may hold: the years 1900 to 9999.
inline constexpr double kFirstDatum = 2;       // 1900-01-01
inline constexpr double kLastDatum = 2958465;  // 9999-12-31

// Appends a text field as the file holds it: "&" and "<" escaped, control
// characters and characters beyond ISO-8859-1 as character references
// ("&#26085;"), so nothing is lost.
void appendEscaped(std::string& out, const QString& text);
// The text of a field value: the bytes taken as ISO-8859-1, character
// references ("&#233;", "&#xE9;") and the entities "&amp;", "&lt;",
// "&gt;", "&quot;", "&apos;" read back (any other "&" stays). In account
// blocks a raw control byte is a blank.
QString textValue(Bytes value, bool accountText);
// An Integer, Word, Byte or Boolean value: a decimal integer; spaces are
// ignored and an empty value is 0. Nothing for any other text ("1.0", "x")
// or a value beyond 32 bits.
std::optional<qint32> readInteger(Bytes value);

// Why a value cannot be read.
enum class FieldProblem { None, NoInteger, NoNumber, OutOfRange };

// How the check listing shows values: amounts in the language's notation,
// dates in the chosen format.
struct ListingStyle {
  const Language& language;
  DateFormat dates;
};

// The field lines of one record kind: in writing order, each with its
// writer (none for fields that are only read), reader and the way the
// check listing shows it.
template <typename R>
class FieldTable {
 public:
  using Writer = std::function<void(const R&, char point, std::string& out)>;
  using Reader = std::function<FieldProblem(R&, Bytes)>;
  using Shower = std::function<QString(const R&, const ListingStyle&)>;
  struct Field {
    std::string name;
    std::string open;   // "<name>"
    std::string close;  // "</name>" and the line end
    Writer write;
    Reader read;
    // Whether the record has the field written; always when empty.
    std::function<bool(const R&)> written;
    // The check listing's label (empty: the field is not listed), its
    // value as listed, and the field it is listed after when the listing
    // has it elsewhere than the file.
    QString label;
    Shower show;
    std::string listedAfter;
  };

  // accountTexts: text values have their bytes outside space to "}" blanked.
  explicit FieldTable(bool accountTexts = false) : accountTexts_(accountTexts) {}

  FieldTable& custom(const char* name, Writer write, Reader read, Shower show) {
    const std::string n(name);
    fields_.push_back({n,
                       "<" + n + ">",
                       "</" + n + ">\r\n",
                       std::move(write),
                       std::move(read),
                       {},
                       QString::fromLatin1(name),
                       std::move(show),
                       {}});
    return *this;
  }
  // The field added last is written only for records for which `when`
  // holds: a field added later, so that files without it stay as they were.
  FieldTable& writtenWhen(std::function<bool(const R&)> when) {
    fields_.back().written = std::move(when);
    return *this;
  }
  // The check listing labels the field added last otherwise than the file.
  FieldTable& listedAs(const char* label) {
    fields_.back().label = QString::fromLatin1(label);
    return *this;
  }
  // The check listing leaves the field added last out.
  FieldTable& unlisted() { return listedAs(""); }
  // The check listing has the field added last after the named one.
  FieldTable& listedAfter(const char* name) {
    fields_.back().listedAfter = name;
    return *this;
  }

  FieldTable& id() {
    return custom(
               "Id", [](const R&, char, std::string& out) { out += R::Id; },
               // The kind comes from the block's position, not from its letter.
               [](R&, Bytes) { return FieldProblem::None; },
               [](const R&, const ListingStyle&) { return QString(QChar(R::Id)); })
        .listedAs("ID");
  }

  FieldTable& add(const char* name, bool R::*member) {
    return custom(
        name, [member](const R& r, char, std::string& out) { out += r.*member ? '1' : '0'; },
        [member](R& r, Bytes value) {
          const auto number = readInteger(value);
          if (!number) return FieldProblem::NoInteger;
          r.*member = *number != 0;
          return FieldProblem::None;
        },
        [member](const R& r, const ListingStyle&) {
          return r.*member ? QStringLiteral("True") : QStringLiteral("False");
        });
  }

  // Byte and Word fields keep the low bits of the integer read.
  template <typename T>
  requires std::is_integral_v<T> FieldTable& add(const char* name, T R::*member) {
    return custom(
        name, [member](const R& r, char, std::string& out) { appendInteger(out, r.*member); },
        [member](R& r, Bytes value) {
          const auto number = readInteger(value);
          if (!number) return FieldProblem::NoInteger;
          r.*member = static_cast<T>(*number);
          return FieldProblem::None;
        },
        [member](const R& r, const ListingStyle&) {
          return QString::number(static_cast<qint64>(r.*member));
        });
  }

  // Amounts and day numbers: four decimals written; read strictly, and
  // only what a 6-byte real holds (or, for a date, the years 1900-9999).
  template <typename T>
  requires(std::is_same_v<T, Real48> ||
           std::is_same_v<T, DateTime>) FieldTable& add(const char* name, T R::*member,
                                                        double lowest = -kLargestAmount,
                                                        double highest = kLargestAmount) {
    return custom(
        name,
        [member](const R& r, char point, std::string& out) {
          AppendFixedPoint(out, r.*member, 4, point);
        },
        [member, lowest, highest](R& r, Bytes value) {
          const auto number = ReadStoredNumber(value);
          if (!number) return FieldProblem::NoNumber;
          if (*number < lowest || *number > highest) return FieldProblem::OutOfRange;
          r.*member = *number;
          return FieldProblem::None;
        },
        [member](const R& r, const ListingStyle& style) {
          if constexpr (std::is_same_v<T, DateTime>)
            return formatDate(serialToDate(r.*member), style.dates);
          else
            return RealToStr(r.*member, 2, 2, style.language);
        });
  }

  template <int N>
  FieldTable& add(const char* name, FixedText<N> R::*member) {
    return custom(
        name, [member](const R& r, char, std::string& out) { appendEscaped(out, r.*member); },
        [member, account = accountTexts_](R& r, Bytes value) {
          r.*member = textValue(value, account);
          return FieldProblem::None;
        },
        [member](const R& r, const ListingStyle&) { return (r.*member).str(); });
  }

  const std::vector<Field>& fields() const { return fields_; }
  int size() const { return static_cast<int>(fields_.size()); }
  // The field of that name, looked for first at `expected` (the field that
  // follows the last one read in a file as written); -1 when unknown.
  int find(Bytes name, int expected) const {
    if (expected < size() && fields_[expected].name == name) return expected;
    for (int i = 0; i < size(); ++i)
      if (fields_[i].name == name) return i;
    return -1;
  }
  // The field expected after the one at index: the next one written.
  int next(int index) const {
    ++index;
    while (index < size() && !fields_[index].write) ++index;
    return index;
  }
  // The listed fields in the check listing's order: the file's, but for
  // those listed after another field.
  std::vector<const Field*> listing() const {
    std::vector<const Field*> order;
    for (const Field& field : fields_)
      if (!field.label.isEmpty() && field.listedAfter.empty()) order.push_back(&field);
    for (const Field& field : fields_) {
      if (field.label.isEmpty() || field.listedAfter.empty()) continue;
      const auto after = std::find_if(order.begin(), order.end(),
                                      [&](const Field* f) { return f->name == field.listedAfter; });
      order.insert(after == order.end() ? after : after + 1, &field);
    }
    return order;
  }

 private:
  template <typename T>
  static void appendInteger(std::string& out, T value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<qint64>(value));
    out.append(buffer, end.ptr);
  }

  std::vector<Field> fields_;
  bool accountTexts_;
};

// The table of each record kind.
template <typename R>
const FieldTable<R>& fieldsOf();
template <>
const FieldTable<IdentRec>& fieldsOf();
template <>
const FieldTable<AlgemeenRec>& fieldsOf();
template <>
const FieldTable<RekeningRec>& fieldsOf();
template <>
const FieldTable<KoersRec>& fieldsOf();

}  // namespace pelmar::portfolio_file::detail
