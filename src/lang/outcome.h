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
  // What the system said went wrong (the disk is full, no permission, a
  // link to a device, ...): a second text of the table with its arguments,
  // written after the first; TextId::Count when the reason has no cause.
  TextId cause = TextId::Count;
  QStringList causeArgs{};

  // This reason with `why` (its text and arguments) as its cause.
  Reason because(const Reason& why) const {
    Reason result = *this;
    result.cause = why.id;
    result.causeArgs = why.args;
    return result;
  }

  // The reason in the given language, its arguments filled in at the
  // markers %1 to %9 in one pass, so that a marker inside an argument (a
  // file name, say) stays as it is; the cause follows after a blank.
  QString text(const Language& language) const {
    QString result = fill(language.text(id), args);
    if (hasCause()) result += u' ' + fill(language.text(cause), causeArgs);
    return result;
  }

  bool hasCause() const { return cause != TextId::Count; }
  // The cause alone, as a reason of its own; none without a cause.
  std::optional<Reason> causeReason() const {
    if (!hasCause()) return std::nullopt;
    return Reason{cause, causeArgs, file, 0};
  }

 private:
  static QString fill(const QString& pattern, const QStringList& values) {
    QString result;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
      const int n = i + 1 < pattern.size() ? pattern.at(i + 1).digitValue() : -1;
      if (pattern.at(i) == u'%' && n >= 1 && n <= values.size()) {
        result += values.at(n - 1);
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
