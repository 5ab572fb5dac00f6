// Stand-in for the in-process start in builds without it: it runs the echo and the
// disable-exec rule like the real one, then reports the VM library as not loadable.
#include "inProcessVm.h"

#include "javaCommandLine.h"
#include "launcherPlatform.h"
#include "launcherTexts.h"

#include <cstdio>

namespace vantrel::launcher {

int runInProcessVm(JavaCommandLine &cmd) {
  std::string commandString = cmd.getCommandString();
  if (cmd.isVerbose()) std::fprintf(cmd.getOut(), "%s\n", commandString.c_str());
  if (!cmd.isExec()) return 0;
  const char sep = platform::kPathSeparator;
  std::string library = cmd.getJreDir() + sep + platform::kVmLibraryFile;
  std::fprintf(cmd.getErr(), kMsgCannotLoadLibrary, library.c_str());
  return -1;
}

} // namespace vantrel::launcher
