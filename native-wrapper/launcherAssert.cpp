// Reporting of failed internal checks.
#include "launcherAssert.h"

#include "launcherPrint.h"

#include <cstdio>
#include <cstdlib>

namespace vantrel::launcher {

void assertionFailed(const char *expression, const char *unit, int line) {
  // Name the source unit, not the build machine's folders.
  const char *name = unit;
  for (const char *p = unit; *p; ++p) {
    if (*p == '/' || *p == '\\') name = p + 1;
  }
  printTo(stderr, "Assertion failed: %s, unit %s, line %d\n", expression, name, line);
  std::fflush(stderr);
  std::abort();
}

} // namespace vantrel::launcher
