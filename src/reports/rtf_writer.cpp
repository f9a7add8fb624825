#include "reports/rtf_writer.h"

#include <QRegularExpression>
#include <QStringList>

namespace pelmar {
namespace {

// The font table: every family in the order first used.
class FontTable {
 public:
  explicit FontTable(const ReportDocument& document) {
    for (const Paragraph& paragraph : document.paragraphs) {
      add(paragraph.format.family);
      for (const TextRun& run : paragraph.runs) add(run.format.family);
    }
    if (!document.footer.isEmpty()) add(kVerdana);
    if (families_.isEmpty()) families_ << kCourierNew;
  }

  int index(const QString& family) const { return std::max(0, int(families_.indexOf(family))); }

  void write(QByteArray& out) const {
    out += "{\\fonttbl";
    for (int i = 0; i < families_.size(); ++i) {
      const QString& family = families_[i];
      const bool fixedPitch = family == kCourierNew;
      out += "{\\f" + QByteArray::number(i) +
             (fixedPitch ? "\\fmodern\\fprq1" : "\\fswiss\\fprq2") + "\\fcharset0 ";
      appendText(out, family);
      out += ";}";
    }
    out += "}\n";
  }

  // Escapes text for an RTF body.
  static void appendText(QByteArray& out, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
      const char16_t c = text[i].unicode();
      if (c == u'\t') {
        out += "\\tab ";
      } else if (c == u'\\' || c == u'{' || c == u'}') {
        out += '\\';
        out += char(c);
      } else if (c >= 0x20 && c < 0x80) {
        out += char(c);
      } else if (c >= 0xA0 && c <= 0xFF) {
        out += "\\'" + QByteArray::number(int(c), 16);
      } else if (c >= 0x80) {
        // A signed 16-bit number, each half of a surrogate pair on its own.
        out += "\\u" + QByteArray::number(int(static_cast<qint16>(c))) + '?';
      } else if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator) {
        out += "\\line ";
      }
      // Other control characters have no place in a report and are dropped.
    }
  }

 private:
  void add(const QString& family) {
    if (!family.isEmpty() && !families_.contains(family)) families_ << family;
  }

  QStringList families_;
};

void appendFormat(QByteArray& out, const FontTable& fonts, const CharFormat& format) {
  out += "\\plain\\f" + QByteArray::number(fonts.index(format.family)) + "\\fs" +
         QByteArray::number(format.pointSize * 2);
  if (format.bold) out += "\\b";
  out += ' ';
}

// The footer under every page: its text with the page's number and the
// number of pages as fields in place of its two placeholders.
void appendFooter(QByteArray& out, const FontTable& fonts, const QString& footer) {
  static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
  static const char* const fields[] = {"PAGE", "NUMPAGES"};
  const QStringList parts = footer.split(placeholder);
  out += "{\\footer\\pard\\qc";
  appendFormat(out, fonts, CharFormat{kVerdana, 8, false});
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (i > 0 && i <= 2) out += QByteArray("{\\field{\\*\\fldinst ") + fields[i - 1] + "}}";
    FontTable::appendText(out, parts[i]);
  }
  out += "\\par}\n";
}

}  // namespace

QByteArray WriteRtf(const ReportDocument& document) {
  QByteArray out;
  out.reserve(256 + 160 * qsizetype(document.paragraphs.size()));
  const FontTable fonts(document);
  out += "{\\rtf1\\ansi\\ansicpg1252\\deff0";
  fonts.write(out);
  // A4 landscape with one-inch margins, as the report is printed.
  out +=
      "{\\*\\generator Pelmar;}\\paperw16838\\paperh11906\\landscape"
      "\\margl1440\\margr1440\\margt1440\\margb1440\\viewkind4\\uc1\n";
  if (!document.footer.isEmpty()) appendFooter(out, fonts, document.footer);
  const TabStops* lastStops = nullptr;
  QByteArray stops;
  for (const Paragraph& paragraph : document.paragraphs) {
    if (paragraph.tabStops.get() != lastStops) {
      lastStops = paragraph.tabStops.get();
      stops.clear();
      if (lastStops) {
        for (int unit : *lastStops) stops += "\\tx" + QByteArray::number(unit * kTwipsPerTabUnit);
      }
    }
    out += "\\pard" + stops;
    if (paragraph.keepWithNext) out += "\\keepn";
    if (paragraph.runs.empty()) appendFormat(out, fonts, paragraph.format);
    for (const TextRun& run : paragraph.runs) {
      appendFormat(out, fonts, run.format);
      FontTable::appendText(out, run.text);
    }
    out += "\\par\n";
  }
  out += "}\n";
  return out;
}

}  // namespace pelmar
