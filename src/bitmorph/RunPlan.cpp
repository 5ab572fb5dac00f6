// The base-name rule and the names derived from a base name.
#include "bitmorph/RunPlan.h"

#include "platform/path.h"

namespace vantrel::bitmorph {

std::string baseNameOf(std::string_view path) {
  // Only the last component is searched: "C:\proj.v2\top" keeps its folder.
  const std::size_t start = platform::lastComponentStart(path);
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < start) return std::string(path);
  return std::string(path.substr(0, dot));
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

std::vector<std::string> RunPlan::intermediates() const {
  return files.intermediates(optionsFile, loader());
}

std::vector<std::string> RunPlan::filesThisRunMayWrite() const {
  std::vector<std::string> names = intermediates();
  names.push_back(outputFlash);
  return names;
}

} // namespace vantrel::bitmorph
