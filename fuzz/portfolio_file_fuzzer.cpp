// Feeds arbitrary bytes to the portfolio file reader. Whatever it accepts
// must be a well-formed RecordList, and the file written from it must read
// back to the same records.

#include <QBuffer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "model/portfolio_file.h"

namespace {

using namespace pelmar;

const Language kDutch(Language::Code::Dutch, QLocale::c());

// Stops the run, naming the check that failed.
void require(bool condition, int line = __builtin_LINE()) {
  if (condition) return;
  std::fprintf(stderr, "check failed at line %d\n", line);
  std::abort();
}

portfolio_file::ReadOptions options() {
  portfolio_file::ReadOptions o;
  o.accountNamePrefix = QStringLiteral(" Rek. ");
  o.defaultCountry = QStringLiteral("nl");
  o.priceFor = [](const QString& ticker, DateTime) { return ticker.size() > 3 ? 1.5 : 0.0; };
  o.debugBlock = [](const QStringList& lines) { return !lines.isEmpty(); };
  return o;
}

bool readBytes(QByteArray bytes, Portfolio& into) {
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  return portfolio_file::read(buffer, into, options()).ok();
}

QByteArray writtenBytes(const Portfolio& portfolio) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  require(portfolio_file::write(buffer, portfolio, portfolio.size() - 1, kDutch) >= 1);
  return buffer.data();
}

// The layout every other part relies on: the ident record, then datasets
// of one general record, five accounts and at least one fund, numbered
// from 1, with EndOfSetB on the fifth account and the last fund only.
void requireWellFormed(const Portfolio& p) {
  require(p.idAt(0) == 'i');
  int index = 1;
  int nrOfSet = 0;
  while (index < p.size()) {
    require(p.idAt(index) == 'a');
    require(p.algAt(index).NrOfSet == ++nrOfSet);
    ++index;
    for (int account = 1; account <= Portfolio::kAccountsPerDataSet; ++account, ++index) {
      require(p.idAt(index) == 'r');
      require(p.endOfSetAt(index) == (account == Portfolio::kAccountsPerDataSet));
    }
    int funds = 0;
    for (; p.idAt(index) == 'k'; ++index, ++funds) {
      require(p.endOfSetAt(index) == (p.idAt(index + 1) != 'k'));
    }
    require(funds >= 1 && funds <= Portfolio::kMaxFundsPerDataSet);
  }
  require(nrOfSet >= 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Portfolio first;
  if (!readBytes(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
                 first))
    return 0;
  requireWellFormed(first);

  // Everything written reads back with the same records. The first round
  // may still change what the file cannot hold (digits beyond the fourth
  // decimal); after it the file is a fixed point.
  Portfolio second;
  require(readBytes(writtenBytes(first), second));
  require(second.size() == first.size());
  for (int i = 0; i < first.size(); ++i) require(second.idAt(i) == first.idAt(i));
  const QByteArray written = writtenBytes(second);
  Portfolio third;
  require(readBytes(written, third));
  require(writtenBytes(third) == written);
  return 0;
}
