#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <cmath>

#include "commands/datasets.h"
#include "commands/session.h"
#include "model/dates.h"

namespace pelmar::test {

// An annual return ((W / (GI / D) + 1)^(365.25 / D) − 1) × 100 in plain
// doubles, to compare the engine's figures with.
inline double annual(double w, double gi, int d) {
  return (std::pow(w / (gi / d) + 1, 365.25 / d) - 1) * 100;
}

// Writes a text file (folders made as needed); the test fails when it cannot.
void writeFile(const QString& path, const QByteArray& content);
// The bytes of a file; empty when it cannot be read.
QByteArray readFile(const QString& path);
// Empty manuals of both languages in a program folder, so that the main
// window finds its help.
void writeManuals(const QString& programFolder);

// A session on a temporary data folder (with an empty price folder in it)
// whose portfolio a test builds through the portfolio's own operations, as
// the commands do: start() makes a new portfolio, addFund() adds a fund
// before the placeholder row of the current dataset, next() appends a
// dataset and computes it. The session's engine computes; no second engine
// is wired onto the portfolio.
class PortfolioFixture : public ::testing::Test {
 protected:
  explicit PortfolioFixture(Language::Code code = Language::Code::English);

  Portfolio& portfolio() { return session.portfolio(); }
  QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

  // A new portfolio dated `date` holding only the placeholder row; the
  // accounts pay no interest.
  void start(QDate date, bool inDollars = false);
  // A fund before the placeholder row of the current dataset, counted from
  // the dataset's date, in the portfolio's currency.
  KoersRec& addFund(const QString& ticker, double inleg, double aantal, double koers);
  // Appends a dataset dated `date` as a copy of the last one; it becomes
  // current. next() also computes it.
  void append(QDate date);
  void next(QDate date);
  // Recomputes the current dataset.
  void calc() { CalcCurrentDataSet(session); }
  // Makes the dataset with that number (1 = first) current.
  void goToDataSet(int number);
  void select(int offset) { portfolio().selectFund(offset); }

  // The current dataset's records: funds by offset, accounts 1 to 5.
  int funds() { return portfolio().fundCount(portfolio().FirstKoersIndex()); }
  KoersRec& fund(int offset) { return portfolio().koersAt(portfolio().FirstKoersIndex() + offset); }
  RekeningRec& account(int number) {
    return portfolio().rekAt(portfolio().FirstRekIndex() + number - 1);
  }
  AlgemeenRec& alg() { return portfolio().alg(); }

  QTemporaryDir dir;
  Session session;
};

}  // namespace pelmar::test
