// The launcher's OS layer, shared part: the seam through which tests inject failures.
#include "launcherPlatform.h"

namespace vantrel::launcher::platform {

namespace {
FailPoint injectedPoint = FailPoint::None;
int injectedError = 0;
} // namespace

void injectFailure(FailPoint point, int error) {
  injectedPoint = point;
  injectedError = error;
}

bool takeInjectedFailure(FailPoint point) {
  if (injectedPoint == FailPoint::None || injectedPoint != point) return false;
  injectedPoint = FailPoint::None;
  setLastError(injectedError);
  return true;
}

} // namespace vantrel::launcher::platform
