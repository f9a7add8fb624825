#pragma once

#include <optional>

#include "commands/maintenance.h"

namespace pelmar {

// The computer's memory state from the platform: on Linux from
// /proc/meminfo (see MemoryStatusFromMemInfo for what each figure is), on
// Windows from GlobalMemoryStatusEx. Nothing when it cannot be read.
std::optional<MemoryStatus> PlatformMemoryStatus();

}  // namespace pelmar
