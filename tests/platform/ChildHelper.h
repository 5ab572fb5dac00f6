// Builds command lists that run the tests' child program.
#pragma once

#include <string>
#include <vector>

#include "TestChild.h"
#include "support/ChildRun.h"

namespace vantrel::testing {

/// The child program followed by the given steps.
inline std::vector<std::string> child(std::vector<std::string> steps) {
  steps.insert(steps.begin(), CHILD_PATH);
  return steps;
}

} // namespace vantrel::testing
