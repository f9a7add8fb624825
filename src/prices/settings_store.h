#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <memory>

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
class QSettingsStore : public SettingsStore {
 public:
  QSettingsStore();
  // An INI file at the given path.
  explicit QSettingsStore(const QString& iniFile);
  ~QSettingsStore() override;

  QVariant value(const QString& section, const QString& name) const override;
  void setValue(const QString& section, const QString& name, const QVariant& value) override;
  bool sync() override;

  QString location() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace pelmar
