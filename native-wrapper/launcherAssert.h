// Fatal internal checks of the launcher: a failed check names the source unit and the
// expression and stops the program.
#pragma once

namespace vantrel::launcher {

/// Reports a failed internal check on standard error and aborts.
[[noreturn]] void assertionFailed(const char *expression, const char *unit, int line);

} // namespace vantrel::launcher

/// Stops the program when expr is false; used for invariants the launcher never breaks.
/// __FILE_NAME__ (the unit's name alone) keeps the build machine's folders out of the program.
#define LAUNCHER_ASSERT(expr)                                                                                \
  ((expr) ? static_cast<void>(0) : ::vantrel::launcher::assertionFailed(#expr, __FILE_NAME__, __LINE__))
