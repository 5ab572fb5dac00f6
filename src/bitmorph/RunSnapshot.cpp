// Before/after comparison of file status for the run's intermediate names.
#include "bitmorph/RunSnapshot.h"

namespace vantrel::bitmorph {

void RunSnapshot::record(const std::vector<std::string> &paths) {
  for (const auto &path : paths)
    record(path);
}

void RunSnapshot::record(const std::string &path) {
  if (before_.count(path) != 0) return;
  before_.emplace(path, platform::statFile(path));
}

bool RunSnapshot::isRecorded(const std::string &path) const {
  return before_.count(path) != 0;
}

bool RunSnapshot::producedByRun(const std::string &path) const {
  if (written_.count(path) != 0) {
    const auto now = platform::statFile(path);
    return now && !now->isDirectory;
  }
  const auto it = before_.find(path);
  if (it == before_.end()) return false;
  return platform::changedSince(path, it->second);
}

std::optional<platform::FileStatus> RunSnapshot::stateBefore(const std::string &path) const {
  const auto it = before_.find(path);
  return it == before_.end() ? std::nullopt : it->second;
}

void RunSnapshot::markProduced(const std::string &path) {
  written_.insert(path);
}

bool RunSnapshot::removeIfProduced(const std::string &path) const {
  if (!producedByRun(path)) return false;
  return platform::removeFile(path);
}

} // namespace vantrel::bitmorph
