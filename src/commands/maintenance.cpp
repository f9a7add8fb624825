#include "commands/maintenance.h"

#include <map>

#include "model/conversions.h"

namespace pelmar {

namespace {

// The record sizes of the portfolio format, as the memo lists them.
constexpr int kIdentRecordBytes = 91;
constexpr int kAlgemeenRecordBytes = 76;
constexpr int kRekeningRecordBytes = 103;
constexpr int kKoersRecordBytes = 221;

struct FlagSpec {
  MaintenanceFlag flag;
  const char* caption;
  const char* name;
  quint8 bit;
};
constexpr std::array<FlagSpec, 5> kFlags = {{
    {MaintenanceFlag::Splits, "Splits", "splits", KoersFlag::Splits},
    {MaintenanceFlag::Cumulatief, "Cumulatief", "cumulatief", KoersFlag::Cumulatief},
    {MaintenanceFlag::BuySell, "BuySell", "buysell", KoersFlag::BuySell},
    {MaintenanceFlag::RefWaarde, "RefWaarde", "refwaarde", KoersFlag::RefWaarde},
    {MaintenanceFlag::JaarAfsl, "JaarAfsl.", "jaarafsl", IdentFlag::JaarAfsl},
}};

const FlagSpec& specOf(MaintenanceFlag flag) {
  return kFlags[static_cast<size_t>(flag)];
}

// The byte that holds the flag: the IdentRec's or the selected fund's.
template <typename P>
auto flagByte(P& p, MaintenanceFlag flag) -> decltype(&p.ident().Flag1) {
  if (p.isEmpty()) return nullptr;
  if (flag == MaintenanceFlag::JaarAfsl) return &p.ident().Flag1;
  if (p.idAt(p.pKoersRec()) != KoersRec::Id) return nullptr;
  return &p.koers().Flag1;
}

template <typename S>
auto& switchOf(S& settings, MaintenanceSwitch which) {
  switch (which) {
    case MaintenanceSwitch::CumFonds:
      return settings.cumFonds;
    case MaintenanceSwitch::ServicePanel:
      return settings.servicePanel;
    case MaintenanceSwitch::Debug:
      return settings.debug;
    case MaintenanceSwitch::LogFile:
      return settings.logFile;
    case MaintenanceSwitch::EditOldDates:
      break;
  }
  return settings.editOldDates;
}

QString sizeLine(const char* label, int bytes) {
  return QStringLiteral("  %1= %2 Bytes").arg(QLatin1String(label)).arg(bytes);
}

}  // namespace

QString FlagCaption(MaintenanceFlag flag) {
  return QString::fromLatin1(specOf(flag).caption);
}

bool FlagState(const Session& session, MaintenanceFlag flag) {
  const quint8* byte = flagByte(session.portfolio(), flag);
  return byte && (*byte & specOf(flag).bit);
}

Outcome SetMaintenanceFlag(Session& session, MaintenanceFlag flag, bool on) {
  Portfolio& p = session.portfolio();
  quint8* byte = flagByte(p, flag);
  if (!byte) return Outcome::stopped();
  const quint8 changed = on ? SetBits(*byte, specOf(flag).bit) : ClearBits(*byte, specOf(flag).bit);
  if (changed != *byte) {
    *byte = changed;
    p.markChanged();
  }
  return Outcome::done();
}

std::optional<MaintenanceFlag> MaintenanceFlagNamed(const QString& name) {
  QString key = name.toLower();
  if (key.endsWith(u'.')) key.chop(1);
  for (const FlagSpec& entry : kFlags)
    if (key == QLatin1String(entry.name)) return entry.flag;
  return std::nullopt;
}

TextId SwitchCaption(MaintenanceSwitch which) {
  switch (which) {
    case MaintenanceSwitch::CumFonds:
      return TextId::ServiceCumFonds;
    case MaintenanceSwitch::ServicePanel:
      return TextId::ServiceServicePanel;
    case MaintenanceSwitch::Debug:
      return TextId::ServiceDebug;
    case MaintenanceSwitch::LogFile:
      return TextId::ServiceLogFile;
    case MaintenanceSwitch::EditOldDates:
      break;
  }
  return TextId::ServiceEditOldDates;
}

bool SwitchState(const Settings& settings, MaintenanceSwitch which) {
  return switchOf(settings, which);
}

void SetMaintenanceSwitch(Session& session, MaintenanceSwitch which, bool on,
                          const QString& traceFolder) {
  bool& value = switchOf(session.settings(), which);
  const bool was = value;
  value = on;
  if (which != MaintenanceSwitch::LogFile || was == on) return;
  // The log starts afresh when switched on, and stops writing at once when
  // switched off.
  if (on && !traceFolder.isEmpty())
    session.startTrace(traceFolder);
  else
    session.trace().setEnabled(on && !session.trace().fileName().isEmpty());
}

std::optional<MemoryStatus> MemoryStatusFromMemInfo(const QByteArray& meminfo) {
  // Lines such as "MemTotal:       16318412 kB".
  std::map<QByteArray, quint64> kilobytes;
  for (const QByteArray& line : meminfo.split('\n')) {
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) continue;
    const QList<QByteArray> words = line.mid(colon + 1).simplified().split(' ');
    bool ok = false;
    const quint64 value = words.value(0).toULongLong(&ok);
    if (ok) kilobytes[line.left(colon)] = value;
  }
  const auto kb = [&kilobytes](const char* key) -> std::optional<quint64> {
    const auto found = kilobytes.find(QByteArray(key));
    if (found == kilobytes.end()) return std::nullopt;
    return found->second * 1024;
  };
  const std::optional<quint64> total = kb("MemTotal");
  const std::optional<quint64> available = kb("MemAvailable");
  if (!total || !available || *total == 0 || *available > *total) return std::nullopt;
  MemoryStatus status;
  status.totalPhysical = *total;
  status.freePhysical = *available;
  status.totalVirtual = *total + kb("SwapTotal").value_or(0);
  status.freeVirtual = *available + kb("SwapFree").value_or(0);
  status.loadPercent = static_cast<int>((*total - *available) * 100 / *total);
  return status;
}

QStringList ServiceMemo(const Session& session, const std::optional<MemoryStatus>& memory) {
  QStringList memo = {session.text(TextId::ServiceMemoryHeading),
                      QString(),
                      sizeLine("IdentRecord       ", kIdentRecordBytes),
                      sizeLine("AlgemeenRecord    ", kAlgemeenRecordBytes),
                      sizeLine("RekeningRecord    ", kRekeningRecordBytes),
                      sizeLine("KoersRecord       ", kKoersRecordBytes),
                      QString()};
  if (!memory) {
    memo << session.text(TextId::ServiceMemoryUnknown);
    return memo;
  }
  const auto bytes = [&session](quint64 value) {
    return FormatAmount(static_cast<double>(value), 0, 0, session.language()) + u'B';
  };
  memo << session.text(TextId::ServicePhysical) + bytes(memory->totalPhysical)
       << session.text(TextId::ServicePhysicalLoad) + QString::number(memory->loadPercent) +
              QStringLiteral(" %")
       << session.text(TextId::ServicePhysicalFree) + bytes(memory->freePhysical)
       << session.text(TextId::ServiceVirtual) + bytes(memory->totalVirtual)
       << session.text(TextId::ServiceVirtualFree) + bytes(memory->freeVirtual);
  return memo;
}

}  // namespace pelmar
