#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

#include "lang/outcome.h"

namespace pelmar {

// Where the settings live: sections holding named values, as in the
// registry key Software\Pelmar. Section and value names are compared
// without regard to case, as the registry does.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // An invalid QVariant when the value is missing.
  virtual QVariant value(const QString& section, const QString& name) const = 0;
  virtual void setValue(const QString& section, const QString& name, const QVariant& value) = 0;
  // Makes written values durable; false when they could not be written.
  virtual bool sync() { return true; }
  // Why the last sync failed (the disk is full, a link to a device, ...),
  // when the store knows.
  virtual std::optional<Reason> syncFailure() const { return std::nullopt; }
};

// A store in memory, for tests and for the headless tool.
class MemorySettingsStore : public SettingsStore {
 public:
  QVariant value(const QString& section, const QString& name) const override;
  void setValue(const QString& section, const QString& name, const QVariant& value) override;

 private:
  static QString key(const QString& section, const QString& name);
  QMap<QString, QVariant> values_;
};

// The real store: on Windows the registry key HKEY_CURRENT_USER\Software\Pelmar,
// elsewhere the INI file "Pelmar/Pelmar.conf" in the user's configuration
// folder (XDG_CONFIG_HOME redirects it).
//
// The INI file is written by the program's one write path, never by
// QSettings itself (whose final flush fails unseen on a full disk, and which
// replaced a device a link pointed at): values set are kept until sync(),
// which merges them into the file as it is then, in QSettings' own format
// (made in a private folder and read back), and writes the result through
// safe_write. A file, or a link's target, that is no regular file is
// refused with its reason, and so is a file that cannot be read whole.
class QSettingsStore : public SettingsStore {
 public:
  QSettingsStore();
  // An INI file at the given path.
  explicit QSettingsStore(const QString& iniFile);
  ~QSettingsStore() override;

  QVariant value(const QString& section, const QString& name) const override;
  void setValue(const QString& section, const QString& name, const QVariant& value) override;
  bool sync() override;
  std::optional<Reason> syncFailure() const override;

  QString location() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace pelmar
