#include "prices/settings_store.h"

#include <QSettings>
#include <QStringList>

namespace pelmar {

QString MemorySettingsStore::key(const QString& section, const QString& name) {
  return section.toLower() + QChar('\n') + name.toLower();
}

QVariant MemorySettingsStore::value(const QString& section, const QString& name) const {
  return values_.value(key(section, name));
}

void MemorySettingsStore::setValue(const QString& section, const QString& name,
                                   const QVariant& value) {
  values_.insert(key(section, name), value);
}

struct QSettingsStore::Impl {
  std::unique_ptr<QSettings> settings;

  // The spelling under which a group or key already exists, compared without
  // regard to case; the asked spelling when there is none.
  static QString existing(const QStringList& present, const QString& wanted) {
    for (const QString& p : present)
      if (p.compare(wanted, Qt::CaseInsensitive) == 0) return p;
    return wanted;
  }
  QString group(const QString& section) const { return existing(settings->childGroups(), section); }
  QString key(const QString& group, const QString& name) const {
    settings->beginGroup(group);
    const QString k = existing(settings->childKeys(), name);
    settings->endGroup();
    return group + QChar('/') + k;
  }
};

QSettingsStore::QSettingsStore() : impl_(std::make_unique<Impl>()) {
#ifdef Q_OS_WIN
  impl_->settings = std::make_unique<QSettings>(
      QStringLiteral("HKEY_CURRENT_USER\\Software\\Pelmar"), QSettings::NativeFormat);
#else
  impl_->settings = std::make_unique<QSettings>(QStringLiteral("Pelmar"), QStringLiteral("Pelmar"));
#endif
}

QSettingsStore::QSettingsStore(const QString& iniFile) : impl_(std::make_unique<Impl>()) {
  impl_->settings = std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
}

QSettingsStore::~QSettingsStore() {
  impl_->settings->sync();
}

QVariant QSettingsStore::value(const QString& section, const QString& name) const {
  return impl_->settings->value(impl_->key(impl_->group(section), name));
}

void QSettingsStore::setValue(const QString& section, const QString& name, const QVariant& value) {
  impl_->settings->setValue(impl_->key(impl_->group(section), name), value);
}

bool QSettingsStore::sync() {
  impl_->settings->sync();
  return impl_->settings->status() == QSettings::NoError;
}

QString QSettingsStore::location() const {
  return impl_->settings->fileName();
}

}  // namespace pelmar
