// The java program's work, behind the per-platform process entries.
#pragma once

#include <string>
#include <vector>

namespace vantrel::runtime {

/// Runs the java program for its arguments (UTF-8, the program first) and returns its exit
/// status; a native main may end the process itself with another one.
int javaMain(const std::vector<std::string> &argv);

} // namespace vantrel::runtime
