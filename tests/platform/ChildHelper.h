// Builds command lists that run the tests' child program, and waits for a child's end.
#pragma once

#include <string>
#include <vector>

#include "TestChild.h"
#include "platform/process.h"
#include "support/ChildRun.h"
#include "support/Waiting.h"

namespace vantrel::testing {

/// The child program followed by the given steps.
inline std::vector<std::string> child(std::vector<std::string> steps) {
  steps.insert(steps.begin(), CHILD_PATH);
  return steps;
}

/// The status of the child once it has ended; still Running when it has not ended within
/// the limit of every wait for an event.
inline platform::ChildStatus waitForEnd(platform::ChildProcess &process) {
  waitUntil([&] { return process.status().state != platform::ChildStatus::State::Running; });
  return process.status();
}

} // namespace vantrel::testing
