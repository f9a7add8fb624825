#include "commands/accounts.h"

#include <array>
#include <cmath>

#include "commands/datasets.h"
#include "commands/refusal.h"
#include "commands/trading.h"
#include "engine/engine_support.h"
#include "model/conversions.h"

namespace pelmar {

namespace {

// One grid row: its texts and, for the rows of a stored amount, the field.
struct RowSpec {
  TextId label;
  TextId prompt;
  bool editable;
  Real48 RekeningRec::*field;
};

const std::array<RowSpec, AccountRow::Count> kRows = {{
    {TextId::AccountLabelName, TextId::AccountPromptName, true, nullptr},
    {TextId::AccountLabelNumber, TextId::AccountPromptNumber, true, nullptr},
    {TextId::AccountLabelCredRente, TextId::AccountPromptCredRente, true, &RekeningRec::CredRente},
    {TextId::AccountLabelDebRente, TextId::AccountPromptDebRente, true, &RekeningRec::DebRente},
    {TextId::AccountLabelSaldo, TextId::AccountPromptSaldo, false, &RekeningRec::Saldo},
    {TextId::AccountLabelRente, TextId::AccountPromptRente, false, &RekeningRec::Rente},
    {TextId::AccountLabelRenteCorrectie, TextId::AccountPromptRenteCorrectie, true,
     &RekeningRec::RenteCorrectie},
    {TextId::AccountLabelKosten, TextId::AccountPromptKosten, true, &RekeningRec::Kosten},
    {TextId::AccountLabelBTW, TextId::AccountPromptBTW, true, &RekeningRec::BTW},
    {TextId::AccountLabelCumCRente, TextId::AccountPromptCumCRente, false, &RekeningRec::CumCRente},
    {TextId::AccountLabelCumDRente, TextId::AccountPromptCumDRente, false, &RekeningRec::CumDRente},
    {TextId::AccountLabelSumCumKosten, TextId::AccountPromptSumCumKosten, false,
     &RekeningRec::CumKosten},
    {TextId::AccountLabelSumCumBTW, TextId::AccountPromptSumCumBTW, false, &RekeningRec::CumBTW},
    {TextId::AccountLabelWaarde, TextId::AccountPromptWaarde, false, &RekeningRec::Waarde},
    {TextId::AccountLabelCredPerc, TextId::AccountPromptCredPerc, true, nullptr},
    {TextId::AccountLabelValuta, TextId::AccountPromptValuta, true, nullptr},
}};

// Names and numbers are shown at least this wide, padded on the left.
constexpr int kNameWidth = 10;
constexpr int kNumberWidth = 12;
// A rate, correction, cost or VAT must move this much to call for a
// recalculation of every dataset.
constexpr double kChange = 0.01;

bool isRow(int row) {
  return row >= 0 && row < AccountRow::Count;
}

bool isAccount(int number) {
  return number >= 1 && number <= Portfolio::kAccountsPerDataSet;
}

RekeningRec& accountOf(Portfolio& p, int rekIndex, int number) {
  return p.rekAt(rekIndex + number - 1);
}

// Calls visit(first account index) for every dataset after the current one.
template <typename Visit>
void forEachLaterDataSet(const Portfolio& portfolio, Visit visit) {
  int rek = portfolio.FirstRekIndex();
  int koers = portfolio.FirstKoersIndex();
  while (!portfolio.IsLastDataSet(rek) && portfolio.NextDataSet(rek, koers)) visit(rek);
}

// Calls visit(first account index) for every dataset.
template <typename Visit>
void forEachDataSet(const Portfolio& portfolio, Visit visit) {
  int rek = Portfolio::kFirstRekIndex;
  int koers = Portfolio::kFirstKoersIndex;
  do {
    visit(rek);
  } while (!portfolio.IsLastDataSet(rek) && portfolio.NextDataSet(rek, koers));
}

// Sets a text field when the text differs from the stored one without its
// leading blanks; true when it did.
template <typename Field>
bool takeText(Field& field, const QString& text) {
  if (TrimLeftBlanks(field) == text) return false;
  field = text;
  return true;
}

// A default account name ("Naam" or "Name" with any blanks).
bool isDefaultName(const QString& name) {
  const QString bare = RemoveBlanks(name);
  return bare == dutchText(TextId::DefaultAccountName).trimmed() ||
         bare == englishText(TextId::DefaultAccountName).trimmed();
}

}  // namespace

QString AccountLabel(const Language& language, int row) {
  return isRow(row) ? language.text(kRows[row].label) : QString();
}

QString AccountPrompt(const Language& language, int row) {
  return isRow(row) ? language.text(kRows[row].prompt) : QString();
}

bool AccountRowEditable(int row) {
  return isRow(row) && kRows[row].editable;
}

int SelectedAccountNumber(const Portfolio& portfolio) {
  if (portfolio.isEmpty() || portfolio.idAt(portfolio.pKoersRec()) != KoersRec::Id) return 1;
  return bookedAccount(portfolio.koers().RekNr);
}

QStringList AccountCells(const Session& session, int number) {
  const Portfolio& p = session.portfolio();
  if (!isAccount(number)) number = 1;
  const RekeningRec& rek = p.rekAt(p.FirstRekIndex() + number - 1);
  const Language& language = session.language();
  const auto padded = [](const QString& text, TextId fallback, const Session& s) {
    const QString shown = text.isEmpty() ? s.text(fallback) : text;
    return shown.rightJustified(kNameWidth);
  };
  QStringList cells;
  cells << padded(rek.RekNaam, TextId::DefaultAccountName, session)
        << padded(rek.RekNummer, TextId::DefaultAccountNumber, session);
  for (int row = AccountRow::CredRente; row <= AccountRow::Waarde; ++row) {
    double value = rek.*kRows[row].field;
    // The cumulative costs and VAT are shown summed over the five accounts.
    if (row == AccountRow::SumCumKosten || row == AccountRow::SumCumBTW) {
      value = 0;
      for (int n = 1; n <= Portfolio::kAccountsPerDataSet; ++n)
        value += p.rekAt(p.FirstRekIndex() + n - 1).*kRows[row].field;
    }
    // Computed figures are grouped in thousands; what the user types stays
    // plain, so that it reads back as typed.
    cells << (AccountRowEditable(row)
                  ? RealToStr(value, kNumberWidth, 2, language)
                  : FormatAmount(value, 0, 2, language).rightJustified(kNumberWidth));
  }
  cells << IntToStrPadded(rek.CredPerc, kNumberWidth) << rek.Valuta.str();
  return cells;
}

QStringList ShowAccount(Session& session, int number) {
  Portfolio& p = session.portfolio();
  if (!isAccount(number)) number = 1;
  const bool changed = p.bPortChanged();
  CalcCurrentDataSet(session);
  p.selectAccount(number);
  if (!changed) p.markUnchanged();
  return AccountCells(session, number);
}

bool CopyAccountForward(Portfolio& portfolio, int number) {
  if (!isAccount(number) || portfolio.atLastSet()) return false;
  const RekeningRec shown = accountOf(portfolio, portfolio.FirstRekIndex(), number);
  bool differs = false;
  forEachLaterDataSet(portfolio, [&](int rek) {
    RekeningRec& later = accountOf(portfolio, rek, number);
    differs = differs || later.RekNaam.str() != shown.RekNaam.str() ||
              later.RekNummer.str() != shown.RekNummer.str() ||
              later.CredRente.value() != shown.CredRente.value() ||
              later.DebRente.value() != shown.DebRente.value();
    later.RekNaam = shown.RekNaam.str();
    later.RekNummer = shown.RekNummer.str();
    later.CredRente = shown.CredRente;
    later.DebRente = shown.DebRente;
  });
  return differs;
}

Outcome ApplyAccount(Session& session, Prompter& prompter, int number, const QStringList& cells,
                     bool copyForward, const Engine::Progress& progress) {
  if (!isAccount(number) || cells.size() < AccountRow::Count) return Outcome::stopped();
  Portfolio& p = session.portfolio();
  const QStringList shown = AccountCells(session, number);
  const auto edited = [&](int row) { return cells[row].trimmed() != shown[row].trimmed(); };
  RekeningRec& rek = accountOf(p, p.FirstRekIndex(), number);
  // `changed` calls for every dataset to be recalculated; `touched` only
  // records that the portfolio differs from its file.
  bool changed = false;
  bool touched = false;
  for (const int row : {AccountRow::CredRente, AccountRow::DebRente, AccountRow::RenteCorrectie,
                        AccountRow::Kosten, AccountRow::BTW}) {
    if (!edited(row)) continue;
    Real48& field = rek.*kRows[row].field;
    const Real48 value = StrToReal(cells[row]);
    // A sign change is a change too, so the difference itself is measured.
    const double difference = std::fabs(value - field);
    field = value;
    changed = changed || difference > kChange;
    touched = touched || difference > 0;
  }

  Outcome outcome = Outcome::done();
  if (edited(AccountRow::CredPerc)) {
    const QString text = cells[AccountRow::CredPerc].trimmed();
    bool whole = false;
    const int percent = text.toInt(&whole);
    if (!whole || percent < 0 || percent > 255) {
      outcome = Refuse(session, prompter, TextId::CredPercNotWhole, {text});
    } else if (percent != rek.CredPerc) {
      rek.CredPerc = static_cast<quint8>(percent);
      changed = true;
    }
  }

  RekeningRec& first = accountOf(p, Portfolio::kFirstRekIndex, number);
  if (edited(AccountRow::RekNaam))
    changed = takeText(first.RekNaam, TrimLeftBlanks(cells[AccountRow::RekNaam])) || changed;
  if (edited(AccountRow::RekNummer))
    changed = takeText(first.RekNummer, TrimLeftBlanks(cells[AccountRow::RekNummer])) || changed;
  if (edited(AccountRow::Valuta))
    changed =
        takeText(first.Valuta, cells[AccountRow::Valuta].trimmed().left(3).toUpper()) || changed;

  // The copy comes before the recalculation, so that the later datasets
  // are computed with the rates they now hold.
  if (copyForward && CopyAccountForward(p, number)) changed = true;
  if (changed) RecalculateEveryDataSet(session, progress);
  if (changed || touched) p.markChanged();
  p.selectAccount(number);
  return outcome;
}

Report ToepassenBtnClick(Session& session, Prompter& prompter, int number, const QStringList& cells,
                         const Engine::Progress& progress) {
  Outcome outcome = ApplyAccount(session, prompter, number, cells, true, progress);
  const bool changed = session.portfolio().bPortChanged();
  CalcCurrentDataSet(session);
  if (!changed) session.portfolio().markUnchanged();
  return Report(std::move(outcome), Change::Accounts | Change::Figures);
}

Outcome ChooseAccount(Session& session, Prompter& prompter, quint8& rekNr) {
  Portfolio& p = session.portfolio();
  const QString firstName = RemoveBlanks(accountOf(p, p.FirstRekIndex(), 1).RekNaam);
  if (firstName.contains(dutchText(TextId::DefaultAccountName).trimmed()) ||
      firstName.contains(englishText(TextId::DefaultAccountName).trimmed()))
    prompter.message(session.text(TextId::AccountsNotice));

  AccountChoice choice;
  choice.selected = bookedAccount(rekNr);
  for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
    const RekeningRec& rek = accountOf(p, p.FirstRekIndex(), number);
    AccountChoiceRow& row = choice.rows[number - 1];
    row.name = isDefaultName(rek.RekNaam)
                   ? RemoveBlanks(rek.RekNaam) + QLatin1Char(' ') + QString::number(number)
                   : TrimLeftBlanks(rek.RekNaam);
    row.number = TrimLeftBlanks(rek.RekNummer);
    row.currency = rek.Valuta.str().trimmed();
    row.saldo = rek.Saldo;
  }

  // What the chooser showed: only what the user changed there is stored.
  const AccountChoice shown = choice;
  const QString fundCurrency = RemoveBlanks(p.koers().Valuta);
  for (;;) {
    AccountChoice answer = prompter.chooseAccount(choice);
    if (!answer.accepted) return Outcome::stopped();
    const int chosen = bookedAccount(answer.selected);
    AccountChoiceRow& row = answer.rows[chosen - 1];
    row.currency = row.currency.trimmed();
    if (!row.currency.isEmpty() && row.currency.compare(fundCurrency, Qt::CaseInsensitive) != 0) {
      prompter.message(session.text(TextId::SelectCurrencyAccount).arg(fundCurrency));
      choice = answer;
      choice.accepted = false;
      for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
        if (answer.rows[number - 1].currency.trimmed().compare(fundCurrency, Qt::CaseInsensitive) ==
            0) {
          choice.selected = number;
          break;
        }
      }
      continue;
    }
    if (row.currency.isEmpty()) row.currency = fundCurrency;

    // Names and numbers live in every dataset alike (the engine carries
    // them forward), so they are written into all; the currencies into the
    // current dataset, whose funds decide them. Only what the user changed
    // in the chooser is written, and a default name as it was shown ("Naam
    // 1"): an untouched name keeps its leading blanks and an all-blank
    // currency stays as the file holds it.
    for (int number = 1; number <= Portfolio::kAccountsPerDataSet; ++number) {
      const AccountChoiceRow& before = shown.rows[number - 1];
      const AccountChoiceRow& after = answer.rows[number - 1];
      const bool name = after.name != before.name ||
                        isDefaultName(accountOf(p, p.FirstRekIndex(), number).RekNaam);
      const bool accountNumber = after.number != before.number;
      forEachDataSet(p, [&](int rek) {
        RekeningRec& account = accountOf(p, rek, number);
        if (name) account.RekNaam = after.name;
        if (accountNumber) account.RekNummer = after.number;
      });
      if (after.currency.trimmed() != before.currency.trimmed())
        accountOf(p, p.FirstRekIndex(), number).Valuta = after.currency;
    }
    rekNr = static_cast<quint8>(chosen);
    p.koers().RekNr = rekNr;
    CopyAccountForward(p, chosen);
    p.markChanged();
    return Outcome::done();
  }
}

}  // namespace pelmar
