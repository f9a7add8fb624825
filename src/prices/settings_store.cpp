#include "prices/settings_store.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QtDebug>

#include "model/safe_read.h"
#include "model/safe_write.h"

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

namespace {

// A settings file holds a few dozen lines: anything larger is no settings
// file, and is not read into memory nor written over.
constexpr qint64 kMaxSettingsFile = 16 * 1024 * 1024;

// Whether a value read back from the INI text is the value written.
bool sameValue(const QVariant& written, const QVariant& read) {
  if (!read.isValid()) return false;
  switch (written.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
    case QMetaType::Double:
      return written.toString() == read.toString();
    default:
      return true;
  }
}

}  // namespace

struct QSettingsStore::Impl {
  // Reads the file (or the registry, which it also writes).
  std::unique_ptr<QSettings> settings;
  // The INI file; empty for the registry.
  QString file;
  // Values set since the last sync, under "Group/Key" as they are stored.
  QMap<QString, QVariant> pending;
  std::optional<Reason> failure;
  // A settings file that is no regular file, or too large, is not read (a
  // FIFO would hang, a device fill the memory): the defaults are read from
  // an empty file here instead, and the file is never written over.
  std::unique_ptr<QTemporaryDir> stand_in;

  // The QSettings over the INI file, or over an empty stand-in when the
  // file cannot be read as one.
  void openIni(const QString& iniFile) {
    file = iniFile;
    const safe_read::ReadResult read = safe_read::ReadFile(iniFile, kMaxSettingsFile);
    if (!read.refused) {
      settings = std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
      return;
    }
    failure = read.refused;
    stand_in = std::make_unique<QTemporaryDir>();
    settings = std::make_unique<QSettings>(stand_in->filePath(QStringLiteral("Pelmar.conf")),
                                           QSettings::IniFormat);
  }

  // The spelling under which a group or key already exists, compared without
  // regard to case; the asked spelling when there is none.
  static QString existing(const QStringList& present, const QString& wanted) {
    for (const QString& p : present)
      if (p.compare(wanted, Qt::CaseInsensitive) == 0) return p;
    return wanted;
  }
  QString group(const QString& section) const {
    QStringList present = settings->childGroups();
    for (auto it = pending.keyBegin(); it != pending.keyEnd(); ++it)
      present << it->section(QChar('/'), 0, 0);
    return existing(present, section);
  }
  QString key(const QString& group, const QString& name) const {
    settings->beginGroup(group);
    QStringList present = settings->childKeys();
    settings->endGroup();
    const QString prefix = group + QChar('/');
    for (auto it = pending.keyBegin(); it != pending.keyEnd(); ++it)
      if (it->startsWith(prefix)) present << it->mid(prefix.size());
    return prefix + existing(present, name);
  }

  Outcome syncFile();
};

// The file's new text: its present text with the pending values merged in by
// QSettings in a private folder, read back and checked, then written.
Outcome QSettingsStore::Impl::syncFile() {
  QString target;
  if (Outcome place = safe_write::ResolveTarget(file, target, true); !place) return place;
  const safe_read::ReadResult read = safe_read::ReadFile(target, kMaxSettingsFile);
  if (read.refused)
    return Outcome::failed(Reason{TextId::WriteSourceUnreadable, {file}}.because(*read.refused));
  const QByteArray present = read.bytes;
  const QTemporaryDir scratch;
  const QString draft = scratch.filePath(QStringLiteral("Pelmar.conf"));
  const Reason draftFailed{TextId::WriteFailed, {file, scratch.path()}};
  if (!scratch.isValid()) return Outcome::failed(draftFailed);
  {
    QFile out(draft);
    if (!out.open(QIODevice::WriteOnly) || out.write(present) != present.size() || !out.flush())
      return Outcome::failed(draftFailed);
  }
  {
    QSettings ini(draft, QSettings::IniFormat);
    for (auto it = pending.constBegin(); it != pending.constEnd(); ++it)
      ini.setValue(it.key(), it.value());
    ini.sync();
    if (ini.status() != QSettings::NoError) return Outcome::failed(draftFailed);
  }
  QFile made(draft);
  if (!made.open(QIODevice::ReadOnly)) return Outcome::failed(draftFailed);
  const QByteArray text = made.readAll();
  if (made.error() != QFileDevice::NoError) return Outcome::failed(draftFailed);
  {
    // Read back: every value set is in the text (a draft cut short on a
    // full scratch disk never reaches the file).
    QSettings check(draft, QSettings::IniFormat);
    for (auto it = pending.constBegin(); it != pending.constEnd(); ++it)
      if (!sameValue(it.value(), check.value(it.key()))) return Outcome::failed(draftFailed);
  }
  return safe_write::WriteFile(file, text);
}

QSettingsStore::QSettingsStore() : impl_(std::make_unique<Impl>()) {
#ifdef Q_OS_WIN
  impl_->settings = std::make_unique<QSettings>(
      QStringLiteral("HKEY_CURRENT_USER\\Software\\Pelmar"), QSettings::NativeFormat);
#else
  // Where QSettings keeps the user's file; read only through openIni.
  // (QSettings' own file for organisation and program "Pelmar".)
  const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       QStringLiteral("/Pelmar/Pelmar.conf");
  impl_->openIni(path);
#endif
}

QSettingsStore::QSettingsStore(const QString& iniFile) : impl_(std::make_unique<Impl>()) {
  impl_->openIni(iniFile);
}

QSettingsStore::~QSettingsStore() {
  if (impl_->file.isEmpty()) {
    impl_->settings->sync();
  } else if (!impl_->pending.isEmpty() && !sync()) {
    qWarning().noquote()
        << Reason{TextId::SettingsNotSaved}.because(*impl_->failure).text(Language());
  }
}

QVariant QSettingsStore::value(const QString& section, const QString& name) const {
  const QString key = impl_->key(impl_->group(section), name);
  const auto pending = impl_->pending.constFind(key);
  if (pending != impl_->pending.constEnd()) return *pending;
  return impl_->settings->value(key);
}

void QSettingsStore::setValue(const QString& section, const QString& name, const QVariant& value) {
  const QString key = impl_->key(impl_->group(section), name);
  if (impl_->file.isEmpty())
    impl_->settings->setValue(key, value);
  else
    impl_->pending.insert(key, value);
}

bool QSettingsStore::sync() {
  impl_->failure.reset();
  if (impl_->file.isEmpty()) {
    impl_->settings->sync();
    if (impl_->settings->status() == QSettings::NoError) return true;
    impl_->failure = Reason{TextId::WriteNoPermission, {impl_->settings->fileName()}};
    return false;
  }
  if (impl_->pending.isEmpty()) return true;
  if (Outcome written = impl_->syncFile(); !written) {
    impl_->failure = *written.reason();
    return false;
  }
  impl_->pending.clear();
  // The reader takes the file as written.
  impl_->settings->sync();
  return true;
}

std::optional<Reason> QSettingsStore::syncFailure() const {
  return impl_->failure;
}

QString QSettingsStore::location() const {
  return impl_->settings->fileName();
}

}  // namespace pelmar
