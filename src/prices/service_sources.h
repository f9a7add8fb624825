#pragma once

#include "prices/price_replies.h"
#include "prices/price_source.h"

namespace pelmar {

// The Dutch closing-price service: one plain-text history per stock
// ("yymmdd: price" lines, the newest last), whatever the start date.
class DutchServiceSource : public PriceSource {
 public:
  explicit DutchServiceSource(QString base) : base_(std::move(base)) {}
  QString id() const override { return SourceId::DutchService; }
  SourceCloses closes(HttpGet& http, const QString& symbol, QDate from,
                      const QDateTime& now) const override;

 private:
  QString base_;
};

// The US historical-price service: a table from the start date up to the
// last working day, the newest first.
class UsServiceSource : public PriceSource {
 public:
  explicit UsServiceSource(QString base) : base_(std::move(base)) {}
  QString id() const override { return SourceId::UsService; }
  SourceCloses closes(HttpGet& http, const QString& symbol, QDate from,
                      const QDateTime& now) const override;

 private:
  QString base_;
};

// What a service reply was read as, with its download lines as typed
// closes, oldest first; lines whose date is no day are left out. A refused
// reply keeps the parser's reason as its cause.
SourceCloses ServiceCloses(const ReplyResult& result, const QStringList& downloadLines,
                           const QString& url, const QString& symbol,
                           const std::optional<Reason>& refused = {});

}  // namespace pelmar
