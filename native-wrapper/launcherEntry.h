// The launcher's process entry: wrapper options, runtime location, class path and launch.
#pragma once

#include <string>
#include <vector>

namespace vantrel::launcher {

/// Runs the launcher for its arguments (UTF-8, the program first) and returns its exit
/// status: the child's exit code, 0 with "--wrapper-disable-exec", -1 when a lookup or the
/// launch failed. A runtime child that died of a signal (POSIX) ends the process by the same
/// signal instead.
int launcherMain(const std::vector<std::string> &argv);

} // namespace vantrel::launcher
