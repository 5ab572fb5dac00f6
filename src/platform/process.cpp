// Process code shared by every OS: exit values.
#include "platform/process.h"

namespace vantrel::platform {

int ChildStatus::exitValue() const {
  switch (state) {
  case State::Exited:
    return code;
  case State::Signaled:
    // Where only one integer exists, a death by signal S reads as 128 + S, as shells show it.
    return 128 + code;
  case State::Running:
    break;
  }
  return -1;
}

} // namespace vantrel::platform
