#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

namespace pelmar {

// The trace log: one dated line per traced event in a text file, so that a
// user can send a record of what the program did. Off unless switched on.
// The file is opened and closed for every line, so it can be read while the
// program runs.
class TraceLog {
 public:
  using Now = std::function<QDateTime()>;

  explicit TraceLog(Now now = &QDateTime::currentDateTime) : now_(std::move(now)) {}

  // Remembers the base path (the file is base + ".log"), deletes an
  // existing trace file and sets the level to 0.
  void LogInit(const QString& basePath);

  bool enabled() const { return enabled_; }
  void setEnabled(bool on) { enabled_ = on; }
  int level() const { return level_; }
  QString fileName() const { return base_.isEmpty() ? QString() : base_ + QStringLiteral(".log"); }

  // Appends "yyyy-MM-dd hh:mm:ss - " + level blanks + message when tracing is
  // on. A line that cannot be written is lost; the program goes on.
  void Log(const QString& message);

  // Entry and exit of a traced routine: "<routine> - begin" and one level
  // deeper; one level back and "<routine> - <word>". The level only moves
  // while tracing is on.
  void enter(const QString& routine);
  void leave(const QString& routine, const QString& word = QStringLiteral("einde"));

 private:
  Now now_;
  bool enabled_ = false;
  int level_ = 0;
  QString base_;
};

// Traces a routine for the life of the object: "- begin" now, "- einde" at
// the end, or "- exit" after exitEarly().
class TraceScope {
 public:
  TraceScope(TraceLog& log, QString routine) : log_(log), routine_(std::move(routine)) {
    log_.enter(routine_);
  }
  ~TraceScope() { log_.leave(routine_, early_ ? QStringLiteral("exit") : QStringLiteral("einde")); }
  TraceScope(const TraceScope&) = delete;
  TraceScope& operator=(const TraceScope&) = delete;

  void exitEarly() { early_ = true; }

 private:
  TraceLog& log_;
  QString routine_;
  bool early_ = false;
};

}  // namespace pelmar
