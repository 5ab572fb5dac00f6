// The launcher's process entry, in the order it works: trailing splash option, launch
// command, runtime location, Cygwin conversion, class path, run, and how the launcher ends.
#include "launcherEntry.h"

#include "envUtils.h"
#include "javaCommandLine.h"
#include "launcherPlatform.h"
#include "launcherPrint.h"
#include "launcherTexts.h"
#include "missingRuntime.h"

#include <cstdio>
#include <cstring>

namespace vantrel::launcher {

int launcherMain(const std::vector<std::string> &argv) {
  try {
    int argc = static_cast<int>(argv.size());
    // Only the last argument is looked at; "--splash=" anywhere else reaches the application.
    if (argc > 1 && argv[argc - 1].compare(0, std::strlen(kOptSplash), kOptSplash) == 0) --argc;
    std::vector<const char *> arguments;
    for (int i = 1; i < argc; ++i)
      arguments.push_back(argv[i].c_str());
    JavaCommandLine cmd(kMainClass, static_cast<int>(arguments.size()), arguments.data());
    cmd.setVmProgram(cmd.getJavaPath());
    prepareEnvironment(cmd);
    for (const char *dir : {kClassPathDirectory})
      cmd.addJarsInDir(expandVariables(dir, installationTable()));
    int status = cmd.run();
    std::fflush(stdout);
    if (status == -1) explainMissingRuntime(stderr, cmd);
    // A runtime that died of a signal (a Ctrl-C, a stop, a crash) ends the launcher by the
    // same signal: a shell running a loop stops at a Ctrl-C only when the program it waited
    // for died of it, and make or CI report the signal rather than an exit status.
    if (cmd.getChildSignal() != 0) platform::endBySignal(cmd.getChildSignal());
    return status;
  } catch (const LauncherFatalError &error) {
    std::fflush(stdout);
    printTo(stderr, "%s", error.what());
    std::fflush(stderr);
    return -1;
  }
}

} // namespace vantrel::launcher
