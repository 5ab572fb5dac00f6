// The base-name rule and the names derived from a base name.
#include "bitmorph/RunPlan.h"

#include "platform/file.h"
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
  std::vector<std::string> names = {files.lock};
  // The lock of the options file's own base name: the one its default owner holds, so a
  // run of that base name and any run naming the file with --options take turns.
  if (writesOptionsFile()) names.push_back(RunFiles::forBase(baseNameOf(optionsFile)).lock);
  // Each lock file is known by its canonical name, however the run spelled it: taken once,
  // and in the order of those names, the same for every run. A folder that does not exist
  // holds nothing to guard; what the run would write there fails on its own.
  std::vector<std::pair<std::string, std::string>> keyed;
  for (const std::string &name : names) {
    auto key = platform::canonicalName(name);
    if (!key) continue;
    const bool seen = std::any_of(keyed.begin(), keyed.end(), [&](const auto &k) { return k.first == *key; });
    if (!seen) keyed.emplace_back(std::move(*key), name);
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<std::string> locks;
  for (auto &[key, name] : keyed)
    locks.push_back(std::move(name));
  return locks;
}

} // namespace vantrel::bitmorph
