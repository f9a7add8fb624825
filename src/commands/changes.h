#pragma once

#include <QFlags>
#include <utility>

#include "lang/outcome.h"

namespace pelmar {

// What a command changed, so that every open window redraws what it shows
// of it and the headless tool recomputes what it tells.
enum class Change : unsigned {
  // The figures of the dataset shown (and whether the portfolio differs
  // from its file).
  Figures = 0x01,
  // The fund list: a fund added, removed or renamed.
  Funds = 0x02,
  // The accounts of a dataset.
  Accounts = 0x04,
  // Prices of any dataset or in the price files; later datasets recomputed.
  Prices = 0x08,
  // The settings.
  Settings = 0x10,
  // Another dataset is the current one; it may hold other funds.
  DataSet = 0x20,
  // Another portfolio: made new or opened. Everything is drawn afresh.
  Portfolio = 0x40,
  // Another fund of the dataset is the selected one.
  Fund = 0x80,
};
Q_DECLARE_FLAGS(Changes, Change)
Q_DECLARE_OPERATORS_FOR_FLAGS(Changes)

// The result of a command with what it changed. It is an Outcome, so a
// caller that only asks whether the command was done reads it as one. A
// command that stopped or failed half-way still names what it may have
// changed: the windows redraw whatever the result.
class [[nodiscard]] Report : public Outcome {
 public:
  Report(Outcome outcome, Changes changes) : Outcome(std::move(outcome)), changes_(changes) {}

  // The outcome with the changes when the command was done; a command
  // that stopped or failed changed nothing.
  static Report ifDone(Outcome outcome, Changes changes) {
    const bool done = outcome.ok();
    return Report(std::move(outcome), done ? changes : Changes());
  }

  Changes changes() const { return changes_; }

 private:
  Changes changes_;
};

}  // namespace pelmar
