#pragma once

// The field tables of the portfolio file: which lines each record kind
// has, in writing order, and how each value is written and read. Shared by
// the reader and the writer; not for use outside the file format.

#include <QHash>
#include <QString>
#include <functional>
#include <optional>
#include <type_traits>
#include <vector>

#include "lang/language.h"
#include "model/conversions.h"
#include "model/records.h"

namespace pelmar::portfolio_file::detail {

inline const QString kHeader = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>");
inline const QString kRootName = QStringLiteral("Pelmar_Data");

// "1" or "0".
QString boolText(bool value);
// A string field as the file holds it: "&" and "<" escaped, control
// characters as blanks.
QString escaped(const QString& text);
// The reverse of escaped(); an "&" that starts no known entity stays.
QString unescaped(const QString& text);
// An integer field: digits with an optional sign; an empty value is 0;
// nothing for anything else.
std::optional<qint32> readInteger(const QString& value);

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
