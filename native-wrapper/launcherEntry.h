// The launcher's process entry: wrapper options, runtime location, class path and launch.
#pragma once

namespace vantrel::launcher {

/// Runs the launcher for argc/argv and returns its exit status: the child's exit code, 0
/// with "--wrapper-disable-exec", -1 when a lookup or the launch failed.
int launcherMain(int argc, char **argv);

} // namespace vantrel::launcher
