#include "model/trace_log.h"

#include <QFile>

namespace pelmar {

void TraceLog::LogInit(const QString& basePath) {
  base_ = basePath;
  QFile::remove(fileName());
  level_ = 0;
}

void TraceLog::Log(const QString& message) {
  if (!enabled_ || base_.isEmpty()) return;
  QFile file(fileName());
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) return;
  const QString line = now_().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                       QStringLiteral(" - ") + QString(level_, QChar(' ')) + message + QChar('\n');
  file.write(line.toUtf8());
}

void TraceLog::enter(const QString& routine) {
  Log(routine + QStringLiteral(" - begin"));
  if (enabled_) ++level_;
}

void TraceLog::leave(const QString& routine, const QString& word) {
  if (enabled_ && level_ > 0) --level_;
  Log(routine + QStringLiteral(" - ") + word);
}

}  // namespace pelmar
