#include "prices/price_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringView>
#include <QtDebug>
#include <algorithm>
#include <chrono>
#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "model/conversions.h"
#include "model/file_lock.h"
#include "model/safe_read.h"
#include "model/safe_write.h"

namespace pelmar {
namespace {

// A stamp this close to the moment it was taken may hide a later change
// within the file system's time resolution; such a cache entry is checked
// again at the next refresh.
constexpr qint64 kRacyMilliseconds = 2000;

constexpr std::chrono::milliseconds kSaveRetryPause{10};

// The day of a date as the number yymmdd that names its file.
int dayKey(QDate day) {
  const int year = (day.year() % 100 + 100) % 100;
  return year * 10000 + day.month() * 100 + day.day();
}

bool isSixDigits(QStringView text) {
  return text.size() == 6 &&
         std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The day number of a daily file name ("240105A.csv" in any case), or -1.
int dayKeyOfFileName(QStringView name) {
  if (name.size() != 11 || !isSixDigits(name.first(6)) ||
      name.sliced(6).compare(u"a.csv", Qt::CaseInsensitive) != 0) {
    return -1;
  }
  return name.first(6).toInt();
}

bool isRacy(const QDateTime& stamp, const QDateTime& takenAt) {
  return stamp.msecsTo(takenAt) < kRacyMilliseconds;
}

// The lines of a text file, without line ends (CR LF or LF) and without
// empty lines, which carry no price.
QStringList splitLines(const QString& text) {
  QStringList lines;
  for (QStringView line : QStringView(text).split(u'\n')) {
    if (line.endsWith(u'\r')) line.chop(1);
    if (!line.isEmpty()) lines.append(line.toString());
  }
  return lines;
}

// The stored line of a download line "yymmdd,price": name, ticker,
// "yy/mm/dd" and the price text joined by commas. Empty when the download
// line has no six-digit date, so that it can never name a file elsewhere.
QString storedLine(const QString& name, const QString& ticker, const QString& downloadLine) {
  const qsizetype comma = downloadLine.indexOf(u',');
  const QStringView date = QStringView(downloadLine).left(comma);
  if (comma < 0 || !isSixDigits(date)) return QString();
  return QStringLiteral("%1,%2,%3/%4/%5,%6")
      .arg(name, ticker, date.first(2), date.sliced(2, 2), date.sliced(4, 2),
           QStringView(downloadLine).sliced(comma + 1));
}

// A price text as a number. Read as bytes: only a price in an unusual
// shape goes through StrToReal.
double priceOfText(std::string_view text) {
  const std::optional<double> plain = ReadStoredNumber(text);
  return plain ? *plain
               : StrToReal(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

// Where the ticker of a daily file's line ends: its second comma (the
// ticker lies between the first and the second); npos when the line has no
// ticker.
std::size_t tickerEnd(std::string_view line) {
  const std::size_t first = line.find(',');
  return first == std::string_view::npos ? first : line.find(',', first + 1);
}

// The price of a daily file's line whose ticker ends at `second`: the text
// after the third comma, with a trailing "X" dropped; 0 when there is none.
double linePrice(std::string_view line, std::size_t second) {
  if (second == std::string_view::npos) return 0.0;
  if (line.ends_with('X')) line.remove_suffix(1);
  const std::size_t third = line.find(',', second + 1);
  return third == std::string_view::npos ? 0.0 : priceOfText(line.substr(third + 1));
}

}  // namespace

PriceStore::PriceStore(const QString& folder) {
  setFolder(folder);
}

void PriceStore::setFolder(const QString& folder) {
  QString normal = QDir::fromNativeSeparators(folder);
  if (!normal.isEmpty() && !normal.endsWith(u'/')) normal.append(u'/');
  // What a batch changed belongs to the old folder: the change waits until
  // its owner has flushed it and the folder's lock is released.
  if (batchOpen_ || lockDepth_ > 0) {
    pendingFolder_ = normal;
    return;
  }
  pendingFolder_.reset();
  if (normal == folder_) return;
  folder_ = normal;
  latestDays_ = {};
  listed_ = false;
  files_.clear();
  fileDaysStale_ = true;
  parsed_.clear();
}

QString PriceStore::dayFileName(QDate day) {
  return QStringLiteral("%1A.csv").arg(dayKey(day), 6, 10, QChar(u'0'));
}

void PriceStore::refresh() {
  for (auto it = parsed_.begin(); it != parsed_.end();) {
    const QFileInfo info(it->path);
    const bool same = !it->racy && info.exists() && info.lastModified() == it->modified &&
                      info.size() == it->size;
    it = same ? std::next(it) : parsed_.erase(it);
  }
  if (!listed_) return;
  const QFileInfo folderInfo(folder_);
  if (listingRacy_ || folderInfo.lastModified() != folderModified_) list();
}

void PriceStore::ensureListed() {
  if (!listed_) list();
}

void PriceStore::list() {
  const QDateTime now = QDateTime::currentDateTime();
  files_.clear();
  fileDaysStale_ = true;
  listed_ = true;
  folderModified_ = QDateTime();
  listingRacy_ = false;
  if (folder_.isEmpty()) return;
  const QFileInfo folderInfo(folder_);
  if (!folderInfo.isDir()) return;
  folderModified_ = folderInfo.lastModified();
  listingRacy_ = isRacy(folderModified_, now);
  // Sorted by name, so that when one day has files in two spellings (only
  // possible on a case-sensitive file system) the same one is always taken.
  const QStringList names = QDir(folder_).entryList(QDir::Files, QDir::Name);
  for (const QString& name : names) {
    const int key = dayKeyOfFileName(name);
    if (key >= 0 && !files_.contains(key)) files_.insert(key, folder_ + name);
  }
  for (auto it = parsed_.begin(); it != parsed_.end();) {
    it = files_.value(it.key()) == it->path ? std::next(it) : parsed_.erase(it);
  }
}

QString PriceStore::existingFile(int dayKey) {
  ensureListed();
  return files_.value(dayKey);
}

namespace {

// The ticker as the ids key it: ISO-8859-1 in lower case, as QString's
// toLower() gives for those characters. A usual ticker is kept on the
// stack and looked up through a raw view, so a look-up allocates nothing.
class LowerTicker {
 public:
  explicit LowerTicker(std::string_view ticker) {
    char* out = reserve(ticker.size());
    for (const char c : ticker) {
      const auto u = static_cast<unsigned char>(c);
      const bool upper = (u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7);
      *out++ = static_cast<char>(upper ? u + 32 : u);
    }
  }
  // A ticker typed in the program: an ASCII one is lowered here, any other
  // as QString lowers it.
  explicit LowerTicker(const QString& ticker) {
    char* out = reserve(static_cast<std::size_t>(ticker.size()));
    for (const QChar c : ticker) {
      const char16_t u = c.unicode();
      if (u >= 0x80) {
        const QByteArray lowered = ticker.toLower().toLatin1();
        heap_.assign(lowered.constData(), static_cast<std::size_t>(lowered.size()));
        data_ = heap_.data();
        size_ = heap_.size();
        return;
      }
      *out++ = static_cast<char>(u >= 'A' && u <= 'Z' ? u + 32 : u);
    }
  }
  Q_DISABLE_COPY_MOVE(LowerTicker)

  // Valid while this object lives; a key stored for good is copied.
  QByteArray view() const { return QByteArray::fromRawData(data_, static_cast<qsizetype>(size_)); }

 private:
  char* reserve(std::size_t size) {
    size_ = size;
    if (size > sizeof stack_) heap_.resize(size);
    data_ = size > sizeof stack_ ? heap_.data() : stack_;
    return data_;
  }

  char stack_[32];
  std::string heap_;
  char* data_ = stack_;
  std::size_t size_ = 0;
};

}  // namespace

void PriceStore::ParseDayFile(const QByteArray& bytes,
                              const std::function<void(std::string_view, double)>& line) {
  // Lines: name, ticker, date, price. The ticker lies between the first and
  // the second comma; a line without both commas has no ticker.
  const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view current = text.substr(start, end - start);
    start = end + 1;
    if (current.ends_with('\r')) current.remove_suffix(1);
    const std::size_t second = tickerEnd(current);
    if (second == std::string_view::npos) continue;
    const std::size_t first = current.find(',');
    const LowerTicker lowered(current.substr(first + 1, second - first - 1));
    const QByteArray lower = lowered.view();
    line(std::string_view(lower.constData(), static_cast<std::size_t>(lower.size())),
         linePrice(current, second));
  }
}

int PriceStore::tickerId(const QByteArray& lowerTicker) {
  const auto it = tickerIds_.constFind(lowerTicker);
  if (it != tickerIds_.constEnd()) return *it;
  const int id = static_cast<int>(tickerIds_.size());
  // A deep copy: the key looked up may be a view of a caller's buffer.
  tickerIds_.insert(QByteArray(lowerTicker.constData(), lowerTicker.size()), id);
  return id;
}

const PriceStore::DayFile* PriceStore::dayFile(int dayKey) {
  const auto cached = parsed_.constFind(dayKey);
  if (cached != parsed_.constEnd()) return &*cached;
  const QString path = existingFile(dayKey);
  if (path.isEmpty()) return nullptr;

  // An unreadable file counts as a file without prices; it is not cached,
  // so it is read once it can be.
  static const DayFile kUnreadable;
  const QDateTime now = QDateTime::currentDateTime();
  const QFileInfo info(path);
  const std::optional<QByteArray> read = readBounded(path);
  if (!read) return &kUnreadable;
  DayFile day;
  day.path = path;
  day.modified = info.lastModified();
  day.size = info.size();
  day.racy = isRacy(day.modified, now);

  ParseDayFile(*read, [&](std::string_view lowerTicker, double price) {
    day.prices.emplace_back(tickerId(QByteArray::fromRawData(
                                lowerTicker.data(), static_cast<qsizetype>(lowerTicker.size()))),
                            price);
  });
  // The first line of a ticker counts, as when reading from the top.
  std::stable_sort(day.prices.begin(), day.prices.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  day.prices.erase(std::unique(day.prices.begin(), day.prices.end(),
                               [](const auto& a, const auto& b) { return a.first == b.first; }),
                   day.prices.end());
  return &*parsed_.insert(dayKey, std::move(day));
}

const std::vector<std::pair<qint64, int>>& PriceStore::fileDays() {
  ensureListed();
  if (!fileDaysStale_) return fileDays_;
  fileDays_.clear();
  for (auto it = files_.constBegin(); it != files_.constEnd(); ++it) {
    const int key = it.key();
    for (int century = 1800; century <= 2100; century += 100) {
      const QDate day(century + key / 10000, key / 100 % 100, key % 100);
      if (day.isValid()) fileDays_.emplace_back(day.toJulianDay(), key);
    }
  }
  std::sort(fileDays_.begin(), fileDays_.end());
  fileDaysStale_ = false;
  return fileDays_;
}

// Looks for the file of the date and of each of the 100 days before it, as
// a walk back day by day would: the latest listed day in that window is the
// file found, and the date moves to it (or 100 days back when none is).
double PriceStore::FindFilePrice(const QString& ticker, QDate& date) {
  if (!date.isValid()) return kNotFound;
  const auto& days = fileDays();
  const qint64 last = date.toJulianDay();
  const auto after =
      std::upper_bound(days.begin(), days.end(), std::pair<qint64, int>(last, INT_MAX));
  if (after == days.begin() || std::prev(after)->first < last - 100) {
    date = date.addDays(-100);
    return kNotFound;
  }
  const auto found = std::prev(after);
  date = QDate::fromJulianDay(found->first);
  const DayFile* day = dayFile(found->second);
  if (day == nullptr) return kNotFound;
  const auto id = tickerIds_.constFind(LowerTicker(ticker).view());
  if (id == tickerIds_.constEnd()) return kNotFound;
  const auto it = std::lower_bound(day->prices.begin(), day->prices.end(), *id,
                                   [](const auto& entry, int key) { return entry.first < key; });
  return it != day->prices.end() && it->first == *id ? it->second : kNotFound;
}

double PriceStore::GetFilePrice(const QString& ticker, QDate date) {
  return GetFilePriceOn(ticker, date).price;
}

PriceStore::FilePrice PriceStore::GetFilePriceOn(const QString& ticker, QDate date) {
  double price = FindFilePrice(ticker, date);
  for (int calls = 1; price < 0 && calls < 6; ++calls) {
    date = date.addDays(-1);
    price = FindFilePrice(ticker, date);
  }
  // FindFilePrice leaves the date on the file it read the price from.
  if (price > 0.0001) return {price, date};
  return {};
}

QDate PriceStore::NewestFileDay(QDate today) {
  const auto& days = fileDays();
  const auto after = std::upper_bound(days.begin(), days.end(),
                                      std::pair<qint64, int>(today.toJulianDay(), INT_MAX));
  return after == days.begin() ? QDate() : QDate::fromJulianDay(std::prev(after)->first);
}

bool PriceStore::StorePrices(const QString& name, const QString& ticker,
                             const QStringList& downloadLines, int extraDays) {
  // A missing or read-only folder fails every save: say so at once instead
  // of retrying every line.
  const QFileInfo folderInfo(folder_);
  if (folder_.isEmpty() || !folderInfo.isDir() || !folderInfo.isWritable()) return false;
  if (batchOpen_) return stagePrices(name, ticker, downloadLines, extraDays);
  // On its own the call is a batch of one stock: each file is read and
  // saved once.
  if (!openBatch().ok()) return false;
  const bool put = stagePrices(name, ticker, downloadLines, extraDays);
  const FlushResult flushed = flushBatch();
  return put && !flushed.nothingStored.contains(TrimRightBlanks(name));
}

bool PriceStore::stagePrices(const QString& name, const QString& ticker,
                             const QStringList& downloadLines, int extraDays) {
  bool stored = false;
  const QString storedName = TrimRightBlanks(name);
  int count = 0;
  for (qsizetype i = downloadLines.size() - 1; i >= 0 && count <= extraDays; --i) {
    const QString line = storedLine(storedName, ticker, downloadLines.at(i));
    if (line.isEmpty()) continue;
    const QStringView date = QStringView(downloadLines.at(i)).first(6);
    const int key = date.toInt();
    auto changed = batch_.find(key);
    // An existing file: on disk, or made by this batch.
    const bool existing = changed != batch_.end() || !existingFile(key).isEmpty();
    if (changed == batch_.end()) {
      ChangedFile file;
      file.path =
          existing ? existingFile(key) : folder_ + date.toString() + QStringLiteral("A.csv");
      // A file that cannot be read is not rewritten: its lines would be lost.
      if (existing && !readChanged(file)) continue;
      changed = batch_.insert(key, std::move(file));
    }
    putLine(*changed, storedName, line);
    // A new file does not count towards the extra days; the flag tells
    // whether anything at all was written.
    if (existing) ++count;
    stored = true;
  }
  return stored;
}

QStringList PriceStore::ChangedPrices(const QString& name, const QStringList& downloadLines) {
  const QString storedName = TrimRightBlanks(name);
  QStringList changed;
  for (const QString& download : downloadLines) {
    const qsizetype comma = download.indexOf(u',');
    const QStringView date = QStringView(download).left(comma);
    if (comma < 0 || !isSixDigits(date)) continue;
    ChangedFile file;
    file.path = existingFile(date.toInt());
    // No file, or one StorePrices leaves alone because it cannot be read.
    if (file.path.isEmpty() || !readChanged(file)) continue;
    const auto line = file.lineOfName.constFind(storedName);
    if (line == file.lineOfName.constEnd()) continue;
    const QByteArray stored = file.lines.at(*line).toLatin1();
    const std::string_view storedView(stored.constData(), static_cast<std::size_t>(stored.size()));
    const QByteArray price = QStringView(download).sliced(comma + 1).toLatin1();
    if (linePrice(storedView, tickerEnd(storedView)) !=
        priceOfText(std::string_view(price.constData(), static_cast<std::size_t>(price.size()))))
      changed << download;
  }
  return changed;
}

Outcome PriceStore::lockFolder(std::chrono::milliseconds wait) {
  if (lockDepth_ > 0) {
    ++lockDepth_;
    return Outcome::done();
  }
  if (!folder_.isEmpty() && QFileInfo(folder_).isDir()) {
    auto lock = std::make_unique<FileLock>(folder_ + QLatin1String(kLockFileName));
    switch (lock->take(wait)) {
      case FileLock::Result::Taken:
        folderLock_ = std::move(lock);
        break;
      case FileLock::Result::NotPossible:
        // No lock file can be made here: neither can a price file, and
        // those writes say why.
        break;
      case FileLock::Result::HeldByOther:
        if (trace_) trace_->Log(QStringLiteral("PriceStore - map in gebruik: ") + folder_);
        return Outcome::failed(Reason{TextId::PriceFolderInUse,
                                      QStringList{QDir::toNativeSeparators(folder_)} +
                                          lock->holder().args(QStringLiteral("?")),
                                      folder_});
    }
  }
  ++lockDepth_;
  return Outcome::done();
}

void PriceStore::unlockFolder() {
  if (lockDepth_ == 0 || --lockDepth_ > 0) return;
  folderLock_.reset();
  if (pendingFolder_ && !batchOpen_) {
    const QString folder = *pendingFolder_;
    setFolder(folder);
  }
}

Outcome PriceStore::openBatch(std::chrono::milliseconds wait) {
  if (batchOpen_) return Outcome::done();
  if (Outcome locked = lockFolder(wait); !locked) return locked;
  batchOpen_ = true;
  batchLocked_ = true;
  return Outcome::done();
}

PriceStore::FlushResult PriceStore::flushBatch() {
  FlushResult result;
  QSet<QString> staged;
  QSet<QString> written;
  bool diskFailed = false;
  // In day order, so that failed files are named in order.
  QList<int> keys = batch_.keys();
  std::sort(keys.begin(), keys.end());
  for (const int key : keys) {
    ChangedFile& file = batch_[key];
    staged.unite(file.names);
    // A full or read-only disk fails every further file alike.
    const Outcome saved = diskFailed ? Outcome::stopped() : saveChanged(file);
    if (saved) {
      written.unite(file.names);
      continue;
    }
    result.failedFiles.append(file.path);
    if (saved.reason()) {
      if (!result.cause) result.cause = saved.reason();
      diskFailed = safe_write::IsDiskFailure(*saved.reason());
      if (trace_) {
        trace_->Log(QStringLiteral("PriceStore - niet opgeslagen: ") + file.path +
                    QStringLiteral(" - ") + saved.reason()->text(Language()));
      }
    }
  }
  for (const QString& name : staged)
    if (!written.contains(name)) result.nothingStored.append(name);
  result.nothingStored.sort();
  batch_.clear();
  batchOpen_ = false;
  if (batchLocked_) {
    batchLocked_ = false;
    unlockFolder();
  }
  return result;
}

PriceStore::~PriceStore() {
  if (!batchOpen_) return;
  // The batch's owner should have flushed it; what it could not write is
  // reported where a destructor can.
  const FlushResult flushed = flushBatch();
  if (flushed.ok()) return;
  const QString files = flushed.failedFiles.join(QStringLiteral(", "));
  if (trace_)
    trace_->Log(QStringLiteral("PriceStore - bij het afsluiten niet opgeslagen: ") + files);
  qWarning().noquote() << Reason{TextId::PriceFilesNotSaved, {files}}.text(Language());
}

bool PriceStore::stageLine(int dayKey, const QString& path, const QString& name,
                           const QString& line) {
  auto changed = batch_.find(dayKey);
  if (changed == batch_.end()) {
    ChangedFile file;
    file.path = path;
    // A file that cannot be read is not rewritten: its lines would be lost.
    if (QFileInfo::exists(path) && !readChanged(file)) return false;
    changed = batch_.insert(dayKey, std::move(file));
  }
  putLine(*changed, name, line);
  return true;
}

bool PriceStore::UpdatePriceFile(const QString& name, const QString& ticker,
                                 const QString& fileName, const QString& downloadLine) {
  const QString line = storedLine(name, ticker, downloadLine);
  if (line.isEmpty()) return false;
  const int key = dayKeyOfFileName(QFileInfo(fileName).fileName());
  if (batchOpen_ && key >= 0 && (batch_.contains(key) || QFileInfo::exists(fileName)))
    return stageLine(key, batch_.contains(key) ? batch_[key].path : fileName, name, line);
  // Read and written under the folder's lock, so no other program's batch
  // saves an older copy over it.
  PriceFolderLock lock(*this, kQuoteLockWait);
  if (!lock.outcome().ok()) return false;
  ChangedFile file;
  file.path = fileName;
  if (!readChanged(file)) return false;
  putLine(file, name, line);
  return saveChanged(file).ok();
}

bool PriceStore::CreatePriceFile(const QString& name, const QString& ticker,
                                 const QString& fileName, const QString& downloadLine) {
  const QString line = storedLine(name, ticker, downloadLine);
  if (line.isEmpty()) return false;
  const int key = dayKeyOfFileName(QFileInfo(fileName).fileName());
  if (batchOpen_ && key >= 0)
    return stageLine(key, batch_.contains(key) ? batch_[key].path : fileName, name, line);
  PriceFolderLock lock(*this, kQuoteLockWait);
  if (!lock.outcome().ok()) return false;
  ChangedFile file;
  file.path = fileName;
  putLine(file, name, line);
  return saveChanged(file).ok();
}

bool PriceStore::readChanged(ChangedFile& file) {
  const std::optional<QByteArray> bytes = readBounded(file.path);
  if (!bytes) return false;
  file.lines = splitLines(QString::fromLatin1(*bytes));
  // From the end, so that the first line of a name is the one kept.
  for (qsizetype i = file.lines.size() - 1; i >= 0; --i) {
    const QString& line = file.lines.at(i);
    file.lineOfName.insert(line.left(line.indexOf(u',')), i);
  }
  return true;
}

void PriceStore::putLine(ChangedFile& file, const QString& name, const QString& line) {
  const auto same = file.lineOfName.constFind(name);
  if (same != file.lineOfName.constEnd()) {
    file.lines[*same] = line;
  } else {
    file.lineOfName.insert(name, file.lines.size());
    file.lines.append(line);
  }
  file.names.insert(name);
}

Outcome PriceStore::saveChanged(ChangedFile& file) {
  std::stable_sort(file.lines.begin(), file.lines.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  return save(file.path, file.lines);
}

std::optional<QByteArray> PriceStore::readBounded(const QString& path) {
  safe_read::ReadResult read = safe_read::ReadFile(path, kMaxFileSize);
  if (!read.read()) {
    if (trace_) trace_->Log(QStringLiteral("PriceStore - overgeslagen: ") + path);
    return std::nullopt;
  }
  return std::move(read.bytes);
}

QString PriceStore::dayFilePath(QDate day) {
  const QString existing = existingFile(dayKey(day));
  return existing.isEmpty() ? folder_ + dayFileName(day) : existing;
}

Outcome PriceStore::save(const QString& fileName, const QStringList& lines) {
  // Lines end in CR LF, as the files have always been written.
  QByteArray bytes;
  for (const QString& line : lines) {
    bytes += line.toLatin1();
    bytes += "\r\n";
  }
  safe_write::Options options;
  options.attempts = kSaveAttempts;
  options.pause = kSaveRetryPause;
  Outcome saved = safe_write::WriteFile(fileName, bytes, options);
  if (saved) noteWritten(fileName);
  return saved;
}

void PriceStore::noteWritten(const QString& fileName) {
  const QFileInfo info(fileName);
  const int key = dayKeyOfFileName(info.fileName());
  const bool inFolder = key >= 0 && fileName.size() == folder_.size() + info.fileName().size() &&
                        fileName.startsWith(folder_);
  if (!inFolder) {
    // Written somewhere the cache cannot place it: read everything anew.
    listed_ = false;
    parsed_.clear();
    return;
  }
  parsed_.remove(key);
  if (listed_) {
    files_.insert(key, fileName);
    fileDaysStale_ = true;
  }
}

LatestPriceDays PriceStore::ParseLastPrices(const QByteArray& bytes) {
  const auto dayOf = [](const QByteArray& line) {
    const qsizetype colon = line.indexOf(':');
    if (colon < 0) return qint64(0);
    const QByteArray value = line.mid(colon + 1).trimmed();
    bool ok = false;
    const qint64 day = value.toLongLong(&ok);
    // A day serial of the years 1900 to 2200; anything else is no day.
    return ok && day > 0 && day < 110000 ? day : 0;
  };
  const QList<QByteArray> lines = bytes.split('\n');
  return {dayOf(lines.value(0)), dayOf(lines.value(1))};
}

LatestPriceDays PriceStore::latestPriceDays() {
  const QString path = folder_ + QStringLiteral("Last Prices.txt");
  const QFileInfo info(path);
  const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
  const qint64 size = info.exists() ? info.size() : -1;
  if (latestDays_.trusted && latestDays_.modified == modified && latestDays_.size == size)
    return latestDays_.days;

  LatestPriceDays days;
  // Two short lines: a larger file, a FIFO or a device is no such file.
  const safe_read::ReadResult read = safe_read::ReadFile(path, kMaxLastPricesFile);
  if (read.read()) days = ParseLastPrices(read.bytes);
  // A stamp taken too close to the change it might hide is not trusted.
  latestDays_ = {days, modified, size, !isRacy(modified, QDateTime::currentDateTime())};
  return days;
}

}  // namespace pelmar
