// The launcher's process entry, in the order it works: trailing splash option, launch
// command, runtime location, Cygwin conversion, class path, run.
#include "launcherEntry.h"

#include "envUtils.h"
#include "javaCommandLine.h"
#include "launcherPrint.h"
#include "launcherTexts.h"

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
    return status;
  } catch (const LauncherFatalError &error) {
    std::fflush(stdout);
    printTo(stderr, "%s", error.what());
    std::fflush(stderr);
    return -1;
  }
}

} // namespace vantrel::launcher
