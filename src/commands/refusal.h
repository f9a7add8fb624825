#pragma once

#include "commands/prompter.h"
#include "commands/session.h"
#include "lang/outcome.h"

namespace pelmar {

// Tells the user why a command cannot go on and returns that failure, so
// that the message shown and the reason returned are the same text.
inline Outcome Refuse(const Session& session, Prompter& prompter, TextId id,
                      QStringList args = {}) {
  Reason reason{id, std::move(args), {}, 0};
  prompter.message(reason.text(session.language()));
  return Outcome::failed(std::move(reason));
}

// Tells the user the reason of a failed step that the command goes on
// after (a settings store that could not keep the settings, say); done
// and stopped outcomes say nothing.
inline void Tell(const Session& session, Prompter& prompter, const Outcome& outcome) {
  if (outcome.reason()) prompter.message(outcome.reason()->text(session.language()));
}

}  // namespace pelmar
