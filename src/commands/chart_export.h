#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "commands/charts.h"
#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"
#include "reports/chart_series.h"

namespace pelmar {

// How an export line is written: the date and the value in double quotes
// after a comma (for spreadsheets before version 10), or the date, the list
// separator, a blank and the value.
enum class ExportLineFormat { Quoted, Modern };

// The line format for the installed spreadsheet program, from the text that
// names its version (such as "Excel.Application.16": the major version is
// the number after the last "."; 0 when there is none): below 10 the quoted
// format. Without such a text on this platform (nullopt) the modern format.
ExportLineFormat ExportLineFormatFor(const std::optional<QString>& versionText);

// The user's desktop folder, or the home folder when there is none; ends in "/".
QString DesktopFolder();
// Where the message after an export says the file is: "on the desktop"
// when its folder is the desktop, otherwise the folder by name.
QString ChartExportFileText(const Session& session, const QString& path);

// The export's lines, CR LF: each day as a date in the settings' format and
// its value with four decimals and the language's decimal separator.
QByteArray ChartCsv(const ChartSeries& series, const Session& session, ExportLineFormat format);

// Writes the bytes whole through a save file; fails, naming the file, when
// it cannot be written (an existing file is then left as it was).
Outcome WriteChartFile(const QString& path, const QByteArray& bytes);

// Writes a drawn chart's PNG bytes like WriteChartFile; no bytes (the
// picture could not be encoded) fail the same way, naming the file.
Outcome WriteChartPng(const QString& path, const QByteArray& png);

// The chart window's Save as PNG: refused without a series; the file is
// asked for, proposed in the folder under the chart's export name, with
// ".png" added when the name chosen lacks it; then `render` draws the
// picture and it is written. A failure is told and returned.
Outcome SavePngClick(Session& session, Prompter& prompter, const ChartState& state,
                     const QString& folder, const std::function<QByteArray()>& render);

// The export base name: prefix + name + "_" + today's date.
QString ChartExportBase(const Session& session, ChartKind kind, const QString& name);
// The first free file folder + base + "_" + nnn + ".csv" (001 to 999); empty
// when all are taken.
QString FreeExportPath(const QString& folder, const QString& base);

// The export of the chart's series into the folder (the window passes the
// desktop): the first free counter, the file written, and the timed message
// naming it. `name` is the fund's ticker or the portfolio's file name.
Outcome ExportBtnClick(Session& session, Prompter& prompter, ChartKind kind, const QString& name,
                       const ChartSeries& series, const QString& folder, ExportLineFormat format);

}  // namespace pelmar
