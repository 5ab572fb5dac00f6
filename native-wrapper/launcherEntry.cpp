// The launcher's process entry, in the order it works: trailing splash option, launch
// command, runtime location, Cygwin conversion, class path, run.
#include "launcherEntry.h"

#include "envUtils.h"
#include "javaCommandLine.h"
#include "launcherTexts.h"

#include <cstdio>
#include <cstring>

namespace vantrel::launcher {

int launcherMain(int argc, char **argv) {
  try {
    // Only the last argument is looked at; "--splash=" anywhere else reaches the application.
    if (argc > 1 && std::strncmp(argv[argc - 1], kOptSplash, std::strlen(kOptSplash)) == 0) --argc;
    JavaCommandLine cmd(kMainClass, argc > 1 ? argc - 1 : 0, argv + 1);
    cmd.setVmProgram(cmd.getJavaPath());
    prepareEnvironment(cmd);
    for (const char *dir : {kClassPathDirectory})
      cmd.addJarsInDir(expandVariables(dir, installationTable()));
    int status = cmd.run();
    std::fflush(stdout);
    return status;
  } catch (const LauncherFatalError &error) {
    std::fflush(stdout);
    std::fputs(error.what(), stderr);
    std::fflush(stderr);
    return -1;
  }
}

} // namespace vantrel::launcher
