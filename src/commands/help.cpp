#include "commands/help.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <algorithm>

namespace pelmar {
namespace {

// Lower case without accents: "Één" is found by "een".
QString folded(const QString& text) {
  const QString decomposed = text.toLower().normalized(QString::NormalizationForm_D);
  QString result;
  result.reserve(decomposed.size());
  for (const QChar c : decomposed)
    if (c.category() != QChar::Mark_NonSpacing) result += c;
  return result;
}

// The text of a piece of HTML: tags dropped, the few entities decoded,
// white space made single.
QString plainText(QString html) {
  static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
  html.replace(tag, QStringLiteral(" "));
  html.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
  html.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
  html.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
  html.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
  return html.simplified();
}

}  // namespace

QString HelpFileName(const Language& language) {
  return language.isDutch() ? QStringLiteral("help/pelmar_nl.html")
                            : QStringLiteral("help/pelmar_en.html");
}

QString HelpAnchor(int helpContext) {
  // Single contexts before the ranges that hold them.
  struct Group {
    int from;
    int to;
    const char* anchor;
  };
  static constexpr Group kGroups[] = {
      {300, 300, "files"},
      {31142, 31145, "reports"},
      {31210, 31210, "fundlist"},
      {31215, 31215, "stocklists"},
      {31220, 31220, "prices"},
      {31230, 31230, "splits"},
      {31232, 31232, "reference"},
      {31233, 31234, "reports"},
      {31235, 31235, "yearclosing"},
      {31240, 31275, "navigation"},
      {31280, 31280, "accounts"},
      {31290, 31290, "currencies"},
      {31100, 31199, "files"},
      {31400, 31499, "charts"},
      {31501, 31501, "settings"},
      {31502, 31503, "advice"},
      {32230, 32230, "navigation"},
      {32000, 32999, "toolbar"},
      {33000, 33999, "fundlist"},
      {34100, 34199, "dates"},
      {34300, 34300, "grid"},
      {34301, 34301, "grid-ticker"},
      {34302, 34302, "grid-currency"},
      {34303, 34303, "grid-price"},
      {34304, 34304, "grid-quantity"},
      {34305, 34305, "grid-investment"},
      {34306, 34307, "grid-costs"},
      {34308, 34309, "grid-dividend"},
      {34310, 34310, "thresholds"},
      {34311, 34311, "grid-vat"},
      {34312, 34313, "thresholds"},
      {34314, 34314, "grid-ticker"},
      {34000, 34999, "rotac"},
      {40000, 40999, "accounts"},
      {50000, 50000, "about"},
  };
  for (const Group& group : kGroups) {
    if (helpContext >= group.from && helpContext <= group.to)
      return QString::fromLatin1(group.anchor);
  }
  return QStringLiteral("start");
}

QString WindowHelpAnchor(const QString& objectName) {
  static const QHash<QString, QString> kWindows{
      {QStringLiteral("DownloadForm"), QStringLiteral("prices")},
      {QStringLiteral("OptionsForm"), QStringLiteral("settings")},
      {QStringLiteral("FondsenForm_nl"), QStringLiteral("stocklists")},
      {QStringLiteral("FondsenForm_us"), QStringLiteral("stocklists")},
      {QStringLiteral("KoersForm"), QStringLiteral("currencies")},
      {QStringLiteral("DlgValutaFonds"), QStringLiteral("currencies")},
      {QStringLiteral("DollarDlg"), QStringLiteral("currencies")},
      {QStringLiteral("NieuwFondsForm"), QStringLiteral("newfund")},
      {QStringLiteral("NewFakeFundForm"), QStringLiteral("newfund")},
      {QStringLiteral("AantalKopenForm"), QStringLiteral("trading")},
      {QStringLiteral("KiesRekDlg"), QStringLiteral("accounts")},
      {QStringLiteral("CheckForm"), QStringLiteral("files")},
      {QStringLiteral("ServiceForm"), QStringLiteral("maintenance")},
      {QStringLiteral("TPrintForm"), QStringLiteral("reports")},
      {QStringLiteral("TPActiesForm"), QStringLiteral("reports")},
      {QStringLiteral("GrafiekForm"), QStringLiteral("charts")},
  };
  return kWindows.value(objectName);
}

std::optional<HelpManual> HelpManual::Read(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  HelpManual manual = FromHtml(QString::fromUtf8(file.readAll()));
  if (manual.topics_.empty()) return std::nullopt;
  return manual;
}

HelpManual HelpManual::FromHtml(const QString& html) {
  static const QRegularExpression heading(
      QStringLiteral("<h([23])\\s+id=\"([^\"]+)\"[^>]*>(.*?)</h\\1>"),
      QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression anchor(QStringLiteral("\\s(?:id|name)=\"([^\"]+)\""));
  HelpManual manual;
  for (auto it = anchor.globalMatch(html); it.hasNext();) manual.anchors_ << it.next().captured(1);
  // Each topic's text runs to the next heading.
  qsizetype textFrom = -1;
  for (auto it = heading.globalMatch(html); it.hasNext();) {
    const QRegularExpressionMatch match = it.next();
    if (!manual.topics_.empty())
      manual.topics_.back().text = plainText(html.mid(textFrom, match.capturedStart() - textFrom));
    manual.topics_.push_back(
        HelpTopic{match.captured(2), plainText(match.captured(3)), match.captured(1).toInt(), {}});
    textFrom = match.capturedEnd();
  }
  if (!manual.topics_.empty()) {
    const qsizetype end = html.indexOf(QStringLiteral("</body>"), textFrom);
    manual.topics_.back().text = plainText(html.mid(textFrom, end < 0 ? -1 : end - textFrom));
  }
  return manual;
}

std::vector<int> HelpManual::Search(const QString& query) const {
  const QStringList words =
      folded(query).split(QRegularExpression(QStringLiteral("[\\s\"]+")), Qt::SkipEmptyParts);
  std::vector<int> inTitle, inText;
  if (words.isEmpty()) return inTitle;
  for (int i = 0; i < int(topics_.size()); ++i) {
    const QString title = folded(topics_[i].title);
    const QString all = title + QChar(' ') + folded(topics_[i].text);
    if (!std::all_of(words.begin(), words.end(), [&](const QString& w) { return all.contains(w); }))
      continue;
    const bool titled = std::any_of(words.begin(), words.end(),
                                    [&](const QString& w) { return title.contains(w); });
    (titled ? inTitle : inText).push_back(i);
  }
  inTitle.insert(inTitle.end(), inText.begin(), inText.end());
  return inTitle;
}

}  // namespace pelmar
