#pragma once

#include <QByteArray>
#include <QStringList>
#include <array>
#include <optional>

#include "commands/session.h"
#include "lang/outcome.h"

namespace pelmar {

// The flags the maintenance window repairs: four of the selected fund, the
// year-closed flag of the portfolio.
enum class MaintenanceFlag { Splits, Cumulatief, BuySell, RefWaarde, JaarAfsl };
inline constexpr std::array<MaintenanceFlag, 5> kMaintenanceFlags = {
    MaintenanceFlag::Splits, MaintenanceFlag::Cumulatief, MaintenanceFlag::BuySell,
    MaintenanceFlag::RefWaarde, MaintenanceFlag::JaarAfsl};

// The line caption of a flag: "Splits", "Cumulatief", "BuySell",
// "RefWaarde", "JaarAfsl.".
QString FlagCaption(MaintenanceFlag flag);
// Whether the flag is set (fund flags on the selected fund of the current
// dataset); false without a portfolio.
bool FlagState(const Session& session, MaintenanceFlag flag);
// Sets or clears one flag on the selected fund's record of the current
// dataset or on the IdentRec, without recalculating (the next calculation
// uses it). A real change marks the portfolio changed, so it is offered
// for saving. Stopped without a portfolio.
Outcome SetMaintenanceFlag(Session& session, MaintenanceFlag flag, bool on);
// The flag by the name the headless tool uses (case ignored: "Splits",
// "Cumulatief", "BuySell", "RefWaarde", "JaarAfsl"); nothing when unknown.
std::optional<MaintenanceFlag> MaintenanceFlagNamed(const QString& name);

// The program-wide switches of the maintenance window, each a setting of
// the section "Service".
enum class MaintenanceSwitch { CumFonds, ServicePanel, Debug, LogFile, EditOldDates };
inline constexpr std::array<MaintenanceSwitch, 5> kMaintenanceSwitches = {
    MaintenanceSwitch::CumFonds, MaintenanceSwitch::ServicePanel, MaintenanceSwitch::Debug,
    MaintenanceSwitch::LogFile, MaintenanceSwitch::EditOldDates};

TextId SwitchCaption(MaintenanceSwitch which);
bool SwitchState(const Settings& settings, MaintenanceSwitch which);
// Sets a switch with immediate effect: the log file starts (in traceFolder)
// or stops at once; the others act at their next use. The settings store
// receives it when the window closes.
void SetMaintenanceSwitch(Session& session, MaintenanceSwitch which, bool on,
                          const QString& traceFolder = {});

// The memory state of the computer in bytes, and its load in percent.
struct MemoryStatus {
  quint64 totalPhysical = 0;
  quint64 freePhysical = 0;
  quint64 totalVirtual = 0;
  quint64 freeVirtual = 0;
  int loadPercent = 0;
};
// The memory state from the text of Linux's /proc/meminfo: physical memory
// is MemTotal, free physical MemAvailable (what programs can still get
// without swapping); virtual memory is physical memory plus swap
// (MemTotal + SwapTotal), free virtual MemAvailable + SwapFree; the load
// is the share of physical memory in use. Nothing when MemTotal or
// MemAvailable is missing or unreadable.
std::optional<MemoryStatus> MemoryStatusFromMemInfo(const QByteArray& meminfo);

// The maintenance window's memo: the record sizes and the memory state
// (a line saying it is not available when there is none).
QStringList ServiceMemo(const Session& session, const std::optional<MemoryStatus>& memory);

}  // namespace pelmar
