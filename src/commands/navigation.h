#pragma once

#include <QStringList>

#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"

namespace pelmar {

// --- Fund list -------------------------------------------------------------

// The fund list's order of the funds: without regard to case, letters
// folded to lower case.
bool FundListLess(const QString& a, const QString& b);
// A fund's ticker as the fund list and the grid show it: trailing blanks
// cut; the placeholder row in the language's own text ("[Nieuw]"/"[New]"),
// whichever language wrote it into the file.
QString FundListText(const Portfolio& portfolio, const KoersRec& fund);
// The tickers of the current dataset (FundListText) in list order, the
// placeholder row last: the first entry, which opening selects, is a real
// fund whenever the dataset has one, and the new-fund command's last entry
// is the placeholder.
QStringList FillFondsenBox(const Portfolio& portfolio);
// The offset in the current dataset of the fund a list line names; -1 when
// no fund has that ticker.
int FundOffsetOf(const Portfolio& portfolio, const QString& listText);

// Selects the fund list entry (FillFondsenBox) with that text in the
// current dataset, searching from the end of the list with case and leading
// blanks ignored; when there is none the first entry is selected. SelFonds
// becomes that fund's offset. Returns the text of the entry selected.
QString SelectFundEntry(Portfolio& portfolio, const QString& text);
// The fund list text of the selected fund (SelFonds of the current dataset).
QString SelectedFundEntry(const Portfolio& portfolio);

// The fund list's click: selects the fund the list line names and computes
// the dataset as the window shows it (ShowDataSet). Stopped, with nothing
// changed, when no portfolio is open or new or no fund has that ticker.
Report FondsenBoxClick(Session& session, const QString& listText);

// --- Navigation ------------------------------------------------------------

// Which navigation buttons (and their menu twins) are enabled.
struct NavButtons {
  bool FirstDateBtn = false;
  bool PrevDateBtn = false;
  bool NextDateBtn = false;
  bool LastDateBtn = false;

  bool operator==(const NavButtons&) const = default;
};

// First and previous follow back, next and last follow forward.
NavButtons EnableNav(bool back, bool forward);
// The buttons for the current dataset: back only off the first dataset,
// forward only before the last; a portfolio of one dataset has all off.
NavButtons SetNavBtns(const Portfolio& portfolio);

// The main window's colour as 0xRRGGBB: light green on the last dataset,
// light yellow on older ones.
inline constexpr quint32 kLastDataSetColour = 0xE0FFE0;
inline constexpr quint32 kOlderDataSetColour = 0xFFFFE0;
quint32 WindowColour(const Portfolio& portfolio);

// The four navigation commands. Each keeps the selected fund by its ticker
// (the first fund of the list when the target dataset lacks it). Stopped
// when the step could not be made;
// stepping past either end succeeds without moving. The caller shows the
// dataset afterwards.
Report FirstDateBtnClick(Session& session);
Report PrevDateBtnClick(Session& session);
Report NextDateBtnClick(Session& session);
Report LastDateBtnClick(Session& session);

// --- Dataset commands --------------------------------------------------------

// Adds a dataset after the current one (appended after the last, inserted
// otherwise) with its date asked as AddDataSet does. Done when one was
// added; it is then current, priced and recalculated and the portfolio
// counts as changed.
Report SpeedAddClick(Session& session, Prompter& prompter);

// Deletes the current dataset after the refusals for the first and the
// last dataset and for a dataset where a fund first appears or was traded,
// and after the user's Yes. The dataset that followed becomes current. Done
// when a dataset was deleted.
Report SpeedDelClick(Session& session, Prompter& prompter);

// Changes the date of the current dataset of an opened portfolio within its
// neighbours' dates.
// Only the last dataset's date may change unless the "Edit Old Dates"
// switch is on; the first dataset's never. Funds that start on the old
// date in later datasets start on the new one. Done when the date changed.
Report DatumPanelClick(Session& session, Prompter& prompter);

// Changes the start date (CumDatum) of the selected fund of an opened
// portfolio; only while the
// "Edit Old Dates" switch is on. Done when it changed.
Report FCumDatumPanelClick(Session& session, Prompter& prompter);

// Removes the selected fund from every dataset that holds more than two
// funds, after the user's Yes, recalculates everything and resets the
// fund's account in every dataset. The dataset stays current; the list
// entry after the fund (or before it, for the last entry) is selected.
// Done when the fund was removed; refusals are shown and returned.
Report SpeedDelFondsClick(Session& session, Prompter& prompter);

}  // namespace pelmar
