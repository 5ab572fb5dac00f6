// The base-name rule and the names derived from a base name.
#include "bitmorph/RunPlan.h"

#include "platform/path.h"

#include <algorithm>

namespace vantrel::bitmorph {

std::string baseNameOf(std::string_view path) {
  // Only the last component is searched: "C:\proj.v2\top" keeps its folder.
  const std::size_t start = platform::lastComponentStart(path);
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < start) return std::string(path);
  return std::string(path.substr(0, dot));
}

Flow chooseFlow(bool serial, bool loader, bool activeParallel) {
  if (serial) return Flow::Serial;
  if (loader) return Flow::Loader;
  return activeParallel ? Flow::ActiveParallel : Flow::Parallel;
}

std::string flashFileOf(Flow flow, const RunFiles &files, const std::string &output) {
  return flow == Flow::Loader ? files.flash : output;
}

RunFiles RunFiles::forBase(const std::string &base) {
  return RunFiles{base,
                  base + ".flash",
                  base + ".opt",
                  base + ".rbf",
                  base + ".rpd",
                  base + ".pof",
                  base + ".cof",
                  base + ".map",
                  base + ".hexout",
                  base + ".cof.opt",
                  base + ".map.flash",
                  base + ".lock"};
}

std::vector<std::string> RunFiles::intermediates(const std::string &optionsFile, bool loader) const {
  std::vector<std::string> names = {rbf, rpd, pof, cof, options, map, optionsFile};
  if (loader) {
    names.push_back(hexout);
    names.push_back(cofOptions);
    names.push_back(optionBits);
  }
  return names;
}

bool RunPlan::writesOptionsFile() const {
  return serial() || (compress && !loader());
}

std::vector<std::string> RunPlan::lockFiles() const {
  std::vector<std::string> locks = {files.lock};
  if (writesOptionsFile()) {
    // The lock of the options file's own base name: the one its default owner holds, so a
    // run of that base name and any run naming the file with --options take turns.
    const std::string optionsLock = RunFiles::forBase(baseNameOf(optionsFile)).lock;
    if (optionsLock != files.lock) locks.push_back(optionsLock);
  }
  // The file name decides first: it reads the same however the folder is spelled.
  std::sort(locks.begin(), locks.end(), [](const std::string &a, const std::string &b) {
    const auto nameA = platform::lastComponent(a);
    const auto nameB = platform::lastComponent(b);
    return nameA != nameB ? nameA < nameB : a < b;
  });
  return locks;
}

} // namespace vantrel::bitmorph
