#include "commands/desktop_rules.h"

#include <QSet>
#include <algorithm>
#include <array>
#include <vector>

namespace pelmar {

namespace {

struct CommandKey {
  QStringView command;
  CommandStandardKey standard;
};

constexpr std::array kStandardKeys = {
    CommandKey{u"NewFile", {StandardKey::New, u"Ctrl+N"}},
    CommandKey{u"OpenFile", {StandardKey::Open, u"Ctrl+O"}},
    CommandKey{u"SaveFile", {StandardKey::Save, u"Ctrl+S"}},
    CommandKey{u"SaveAs", {StandardKey::SaveAs, u"Ctrl+Shift+S"}},
    CommandKey{u"Einde", {StandardKey::Quit, u"Ctrl+Q"}},
};

// The position of the mnemonic's letter in the caption, or -1.
qsizetype mnemonicAt(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (caption[i + 1] != u'&') return i + 1;
    ++i;  // "&&" is a plain "&"
  }
  return -1;
}

// The first free letter or digit of the caption, only at the start of a
// word when `initials`; -1 when there is none.
qsizetype freeLetter(const QString& caption, const QSet<QChar>& taken, bool initials) {
  for (qsizetype i = 0; i < caption.size(); ++i) {
    const bool initial = i == 0 || !caption[i - 1].isLetterOrNumber();
    if ((initial || !initials) && caption[i].isLetterOrNumber() &&
        !taken.contains(caption[i].toLower()))
      return i;
  }
  return -1;
}

}  // namespace

CommandStandardKey StandardKeyOf(QStringView command) {
  const auto found =
      std::find_if(kStandardKeys.begin(), kStandardKeys.end(),
                   [&](const CommandKey& entry) { return entry.command == command; });
  return found == kStandardKeys.end() ? CommandStandardKey{} : found->standard;
}

QStringList AssignMnemonics(const QStringList& captions) {
  QSet<QChar> taken;
  QStringList marked = captions;
  std::vector<bool> done;
  for (const QString& caption : captions) {
    const qsizetype at = mnemonicAt(caption);
    if (at >= 0) taken.insert(caption[at].toLower());
    done.push_back(at >= 0 || caption.isEmpty());
  }
  // Word initials first, for every caption in turn; then any free letter
  // for those still without one.
  for (const bool initials : {true, false}) {
    for (qsizetype i = 0; i < marked.size(); ++i) {
      if (done[std::size_t(i)]) continue;
      const qsizetype at = freeLetter(marked[i], taken, initials);
      if (at < 0) continue;
      taken.insert(marked[i][at].toLower());
      marked[i].insert(at, u'&');
      done[std::size_t(i)] = true;
    }
  }
  return marked;
}

Answer EscapeAnswer(const Question& question) {
  return question.showCancel ? Answer::Cancel : Answer::No;
}

int WidthForTitle(int titleTextWidth) {
  // The icon, three buttons and the margins of a title bar, with room for
  // a title font somewhat larger than the window's.
  constexpr int kTitleBarExtras = 160;
  return titleTextWidth * 6 / 5 + kTitleBarExtras;
}

QString QtCatalogueFor(const Language& language) {
  return language.isDutch() ? QStringLiteral("qtbase_nl") : QString();
}

QRect FitIntoArea(const QRect& frame, const QRect& available) {
  QRect fitted(frame.topLeft(), frame.size().boundedTo(available.size()));
  if (fitted.right() > available.right()) fitted.moveRight(available.right());
  if (fitted.bottom() > available.bottom()) fitted.moveBottom(available.bottom());
  if (fitted.left() < available.left()) fitted.moveLeft(available.left());
  if (fitted.top() < available.top()) fitted.moveTop(available.top());
  return fitted;
}

}  // namespace pelmar
