#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace pelmar {

// A report as a neutral document: paragraphs of text runs, each run with
// its character format, each paragraph with the tab stops its columns are
// aligned on. The report builders make it; the RTF writer, the plain-text
// output and the report windows' editor take it from here.

struct CharFormat {
  QString family;
  int pointSize = 12;
  bool bold = false;
  bool operator==(const CharFormat&) const = default;
};

inline const QString kCourierNew = QStringLiteral("Courier New");
inline const QString kVerdana = QStringLiteral("Verdana");

struct TextRun {
  QString text;
  CharFormat format;
};

// Tab stops in units of 21 twips: a point and a twentieth, so that twelve
// Courier New characters at 12 points (86.4 points) fit between the closest
// stops of the fund tables (85 units apart) and the widest line still fits
// a landscape page.
using TabStops = std::vector<int>;
inline constexpr int kTwipsPerTabUnit = 21;

struct Paragraph {
  std::vector<TextRun> runs;
  // Shared by the paragraphs written under the same stops.
  std::shared_ptr<const TabStops> tabStops;
  // The format of an empty paragraph (its height), the last run's otherwise.
  CharFormat format;
  // Printed on the same page as the paragraph after it: a heading stays
  // with its table, a table with its totals.
  bool keepWithNext = false;

  QString text() const;
};

struct ReportDocument {
  std::vector<Paragraph> paragraphs;
  // The line under every printed page: %1 is the page's number, %2 the
  // number of pages. Empty: no footer.
  QString footer;

  // The paragraphs' texts, each ending in "\n".
  QString plainText() const;
};

// Writes a report line by line, as a rich-text editor is filled: every line
// takes the character format and tab stops set last.
class ReportWriter {
 public:
  ReportWriter(const CharFormat& format, const TabStops& stops);

  void setFormat(const QString& family, int pointSize, bool bold = false);
  void setTabStops(const TabStops& stops);
  // The lines written from now on are kept together, up to the last line
  // written before endKeep(), which is no longer kept with the next.
  void keepTogether() { keep_ = true; }
  void endKeep();
  void setFooter(const QString& footer) { document_.footer = footer; }
  // One paragraph holding the text (which may be empty).
  void line(const QString& text = QString());

  ReportDocument take() { return std::move(document_); }

 private:
  ReportDocument document_;
  CharFormat format_;
  std::shared_ptr<const TabStops> stops_;
  bool keep_ = false;
};

}  // namespace pelmar
