#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "lang/language.h"

namespace pelmar {

// The manual: one HTML file per language in the program's "help" folder,
// its topics the headings <h2 id="…"> and, under them, <h3 id="…">. Both
// languages have the same topics under the same anchors, so that a help
// context answers in either.

// "help/pelmar_nl.html" or "help/pelmar_en.html", relative to the program's folder.
QString HelpFileName(const Language& language);

// The anchor of the manual's topic that answers a help context (of a menu
// item, a window part or a grid row); "start" for any other.
QString HelpAnchor(int helpContext);
// The anchor of the topic about a window, by the window's object name;
// empty for a window the manual has no topic of its own for.
QString WindowHelpAnchor(const QString& objectName);

struct HelpTopic {
  QString anchor;
  QString title;
  int level = 2;  // 2 a topic, 3 a part of the topic before it
  QString text;   // the topic's words without markup, for the search
};

class HelpManual {
 public:
  // The manual in the file; nothing when it cannot be read or holds no topic.
  static std::optional<HelpManual> Read(const QString& path);
  static HelpManual FromHtml(const QString& html);

  const std::vector<HelpTopic>& topics() const { return topics_; }
  // Every anchor of the manual: the topics' and those of their parts (the
  // rows of the fund's figures, say).
  const QStringList& anchors() const { return anchors_; }
  // The topics (indices) whose title or text holds every word of the query,
  // without regard to case or accents; those with a word in their title
  // first, then in the manual's order. Empty for an empty query.
  std::vector<int> Search(const QString& query) const;

 private:
  std::vector<HelpTopic> topics_;
  QStringList anchors_;
};

}  // namespace pelmar
