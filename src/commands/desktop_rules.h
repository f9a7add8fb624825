#pragma once

#include <QRect>
#include <QStringList>
#include <QStringView>

#include "commands/prompter.h"
#include "lang/language.h"

namespace pelmar {

// The platform's standard keys a command answers to beside its own key
// (the widgets map them to QKeySequence's standard keys, which differ per
// platform: Ctrl+Q quits on Linux, Windows has none).
enum class StandardKey { None, New, Open, Save, SaveAs, Quit };

// The standard key of a main-window command, named as its action is, and
// the key it gets where the platform binds that standard key to none.
struct CommandStandardKey {
  StandardKey key = StandardKey::None;
  QStringView fallback;
};
CommandStandardKey StandardKeyOf(QStringView command);

// The captions of one menu (or one row of buttons) with a mnemonic each, so
// that Alt and the underlined letter choose it. A caption that has one
// ("&Bestand") keeps it; the others take, in turn, the first free initial
// of one of their words, and those left without one any free letter or
// digit (or none). "&&" stands for a plain "&". Running it again changes
// nothing.
QStringList AssignMnemonics(const QStringList& captions);

// What Escape answers to a question: Cancel where Cancel is offered, else
// the cautious No.
Answer EscapeAnswer(const Question& question);

// The catalogue of Qt's own texts for the language ("qtbase_nl"); empty
// for English, Qt's own.
QString QtCatalogueFor(const Language& language);

// The least width of a window whose title is that wide in the window's
// font, so that the title bar shows it whole beside its icon and buttons.
int WidthForTitle(int titleTextWidth);

// A window's frame placed inside the available area of its screen: no
// larger than the area, moved inside it as little as possible.
QRect FitIntoArea(const QRect& frame, const QRect& available);

}  // namespace pelmar
