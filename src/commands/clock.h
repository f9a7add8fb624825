#pragma once

#include <QDate>
#include <QDateTime>
#include <optional>

namespace pelmar {

// "Now" for the whole program. Tests and the headless tool fix it so that
// everything that depends on today (the dataset "Nieuw", proposed names,
// the year closing) is repeatable.
class Clock {
 public:
  QDateTime now() const { return fixed_ ? *fixed_ : QDateTime::currentDateTime(); }
  QDate today() const { return now().date(); }

  // From now on the clock stands still at the given moment.
  void fix(const QDateTime& moment) { fixed_ = moment; }
  void fix(QDate day) { fixed_ = QDateTime(day, QTime(12, 0)); }
  void release() { fixed_.reset(); }
  bool isFixed() const { return fixed_.has_value(); }

 private:
  std::optional<QDateTime> fixed_;
};

}  // namespace pelmar
