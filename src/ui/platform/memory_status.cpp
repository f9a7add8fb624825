#include "ui/platform/memory_status.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace pelmar {

std::optional<MemoryStatus> PlatformMemoryStatus() {
#ifdef Q_OS_WIN
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return std::nullopt;
  return MemoryStatus{status.ullTotalPhys, status.ullAvailPhys, status.ullTotalVirtual,
                      status.ullAvailVirtual, static_cast<int>(status.dwMemoryLoad)};
#else
  QFile meminfo(QStringLiteral("/proc/meminfo"));
  // A /proc file reports no size: it is read to its end.
  if (!meminfo.open(QIODevice::ReadOnly)) return std::nullopt;
  return MemoryStatusFromMemInfo(meminfo.readAll());
#endif
}

}  // namespace pelmar
