#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

#include "model/trace_log.h"

namespace pelmar {

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

  explicit PriceStore(const QString& folder = QString());
  ~PriceStore();
  Q_DISABLE_COPY_MOVE(PriceStore)

  // The price folder, always ending in "/". Changing it drops the cache.
  const QString& folder() const { return folder_; }
  // Where skipped files are traced; none by default.
  void setTrace(TraceLog* trace) { trace_ = trace; }
  void setFolder(const QString& folder);

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

  // Grouped writes. A download stores a year of 300 stocks as 300 lists of
  // the same 250 days: written per stock, each day's file would be saved
  // durably 300 times. Between openBatch() and flushBatch() StorePrices
  // changes the files in memory, and the flush saves each changed file
  // once, as durably as any save. Reads see the disk, so the batch's prices
  // are seen once flushed. Destroying the store or changing its folder
  // flushes an open batch.
  void openBatch();
  bool batchOpen() const { return batchOpen_; }
  // What a flush could not write; the files named were left as they were.
  struct FlushResult {
    QStringList failedFiles;
    // Stored names (as StorePrices trimmed them) none of whose lines of
    // the batch reached the disk.
    QStringList nothingStored;
    bool ok() const { return failedFiles.isEmpty(); }
  };
  // Saves every file the batch changed, each once, and closes the batch.
  FlushResult flushBatch();
  // Puts the line of `name` into an existing daily file, replacing the line
  // that already holds that name, and keeps the lines sorted. False when the
  // file could not be read or saved; the file is then left as it was.
  bool UpdatePriceFile(const QString& name, const QString& ticker, const QString& fileName,
                       const QString& downloadLine);
  // The days of "Last Prices.txt", read once and again only when the file
  // changed on disk.
  LatestPriceDays latestPriceDays();

  // The daily file of that day as it exists (in whatever case), or the
  // name a new one gets in the price folder.
  QString dayFilePath(QDate day);

  // Makes a new daily file with the single line. False when it could not be saved.
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
  bool saveChanged(ChangedFile& file);
  // StorePrices' walk; the lines go into the open batch.
  bool stagePrices(const QString& name, const QString& ticker, const QStringList& downloadLines,
                   int extraDays);

  int tickerId(const QByteArray& lowerTicker);
  bool save(const QString& fileName, const QStringList& lines);
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
  QHash<int, ChangedFile> batch_;  // yymmdd -> the file as the batch changed it
  // "Last Prices.txt" as read, with the disk's stamp of it then.
  struct LatestDaysFile {
    LatestPriceDays days;
    QDateTime modified;
    qint64 size = -1;
    bool trusted = false;
  } latestDays_;
};

}  // namespace pelmar
