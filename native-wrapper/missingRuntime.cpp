// The path walk that tells where the runtime's path breaks.
#include "missingRuntime.h"

#include "javaCommandLine.h"
#include "launcherPlatform.h"
#include "launcherPrint.h"
#include "launcherTexts.h"

#include <string>

namespace vantrel::launcher {

namespace {

bool isSeparator(char c) {
  return c == '/' || c == platform::kPathSeparator;
}

/// What the variable that placed the runtime must name, in this system's separators.
std::string meaningOf(const std::string &variable) {
  if (variable == kVarJreDirOverride) return kMeaningJreDir;
  if (variable == kVarBinDirOverride) return kMeaningBinDir;
  std::string meaning = kMeaningRootDir;
  for (char &c : meaning)
    if (c == '/') c = platform::kPathSeparator;
  return meaning;
}

} // namespace

void explainMissingRuntime(FILE *err, JavaCommandLine &cmd) {
  const std::string target = cmd.isInProcess()
                                 ? cmd.getJreDir() + platform::kPathSeparator + platform::kVmLibraryFile
                                 : cmd.getVmProgram();
  if (target.empty() || platform::pathKind(target) != platform::PathKind::Missing) return;
  const std::string variable = cmd.getJreDirSource();
  const std::string value = platform::getEnv(variable).value_or("");
  const std::string meaning = meaningOf(variable);
  // From the longest folder on the path to the shortest; a root ("/", "C:") is not cut off.
  for (std::size_t cut = target.size(); cut-- > 1;) {
    if (!isSeparator(target[cut]) || isSeparator(target[cut - 1]) || target[cut - 1] == ':') continue;
    const std::string folder = target.substr(0, cut);
    switch (platform::pathKind(folder)) {
    case platform::PathKind::Missing:
      continue;
    case platform::PathKind::File:
      printTo(err, kMsgPathIsFile, folder.c_str(), variable.c_str(), value.c_str(), meaning.c_str());
      return;
    case platform::PathKind::Folder:
      printTo(err, kMsgPathHoldsNo, folder.c_str(), target.substr(cut + 1).c_str(), variable.c_str(),
              value.c_str(), meaning.c_str());
      return;
    }
  }
}

} // namespace vantrel::launcher
