#include "cli/not_saved.h"

#include <QDir>

#include "cli/exit_codes.h"
#include "commands/session.h"

namespace pelmar {

int reportNotSaved(const Session& session, const QString& file, const Outcome& saved,
                   QTextStream& err) {
  Reason reason{TextId::CliNotSaved, {QDir::toNativeSeparators(file)}};
  if (saved.reason() && saved.reason()->hasCause())
    reason = reason.because(*saved.reason()->causeReason());
  err << reason.text(session.language()) << '\n';
  const std::optional<Reason>& why = saved.reason();
  const bool inUse =
      why && (why->cause == TextId::PortfolioInUse || why->cause == TextId::PortfolioReadOnly);
  return inUse ? kInUse : kNotSaved;
}

}  // namespace pelmar
