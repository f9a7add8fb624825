#include "commands/euro_dollar.h"

namespace pelmar {

ReferenceRatesTaken TakeReferenceRates(Session& session, const ReferenceRates& rates, QDate from) {
  ReferenceRatesTaken taken;
  const QDate today = session.clock().today();
  const auto newest = rates.usdPerEuro.upper_bound(today);
  if (!rates.ok() || newest == rates.usdPerEuro.begin()) return taken;
  taken.newest = std::prev(newest)->first;
  taken.rate = 1.0 / std::prev(newest)->second;

  PriceStore& store = session.prices();
  const bool ownBatch = !store.batchOpen();
  if (ownBatch) {
    if (Outcome opened = store.openBatch(); !opened.ok()) {
      taken.failure = opened.reason();
      return taken;
    }
  }
  taken.days = StoreReferenceRates(store, rates, from, today);
  if (ownBatch) {
    const PriceStore::FlushResult flushed = store.flushBatch();
    if (!flushed.ok()) {
      Reason reason{TextId::PriceFilesNotSaved, {flushed.failedFiles.join(QStringLiteral(", "))}};
      taken.failure = flushed.cause ? reason.because(*flushed.cause) : reason;
      return taken;
    }
  }
  Portfolio& p = session.portfolio();
  if (p.isEmpty() || Real48(taken.rate) == Real48(p.DollarKoers())) return taken;
  p.setDollarKoers(taken.rate);
  p.algAt(p.lastRekIndex() - 1).Dollar = taken.rate;
  taken.changed = true;
  return taken;
}

}  // namespace pelmar
