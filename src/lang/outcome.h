#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

#include "lang/language.h"

namespace pelmar {

// Why something failed, in both languages: a text of the table with its
// arguments, the file it concerns and, for a file, the line (1-based; 0
// when the reason is not about one line).
struct Reason {
  TextId id{};
  QStringList args{};
  QString file{};
  int line = 0;

  // The reason in the given language, its arguments filled in at the
  // markers %1 to %9 in one pass, so that a marker inside an argument (a
  // file name, say) stays as it is.
  QString text(const Language& language) const {
    const QString pattern = language.text(id);
    QString result;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
      const int n = i + 1 < pattern.size() ? pattern.at(i + 1).digitValue() : -1;
      if (pattern.at(i) == u'%' && n >= 1 && n <= args.size()) {
        result += args.at(n - 1);
        ++i;
      } else {
        result += pattern.at(i);
      }
    }
    return result;
  }
};

// The result of a command: done, stopped by the user (a cancelled dialog,
// a No), or failed with its reason. A command that can fail returns one,
// and its caller has to look at it.
class [[nodiscard]] Outcome {
 public:
  enum class Kind { Done, Stopped, Failed };

  static Outcome done() { return Outcome(Kind::Done); }
  static Outcome stopped() { return Outcome(Kind::Stopped); }
  static Outcome failed(Reason reason) { return Outcome(std::move(reason)); }
  static Outcome failed(TextId id, QStringList args = {}) {
    return Outcome(Reason{id, std::move(args), {}, 0});
  }

  Kind kind() const { return kind_; }
  bool ok() const { return kind_ == Kind::Done; }
  explicit operator bool() const { return ok(); }
  bool isFailure() const { return kind_ == Kind::Failed; }
  // The reason of a failure; nothing otherwise.
  const std::optional<Reason>& reason() const { return reason_; }

 private:
  explicit Outcome(Kind kind) : kind_(kind) {}
  explicit Outcome(Reason reason) : kind_(Kind::Failed), reason_(std::move(reason)) {}

  Kind kind_;
  std::optional<Reason> reason_;
};

}  // namespace pelmar
