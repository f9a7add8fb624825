#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "lang/outcome.h"
#include "model/trace_log.h"

namespace pelmar {

class FileLock;

// The latest download days (date serials) of the Dutch and the US stock
// list, as "Last Prices.txt" of the price folder holds them; 0 when unknown.
struct LatestPriceDays {
  qint64 dutch = 0;
  qint64 us = 0;
};

// The daily price files of the price folder: one comma-separated text file
// per trading day, named yymmdd + "A.csv" (any case), ISO-8859-1 on disk,
// one sorted line "Name,Ticker,yy/mm/dd,price" per stock.
//
// Every price look-up and every write goes through one store, which keeps
// the folder listing and each parsed file in memory. Its own writes update
// the cache at once; files changed by another program are noticed by
// refresh(), which each command calls when it starts.
class PriceStore {
 public:
  // Looked-up prices below zero mean "not found".
  static constexpr double kNotFound = -1.0;
  // A failed save is tried again, at most this many attempts in all.
  static constexpr int kSaveAttempts = 11;
  // A daily file holds a line per ticker: a file larger than this (or no
  // regular file, say a link to a device) is no price file and is skipped.
  static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;
  // "Last Prices.txt" holds two short lines.
  static constexpr qint64 kMaxLastPricesFile = 4096;
  // One writer per price folder: the lock file in the folder, and how long
  // a batch (a download, an import) and a live quote wait for another
  // program's batch to end.
  static constexpr const char* kLockFileName = "Pelmar.lock";
  static constexpr std::chrono::milliseconds kFolderLockWait{30000};
  static constexpr std::chrono::milliseconds kQuoteLockWait{2000};

  explicit PriceStore(const QString& folder = QString());
  ~PriceStore();
  Q_DISABLE_COPY_MOVE(PriceStore)

  // The price folder, always ending in "/". Changing it drops the cache;
  // while a batch is open or the folder is locked the change waits until
  // the batch is flushed and the lock released (the batch belongs to its
  // folder, and its owner gets the flush result).
  const QString& folder() const { return folder_; }
  // Where skipped files are traced; none by default.
  void setTrace(TraceLog* trace) { trace_ = trace; }
  void setFolder(const QString& folder);

  // Reads the text of a daily file: for every line with a ticker, the
  // ticker in lower case and its price (0 when there is none), in file
  // order. The store's reader, and the fuzz target's way in.
  static void ParseDayFile(const QByteArray& bytes,
                           const std::function<void(std::string_view, double)>& line);

  // The file name of a day's price file: yymmdd + "A.csv".
  static QString dayFileName(QDate day);

  // Drops the cached listing and parsed files that no longer match the disk
  // (folder and file modification times and sizes). Cheap when nothing changed.
  void refresh();

  // The price of the ticker in the newest daily file of `date` or one of the
  // 100 days before it; kNotFound when there is no such file or the file
  // has no line for the ticker. `date` moves to the last day looked at.
  double FindFilePrice(const QString& ticker, QDate& date);
  // FindFilePrice on the date and, while not found, on the day before the
  // last file looked at, six calls at most. A price above 0.0001, else 0.
  double GetFilePrice(const QString& ticker, QDate date);
  // GetFilePrice with the day of the daily file the price was found in (an
  // invalid day, and the price 0, when none holds one).
  struct FilePrice {
    double price = 0;
    QDate day;
  };
  FilePrice GetFilePriceOn(const QString& ticker, QDate date);
  // The day of the newest daily file up to `today`; invalid when there is none.
  QDate NewestFileDay(QDate today);

  // Writes a download list (lines "yymmdd,price", oldest first) into the
  // daily files, newest line first; stops after `extraDays` existing files
  // were updated beyond the first. Returns the stored flag: whether at least
  // one line was written. Inside a batch the lines are only put into the
  // batch's files (a file made earlier in the batch counts as existing), and
  // the flag says whether a line was put in; flushBatch() tells what reached
  // the disk.
  bool StorePrices(const QString& name, const QString& ticker, const QStringList& downloadLines,
                   int extraDays);
  // The download lines by which StorePrices would give a stored price of
  // `name` another value: the day's file on disk has a line of that name,
  // the one StorePrices replaces, with a different price. Prices are
  // compared as numbers ("12.50" is 12.5). In the list's order. Asked
  // before a batch is opened: the batch's unsaved lines are not seen.
  QStringList ChangedPrices(const QString& name, const QStringList& downloadLines);

  // The folder's lock for a group of writes, waiting at most `wait` for
  // another program's; calls nest. Fails (PriceFolderInUse, naming the
  // holder) when another program keeps it; a folder where no lock file can
  // be made (missing, read-only, full) is written without one, and its
  // writes say why they fail.
  Outcome lockFolder(std::chrono::milliseconds wait = kFolderLockWait);
  void unlockFolder();

  // Grouped writes. A download stores a year of 300 stocks as 300 lists of
  // the same 250 days: written per stock, each day's file would be saved
  // durably 300 times. Between openBatch() and flushBatch() StorePrices
  // changes the files in memory, and the flush saves each changed file
  // once, as durably as any save. Reads see the disk, so the batch's prices
  // are seen once flushed. A batch holds the folder's lock from its opening
  // to its flush, so no other program's batch reads a file in between.
  // Writes into the folder while a batch is open (a live quote's lines)
  // join the batch. Destroying the store flushes an open batch and
  // reports a failure in the trace log and on the error stream.
  Outcome openBatch(std::chrono::milliseconds wait = kFolderLockWait);
  bool batchOpen() const { return batchOpen_; }
  // What a flush could not write; the files named were left as they were.
  struct FlushResult {
    QStringList failedFiles;
    // Stored names (as StorePrices trimmed them) none of whose lines of
    // the batch reached the disk.
    QStringList nothingStored;
    // Why the first file failed (the disk is full, ...).
    std::optional<Reason> cause;
    bool ok() const { return failedFiles.isEmpty(); }
  };
  // Saves every file the batch changed, each once, closes the batch and
  // releases its lock. After a failure of the disk itself (full, read-only)
  // the files still to be saved are not tried and count as failed.
  FlushResult flushBatch();
  // Puts the line of `name` into an existing daily file, replacing the line
  // that already holds that name, and keeps the lines sorted. False when the
  // file could not be read or saved; the file is then left as it was.
  // Inside a batch the line joins the batch (true when it was put in).
  bool UpdatePriceFile(const QString& name, const QString& ticker, const QString& fileName,
                       const QString& downloadLine);
  // The days of "Last Prices.txt", read once and again only when the file
  // changed on disk.
  LatestPriceDays latestPriceDays();
  // The days of the text of "Last Prices.txt": the whole number after the
  // first ":" of each of its two lines; 0 for a line without one.
  static LatestPriceDays ParseLastPrices(const QByteArray& bytes);

  // The daily file of that day as it exists (in whatever case), or the
  // name a new one gets in the price folder.
  QString dayFilePath(QDate day);

  // Makes a new daily file with the single line (inside a batch: joins it,
  // into the batch's file of that day when it has one). False when it
  // could not be saved.
  bool CreatePriceFile(const QString& name, const QString& ticker, const QString& fileName,
                       const QString& downloadLine);

 private:
  // A daily file as read: (ticker id, price) of the first line of every
  // ticker, sorted by ticker id, plus what the disk said when it was read.
  struct DayFile {
    std::vector<std::pair<int, double>> prices;
    QString path;
    QDateTime modified;
    qint64 size = 0;
    bool racy = false;  // modified too close to the read to trust the stamp
  };

  void ensureListed();
  void list();
  // The path of the daily file of that day, or empty when there is none.
  QString existingFile(int dayKey);
  const DayFile* dayFile(int dayKey);
  // The days the listed files can stand for, sorted: a file name holds the
  // year modulo 100, so each name counts for that year in every century a
  // portfolio date may fall in.
  const std::vector<std::pair<qint64, int>>& fileDays();
  // A daily file being changed: its lines, the first line of each name,
  // and the stored names put in since it was read.
  struct ChangedFile {
    QString path;
    QStringList lines;
    QHash<QString, qsizetype> lineOfName;
    QSet<QString> names;
  };
  // Reads an existing file's lines into `file`; false when it cannot be read.
  bool readChanged(ChangedFile& file);
  // Puts a stored line into the file, replacing the first line of the same name.
  static void putLine(ChangedFile& file, const QString& name, const QString& line);
  // Sorts the lines (case ignored) and saves the file.
  Outcome saveChanged(ChangedFile& file);
  // Puts a stored line into the batch's file of that day (read from disk,
  // or new); false when an existing file cannot be read.
  bool stageLine(int dayKey, const QString& path, const QString& name, const QString& line);
  // StorePrices' walk; the lines go into the open batch.
  bool stagePrices(const QString& name, const QString& ticker, const QStringList& downloadLines,
                   int extraDays);

  int tickerId(const QByteArray& lowerTicker);
  Outcome save(const QString& fileName, const QStringList& lines);
  // The whole text of a price file, when it is a regular file of at most
  // kMaxFileSize bytes that can be read; otherwise nothing (traced).
  std::optional<QByteArray> readBounded(const QString& path);
  // After an own write: the listing holds the file, its parse is dropped.
  void noteWritten(const QString& fileName);

  QString folder_;
  TraceLog* trace_ = nullptr;
  bool listed_ = false;
  bool listingRacy_ = false;
  QDateTime folderModified_;
  QHash<int, QString> files_;                     // yymmdd as a number -> path
  std::vector<std::pair<qint64, int>> fileDays_;  // (Julian day, yymmdd)
  bool fileDaysStale_ = true;
  QHash<int, DayFile> parsed_;
  QHash<QByteArray, int> tickerIds_;  // lower-case ticker -> id shared by all files
  bool batchOpen_ = false;
  bool batchLocked_ = false;  // the batch took a level of the folder lock
  std::unique_ptr<FileLock> folderLock_;
  int lockDepth_ = 0;
  std::optional<QString> pendingFolder_;  // a folder change waiting for the lock
  QHash<int, ChangedFile> batch_;         // yymmdd -> the file as the batch changed it
  // "Last Prices.txt" as read, with the disk's stamp of it then.
  struct LatestDaysFile {
    LatestPriceDays days;
    QDateTime modified;
    qint64 size = -1;
    bool trusted = false;
  } latestDays_;
};

// Holds the price folder's lock for a group of writes (a download with its
// stock lists, an import), released when it goes.
class PriceFolderLock {
 public:
  explicit PriceFolderLock(PriceStore& store,
                           std::chrono::milliseconds wait = PriceStore::kFolderLockWait)
      : store_(store), outcome_(store.lockFolder(wait)) {}
  ~PriceFolderLock() {
    if (outcome_.ok()) store_.unlockFolder();
  }
  PriceFolderLock(const PriceFolderLock&) = delete;
  PriceFolderLock& operator=(const PriceFolderLock&) = delete;
  // Done when held; failed (PriceFolderInUse) when another program keeps it.
  const Outcome& outcome() const { return outcome_; }

 private:
  PriceStore& store_;
  Outcome outcome_;
};

}  // namespace pelmar
