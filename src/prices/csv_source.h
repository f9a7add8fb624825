#pragma once

#include <QByteArray>

#include "prices/price_source.h"

namespace pelmar {

// Daily closes from any site that serves a CSV table for an address made
// from a template: "{symbol}" becomes the symbol (percent-encoded), "{from}"
// and "{to}" the first and last day as yyyy-MM-dd, and "{from:FORMAT}",
// "{to:FORMAT}" those days in a date format of Qt's letters ("yyyyMMdd").
// The reply is read by the reader of the CSV import (price_table.h).
class CsvUrlSource : public PriceSource {
 public:
  explicit CsvUrlSource(QString urlTemplate) : template_(std::move(urlTemplate)) {}
  QString id() const override { return SourceId::CsvUrl; }
  SourceCloses closes(HttpGet& http, const QString& symbol, QDate from,
                      const QDateTime& now) const override;

 private:
  QString template_;
};

QString ExpandUrlTemplate(const QString& urlTemplate, const QString& symbol, QDate from, QDate to);

// Reads a CSV reply: the closes from `from` up to `to`. A reply without the
// table's columns in its first few lines (a site's "no data") means the
// symbol is unknown; a table that cannot be read whole refuses the reply.
SourceCloses ParseCsvReply(const QByteArray& body, const QString& host, const QString& symbol,
                           QDate from, QDate to);

}  // namespace pelmar
